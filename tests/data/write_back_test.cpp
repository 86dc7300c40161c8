// Editing and posting records on every backend: how records are located,
// conversions, snapshots and transactions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backends.hpp"
#include "data/error.hpp"
#include "data/query.hpp"

namespace lkrva::data::testing {
namespace {

using ::testing::HasSubstr;

using WriteBackTest = BackendTest;

std::string Read(Database& db, const std::string& sql) {
  Query q(db);
  q.Open(sql);
  std::string out;
  for (; !q.Eof(); q.Next())
    out += q.FieldByName("jxj").AsText() + "/" + q.FieldByName("fwj").AsText() + " ";
  return out;
}

TEST_P(WriteBackTest, post_writes_at_once_by_key_rowid_or_values) {
  for (const bool with_key : {true, false}) {
    SCOPED_TRACE(with_key ? "primary key" : "no key");
    Exec("DROP TABLE IF EXISTS " + table_);
    MakeSurvey({"1, 10, 1, 1, 'a'", "2, 20, NULL, NULL, 'b'", "3, 30, 3, 3, NULL"}, with_key);
    auto db = Connect();
    Query q(*db);
    q.Open("select * from " + table_ + " where  js=20 order by js");
    q.Edit();
    q.FieldByName("jxj").SetText("2.5");
    q.FieldByName("fwj").SetDouble(7.25);
    q.Post();
    EXPECT_EQ(q.FieldByName("jxj").AsText(), "2.5");  // the query shows what it posted
    // Visible at once to every later statement, on this and other connections.
    EXPECT_EQ(Read(*db, "select * from " + table_ + " order by js"), "1/1 2.5/7.25 3/3 ");
    auto other = Connect();
    EXPECT_EQ(Read(*other, "select * from " + table_ + " order by js"), "1/1 2.5/7.25 3/3 ");
    // A record with a NULL among its values is still found (NULL-safe).
    q.Open("select * from " + table_ + " where js = 30");
    q.Edit();
    q.FieldByName("jxj").SetText("");
    q.Post();
    EXPECT_EQ(Read(*db, "select * from " + table_ + " order by js"), "1/1 2.5/7.25 /3 ");
  }
}

TEST_P(WriteBackTest, a_record_that_cannot_be_located_raises_and_changes_nothing) {
  MakeSurvey({"1, 10, 1, 1, 'a'", "1, 10, 1, 1, 'a'", "2, 20, 2, 2, 'b'"}, /*with_key=*/false);
  auto db = Connect();
  Query q(*db);
  const bool rowid = GetParam() == Backend::kSqlite;  // the native driver locates by rowid
  q.Open("select * from " + table_ + " order by js");
  q.Edit();
  q.FieldByName("jxj").SetDouble(9);
  if (rowid) {
    q.Post();  // two equal rows are still two rowids
    EXPECT_EQ(Read(*db, "select * from " + table_ + " order by js, jxj"), "1/1 9/1 2/2 ");
  } else {
    EXPECT_THAT([&] { q.Post(); }, ::testing::ThrowsMessage<DataError>(
                                       HasSubstr("the record cannot be located for updating")));
    EXPECT_EQ(Read(*db, "select * from " + table_ + " order by js"), "1/1 1/1 2/2 ");
  }
  // Someone else changed the record since it was read: not found either.
  q.Cancel();
  // Not "select *": the native driver adds no rowid, so values locate it.
  q.Open("select id, js, jxj, fwj, note from " + table_ + " where js = 20");
  EXPECT_EQ(q.RecordCount(), 1);  // read out, so no read lock keeps the other writer waiting
  auto other = Connect();
  Query change(*other);
  change.Open("select * from " + table_ + " where js = 20");
  change.Edit();
  change.FieldByName("note").SetText("changed");
  change.Post();
  q.Edit();
  q.FieldByName("jxj").SetDouble(5);
  EXPECT_THAT([&] { q.Post(); }, ::testing::ThrowsMessage<DataError>(
                                     HasSubstr("the record cannot be located for updating")));
  EXPECT_EQ(Read(*db, "select * from " + table_ + " where js = 20"), "2/2 ");
}

TEST_P(WriteBackTest, text_for_numbers_follows_the_number_rules) {
  MakeSurvey({"1, 10, 1, 1, 'a'"});
  auto db = Connect(',');
  Query q(*db);
  q.Open("select * from " + table_);
  q.Edit();
  q.FieldByName("jxj").SetText("12,75");
  q.FieldByName("note").SetText("1.5");  // a text column keeps text as it is
  EXPECT_THAT([&] { q.FieldByName("fwj").SetText("12.75"); },
              ::testing::ThrowsMessage<DataError>(
                  HasSubstr("column fwj: the text \"12.75\" is not a number")));
  EXPECT_THAT([&] { q.FieldByName("id").SetText("1,5"); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("is not a whole number")));
  q.Post();
  q.Open("select * from " + table_);
  EXPECT_EQ(q.FieldByName("jxj").AsDouble(), 12.75);
  EXPECT_EQ(q.FieldByName("jxj").AsText(), "12,75");
  EXPECT_EQ(q.FieldByName("note").AsText(), "1.5");
  EXPECT_THROW(q.FieldByName("jxj").SetText("1"), DataError);  // not editing
}

TEST_P(WriteBackTest, results_are_snapshots_of_when_they_were_opened) {
  std::vector<std::string> rows;
  for (int i = 1; i <= 50; ++i)
    rows.push_back(std::to_string(i) + ", " + std::to_string(i) + ", 1, 1, 'x'");
  MakeSurvey(rows);
  auto db = Connect();
  Query main(*db), update(*db);
  main.Open("select * from " + table_ + " order by js");
  update.Open("select * from " + table_ + " where js = 40");
  update.Edit();
  update.FieldByName("jxj").SetDouble(99);
  update.Post();
  for (int i = 1; i < 40; ++i) main.Next();
  EXPECT_EQ(main.FieldByName("js").AsDouble(), 40);
  EXPECT_EQ(main.FieldByName("jxj").AsDouble(), 1);  // as it was when main opened
  main.Open(main.Sql());
  for (int i = 1; i < 40; ++i) main.Next();
  EXPECT_EQ(main.FieldByName("jxj").AsDouble(), 99);
}

TEST_P(WriteBackTest, transactions_commit_or_roll_back_posts) {
  MakeSurvey({"1, 10, 1, 1, 'a'", "2, 20, 2, 2, 'b'"});
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_ + " order by js");
  db->Begin();
  EXPECT_TRUE(db->InTransaction());
  EXPECT_THROW(db->Begin(), DataError);
  q.Edit();
  q.FieldByName("jxj").SetDouble(5);
  q.Next();  // moving on posts the edit
  db->Rollback();
  EXPECT_EQ(Read(*db, "select * from " + table_ + " order by js"), "1/1 2/2 ");
  // The open query still walks its snapshot after the transaction ended.
  EXPECT_EQ(q.FieldByName("js").AsDouble(), 20);
  db->Begin();
  q.Edit();
  q.FieldByName("fwj").SetDouble(8);
  q.Post();
  db->Commit();
  auto other = Connect();
  EXPECT_EQ(Read(*other, "select * from " + table_ + " order by js"), "1/1 2/8 ");
  EXPECT_THROW(db->Commit(), DataError);
}

// A run lets its posts wait and go in batches where the database allows
// (server databases); what it posts must read the same either way: every
// later statement sees every post before it, and a record that cannot be
// written leaves the records before it written and the ones after it as
// they were.
TEST_P(WriteBackTest, deferred_posts_read_as_posts_made_one_by_one) {
  MakeSurvey({});
  Exec("INSERT INTO " + table_ +
       " (id, js, jxj, fwj, note) WITH RECURSIVE n (i) AS (SELECT 1 UNION ALL SELECT i + 1 "
       "FROM n WHERE i < 1200) SELECT i, i * 10, 0, 0, 'x' FROM n");
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_ + " order by js");
  ASSERT_EQ(q.RecordCount(), 1200);
  db->Driver().Execute("DELETE FROM " + table_ + " WHERE id = 1000", {});
  db->Begin();
  q.DeferPosts(true);
  std::string failure;
  try {
    for (; !q.Eof(); q.Next()) {
      q.Edit();
      const double id = q.FieldByName("id").AsDouble();
      q.FieldByName("jxj").SetText(std::to_string(static_cast<int>(id)) + ".5");
      q.FieldByName("fwj").SetDouble(-id);
      q.Post();
      if (id == 700) {  // a statement in between sees every post so far
        Query lookup(*db);
        lookup.Open("select * from " + table_ + " where jxj > 0 order by js");
        EXPECT_EQ(lookup.RecordCount(), 700);
      }
    }
    q.SendDeferredPosts();
  } catch (const DataError& e) {
    failure = e.what();
  }
  EXPECT_THAT(failure, HasSubstr("the record cannot be located for updating"));
  db->Commit();
  Query check(*db);
  check.Open("select * from " + table_ + " order by js");
  int written = 0, untouched = 0;
  for (; !check.Eof(); check.Next()) {
    const double id = check.FieldByName("id").AsDouble();
    if (id < 1000) {
      EXPECT_EQ(check.FieldByName("jxj").AsDouble(), id + 0.5) << id;
      EXPECT_EQ(check.FieldByName("fwj").AsDouble(), -id) << id;
      ++written;
    } else {
      EXPECT_EQ(check.FieldByName("jxj").AsDouble(), 0) << id;
      ++untouched;
    }
  }
  EXPECT_EQ(written, 999);
  EXPECT_EQ(untouched, 200);
}

// A value the table refuses in the middle of a batch: the same outcome.
TEST_P(WriteBackTest, a_refused_value_among_deferred_posts_stops_where_it_is) {
  const std::string table = table_ + "_checked";
  Exec("DROP TABLE IF EXISTS " + table);
  Exec("CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, x DOUBLE PRECISION CHECK (x < 1000))");
  Exec("INSERT INTO " + table +
       " (id) WITH RECURSIVE n (i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 800) "
       "SELECT i FROM n");
  {
    auto db = Connect();
    Query q(*db);
    q.Open("select * from " + table + " order by id");
    db->Begin();
    q.DeferPosts(true);
    EXPECT_THROW(
        {
          for (; !q.Eof(); q.Next()) {
            const double id = q.FieldByName("id").AsDouble();
            q.Edit();
            q.FieldByName("x").SetDouble(id == 700 ? 5000 : id);
            q.Post();
          }
          q.SendDeferredPosts();
        },
        DataError);
    db->Commit();
    Query check(*db);
    check.Open("select * from " + table + " where x is not null order by id");
    EXPECT_EQ(check.RecordCount(), 699);
    check.Open("select * from " + table + " where x >= 699 order by id");
    EXPECT_EQ(check.FieldByName("id").AsDouble(), 699);
  }
  Exec("DROP TABLE " + table);
}

INSTANTIATE_TEST_SUITE_P(on, WriteBackTest, ::testing::ValuesIn(AllBackends()), BackendName);

}  // namespace
}  // namespace lkrva::data::testing
