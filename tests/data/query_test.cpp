// Query results on every backend: position, count, fields, filters, and
// rows fetched only as needed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backends.hpp"
#include "data/error.hpp"
#include "data/query.hpp"

namespace lkrva::data::testing {
namespace {

using ::testing::HasSubstr;

// Counts the rows a driver hands out, to see how much a query reads.
class CountingCursor final : public Cursor {
 public:
  CountingCursor(std::unique_ptr<Cursor> inner, int& fetched)
      : inner_(std::move(inner)), fetched_(fetched) {}
  const std::vector<ColumnInfo>& Columns() const override { return inner_->Columns(); }
  bool Fetch(std::vector<Value>& row) override {
    const bool got = inner_->Fetch(row);
    fetched_ += got ? 1 : 0;
    return got;
  }

 private:
  std::unique_ptr<Cursor> inner_;
  int& fetched_;
};

class CountingDriver final : public DriverConnection {
 public:
  CountingDriver(std::unique_ptr<DriverConnection> inner, int& fetched)
      : inner_(std::move(inner)), fetched_(fetched) {}
  std::unique_ptr<Cursor> Open(const std::string& sql) override {
    return std::make_unique<CountingCursor>(inner_->Open(sql), fetched_);
  }
  std::int64_t Execute(const std::string& sql, const std::vector<Value>& p) override {
    return inner_->Execute(sql, p);
  }
  Value QueryValue(const std::string& sql, const std::vector<Value>& p) override {
    return inner_->QueryValue(sql, p);
  }
  void Begin() override { inner_->Begin(); }
  void Commit() override { inner_->Commit(); }
  void Rollback() override { inner_->Rollback(); }
  bool CursorsSeeLaterWrites() const override { return inner_->CursorsSeeLaterWrites(); }
  bool CursorsEndWithTransaction() const override { return inner_->CursorsEndWithTransaction(); }

 private:
  std::unique_ptr<DriverConnection> inner_;
  int& fetched_;
};

using QueryTest = BackendTest;

TEST_P(QueryTest, opens_on_the_first_record_and_walks_to_the_end) {
  MakeSurvey({"1, 30, 1.5, 10, 'a'", "2, 10, 0.5, NULL, ''", "3, 20, NULL, 12.25, 'c'"});
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_ + " order by js");
  EXPECT_FALSE(q.Eof());
  EXPECT_EQ(q.RecordCount(), 3);
  std::vector<std::string> seen;
  for (q.First(); !q.Eof(); q.Next())
    seen.push_back(q.FieldByName("JS").AsText() + "|" + q.FieldByName("jxj").AsText() + "|" +
                   q.FieldByName("FWJ").AsText() + "|" + q.FieldByName("note").AsText());
  EXPECT_EQ(seen, (std::vector<std::string>{"10|0.5||", "20||12.25|c", "30|1.5|10|a"}));
  // IsEmptyText answers AsText().empty() for every kind of value.
  for (q.First(); !q.Eof(); q.Next())
    for (const char* column : {"JS", "jxj", "FWJ", "note"})
      EXPECT_EQ(q.FieldByName(column).IsEmptyText(), q.FieldByName(column).AsText().empty())
          << column << " at " << q.FieldByName("JS").AsText();
  q.Next();  // past the end stays there
  EXPECT_TRUE(q.Eof());
  q.First();
  EXPECT_EQ(q.FieldByName("fwj").AsDouble(), 0);  // NULL reads as 0
  EXPECT_TRUE(q.FieldByName("fwj").IsNull());
  EXPECT_EQ(q.FieldByName("id").AsDouble(), 2);
  EXPECT_EQ(q.FieldByName("jxj").AsDouble(), 0.5);
}

TEST_P(QueryTest, empty_result_is_at_its_end_at_once) {
  MakeSurvey({"1, 30, 1.5, 10, 'a'"});
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_ + " where js > 100 order by js");
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.RecordCount(), 0);
  EXPECT_THAT([&] { q.FieldByName("js").AsText(); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("there is no current record")));
}

TEST_P(QueryTest, missing_columns_and_non_numbers_raise_with_names) {
  MakeSurvey({"1, 30, 1.5, 10, 'abc'"});
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_);
  EXPECT_THAT([&] { q.FieldByName("CZJS"); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("the result has no column CZJS")));
  EXPECT_THAT([&] { q.FieldByName("note").AsDouble(); },
              ::testing::ThrowsMessage<DataError>(
                  HasSubstr("column note: the text \"abc\" is not a number")));
}

TEST_P(QueryTest, a_failing_statement_raises_with_the_statement_and_the_database_message) {
  MakeSurvey({});
  auto db = Connect();
  Query q(*db);
  const std::string sql = "select * from " + table_ + " where nosuchcolumn = 1 order by js";
  try {
    q.Open(sql);
    ADD_FAILURE();
  } catch (const DataError& e) {
    EXPECT_THAT(e.what(), HasSubstr(sql));
    EXPECT_THAT(e.what(), HasSubstr("nosuchcolumn"));
  }
  EXPECT_FALSE(q.Active());
}

TEST_P(QueryTest, a_second_statement_is_refused_and_never_run) {
  MakeSurvey({"1, 30, 1.5, 10, 'a'"});
  auto db = Connect();
  Query q(*db);
  EXPECT_THROW(q.Open("select * from " + table_ + "; delete from " + table_), DataError);
  q.Open("select * from " + table_);
  EXPECT_EQ(q.RecordCount(), 1);
}

TEST_P(QueryTest, filter_shows_only_matching_records_and_counts_them) {
  MakeSurvey({"1, 10, 1, 1, 'a'", "2, 20, NULL, 1, 'b'", "3, 30, 3, 1, 'a'", "4, 40, 4, 1, NULL"});
  auto db = Connect();
  Query q(*db);
  q.Open("select * from " + table_ + " order by js");
  q.SetFilter("note = 'a' or jxj > 3.5");
  EXPECT_EQ(q.FieldByName("js").AsDouble(), 10);
  EXPECT_EQ(q.RecordCount(), 3);
  std::vector<double> depths;
  for (q.First(); !q.Eof(); q.Next()) depths.push_back(q.FieldByName("js").AsDouble());
  EXPECT_EQ(depths, (std::vector<double>{10, 30, 40}));
  q.SetFilter("jxj > 100");
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.RecordCount(), 0);
  EXPECT_THROW(q.SetFilter("js = 1 order by js"), DataError);  // SQL, but no filter
  EXPECT_THROW(q.SetFilter("nosuch = 1"), DataError);
  q.SetFilter("");
  EXPECT_EQ(q.RecordCount(), 4);
}

TEST_P(QueryTest, standing_on_the_first_record_reads_no_further) {
  std::vector<std::string> rows;
  for (int i = 1; i <= 300; ++i)
    rows.push_back(std::to_string(i) + ", " + std::to_string(i) + ", 1, 1, 'x'");
  MakeSurvey(rows);
  int fetched = 0;
  Database db(std::make_unique<CountingDriver>(ConnectDriver(cs_), fetched), '.');
  Query q(db);
  q.Open("select * from " + table_ + " where js > 100 order by js");
  EXPECT_EQ(q.FieldByName("js").AsDouble(), 101);
  EXPECT_EQ(fetched, 1);
  q.SetFilter("js >= 103");
  EXPECT_EQ(fetched, 3);
  EXPECT_EQ(q.RecordCount(), 198);
  EXPECT_EQ(fetched, 200);
}

INSTANTIATE_TEST_SUITE_P(on, QueryTest, ::testing::ValuesIn(AllBackends()), BackendName);

}  // namespace
}  // namespace lkrva::data::testing
