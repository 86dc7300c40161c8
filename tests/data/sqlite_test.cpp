// What the native SQLite driver adds: no created files, one statement per
// text, and runs that hold the write lock from their start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "backends.hpp"
#include "data/error.hpp"
#include "data/query.hpp"

namespace lkrva::data::testing {
namespace {

using ::testing::HasSubstr;

TEST(sqlite, a_missing_file_is_an_error_and_is_not_created) {
  const std::string path = std::string(LKRVA_TEST_WORK_DIR) + "/no/such/dir/x.db";
  EXPECT_THAT([&] { Database db("Provider=SQLite;Data Source=" + path, '.'); },
              ::testing::ThrowsMessage<DataError>(HasSubstr(path)));
  const std::string missing = FreshSqliteFile("missing") + ".gone";
  EXPECT_THROW(Database("Provider=SQLite;Data Source=" + missing, '.'), DataError);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_THAT([] { Database db("Provider=SQLite", '.'); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("needs \"Data Source=PATH\"")));
}

TEST(sqlite, text_after_the_first_statement_is_refused_unrun) {
  const std::string path = FreshSqliteFile("one_statement");
  Database db("Provider=SQLite;Data Source=" + path, '.');
  db.Driver().Execute("create table t (a)", {});
  db.Driver().Execute("insert into t values (1)", {});
  Query q(db);
  for (const char* sql : {"select * from t; delete from t", "select * from t; drop table t -- x"})
    EXPECT_THAT([&] { q.Open(sql); },
                ::testing::ThrowsMessage<DataError>(HasSubstr("holds more than one statement")));
  EXPECT_THROW(db.Driver().Execute("update t set a = 2; delete from t", {}), DataError);
  q.Open("select * from t; -- a trailing comment is fine");
  EXPECT_EQ(q.FieldByName("a").AsText(), "1");
  EXPECT_THAT([&] { q.Open("delete from t"); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("returns no rows")));
  q.Open("select * from t");
  EXPECT_EQ(q.RecordCount(), 1);
}

// The driver keeps the statements of the last few results and runs them
// again for the same text. What they give must be what a fresh statement
// gives: rows written since, and the columns of a table altered since, by
// this connection or by another program.
TEST(sqlite, a_statement_run_again_sees_writes_and_schema_changes) {
  const std::string path = FreshSqliteFile("kept_statements");
  Database db("Provider=SQLite;Data Source=" + path, '.');
  db.Driver().Execute("create table t (a, b)", {});
  db.Driver().Execute("insert into t values (1, 2)", {});
  const std::string sql = "select * from t where a = 1";
  Query q(db);
  q.Open(sql);
  EXPECT_EQ(q.FieldByName("b").AsText(), "2");
  q.Close();

  db.Driver().Execute("update t set b = 3", {});
  q.Open(sql);
  EXPECT_EQ(q.FieldByName("b").AsText(), "3");
  q.Open("select * from t where b = 3");  // the first one stands aside, kept
  q.Close();                              // and holds no lock

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "alter table t add column c default 7", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(other);
  Query fresh(db);  // a text never run before, prepared under the old schema
  fresh.Open("select * from t where a > 0");
  EXPECT_EQ(fresh.FieldByName("c").AsText(), "7");
  fresh.Close();
  q.Open(sql);
  EXPECT_EQ(q.FieldByName("c").AsText(), "7");
  EXPECT_EQ(q.FieldByName("b").AsText(), "3");

  q.Edit();  // the kept statement still locates the record by its rowid
  q.FieldByName("c").SetText("8");
  q.Post();
  q.Open(sql);
  EXPECT_EQ(q.FieldByName("c").AsText(), "8");
}

TEST(sqlite, a_run_holds_the_write_lock_from_its_begin) {
  const std::string path = FreshSqliteFile("immediate");
  Database db("Provider=SQLite;Data Source=" + path, '.');
  db.Driver().Execute("create table t (a)", {});
  db.Begin();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  // No busy timeout on the other side: it is refused at once.
  EXPECT_EQ(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_BUSY);
  db.Commit();
  EXPECT_EQ(sqlite3_exec(other, "begin immediate; commit", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);
}

TEST(sqlite, rowid_locates_records_of_tables_without_a_key) {
  const std::string path = FreshSqliteFile("rowid");
  Database db("Provider=SQLite;Data Source=" + path, '.');
  db.Driver().Execute("create table t (a, b)", {});
  db.Driver().Execute("insert into t values (1, 'x'), (1, 'x')", {});
  Query q(db);
  q.Open("select * from t");
  EXPECT_THROW(q.FieldByName("rowid"), DataError);  // the locator stays hidden
  q.Next();
  q.Edit();
  q.FieldByName("b").SetText("y");
  q.Post();
  q.Open("select * from t order by rowid");
  q.Next();
  EXPECT_EQ(q.FieldByName("b").AsText(), "y");
  q.First();
  EXPECT_EQ(q.FieldByName("b").AsText(), "x");
}

}  // namespace
}  // namespace lkrva::data::testing
