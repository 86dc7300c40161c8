// The run's connection and query operations over an SQLite survey.
#include "data/data_module.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backends.hpp"
#include "data/error.hpp"
#include "data/statements.hpp"

namespace lkrva::data::testing {
namespace {

using ::testing::HasSubstr;

struct Shown {
  std::string text, caption;
  unsigned flags;
};

class DataModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path =
        FreshSqliteFile(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Database db("Provider=SQLite;Data Source=" + path, '.');
    db.Driver().Execute("create table cxb (JS real, JXJ real, FWJ real, hole text)", {});
    db.Driver().Execute(
        "insert into cxb values (100, 1, 350, 'A'), (150, null, null, 'A'), (120, 2, 20, 'B'), "
        "(200, 3, 10, 'A')",
        {});
    p_.ADOConString = "Provider=SQLite;Data Source=" + path;
    p_.Tablename = "cxb";
    p_.JS = "JS";
    p_.JXJ = "JXJ";
    p_.FWJ = "FWJ";
  }
  MessageBoxFn Recorder() {
    return [this](const std::string& t, const std::string& c, unsigned f) {
      shown_.push_back({t, c, f});
    };
  }

  params::ParameterSet p_;
  DataState s_;
  std::vector<Shown> shown_;
};

TEST_F(DataModuleTest, a_run_opens_filters_writes_and_closes) {
  p_.FilterStr = "hole='A'";
  OpenConnection(s_, p_.ADOConString);
  ASSERT_TRUE(s_.ADOConn && s_.MainQuery && s_.UpdateQuery && s_.LookupQuery && s_.RecordQuery);
  OpenMainQuery(s_.MainQuery.get(), p_, Recorder());
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(s_.MainQuery->RecordCount(), 3);
  // The lookup sees all records of the statement, then the filter hides hole B.
  RunQuery(UpperNeighbourStatement(p_, 150, '.'), s_.LookupQuery.get());
  EXPECT_EQ(s_.LookupQuery->FieldByName("JS").AsDouble(), 120);
  ApplyFilter(s_.LookupQuery.get(), p_);
  EXPECT_EQ(s_.LookupQuery->RecordCount(), 1);
  EXPECT_EQ(s_.LookupQuery->FieldByName("JS").AsDouble(), 100);
  RunQuery(RecordStatement(p_, 150, '.'), s_.UpdateQuery.get());
  ApplyFilter(s_.UpdateQuery.get(), p_);
  s_.UpdateQuery->Edit();
  s_.UpdateQuery->FieldByName("JXJ").SetText("1.5");
  s_.UpdateQuery->FieldByName("FWJ").SetText("180");
  s_.UpdateQuery->Post();
  RunQuery(RecordStatement(p_, 150, '.'), s_.RecordQuery.get());
  EXPECT_EQ(s_.RecordQuery->FieldByName("FWJ").AsText(), "180");
  CloseConnection(s_);
  EXPECT_FALSE(s_.ADOConn || s_.MainQuery || s_.UpdateQuery || s_.LookupQuery || s_.RecordQuery);
  CloseConnection(s_);  // nothing left to do
}

TEST_F(DataModuleTest, main_statement_failures_show_the_warning_only) {
  OpenConnection(s_, p_.ADOConString);
  for (const char* filter : {"   ", "nosuch = 1"}) {
    shown_.clear();
    p_.FilterStr = filter;
    OpenMainQuery(s_.MainQuery.get(), p_, Recorder());
    ASSERT_EQ(shown_.size(), 1u) << filter;
    EXPECT_EQ(shown_[0].text, "数据初始化失败！");
    EXPECT_EQ(shown_[0].caption, "警告");
    EXPECT_EQ(shown_[0].flags, kMbIconWarning);
    EXPECT_FALSE(s_.MainQuery->Active());
    EXPECT_THROW(s_.MainQuery->RecordCount(), DataError);  // the run's next step fails
  }
  shown_.clear();
  OpenMainQuery(nullptr, p_, Recorder());
  EXPECT_EQ(shown_.size(), 1u);
}

TEST_F(DataModuleTest, an_sql_condition_that_is_no_filter_fails_at_apply_filter) {
  p_.FilterStr = "hole in ('A')";
  OpenConnection(s_, p_.ADOConString);
  OpenMainQuery(s_.MainQuery.get(), p_, Recorder());
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(s_.MainQuery->RecordCount(), 3);
  RunQuery(RecordStatement(p_, 100, '.'), s_.LookupQuery.get());
  EXPECT_THAT([&] { ApplyFilter(s_.LookupQuery.get(), p_); },
              ::testing::ThrowsMessage<DataError>(HasSubstr("filter \"hole in ('A')\"")));
  p_.FilterStr = "";
  ApplyFilter(s_.LookupQuery.get(), p_);  // empty: nothing happens
  EXPECT_FALSE(s_.LookupQuery->Filtered());
}

TEST_F(DataModuleTest, a_failed_connect_leaves_nothing_open) {
  EXPECT_THROW(OpenConnection(s_, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"), DataError);
  EXPECT_FALSE(s_.ADOConn || s_.MainQuery);
  EXPECT_THROW(RunQuery("select 1", s_.MainQuery.get()), DataError);
  CloseConnection(s_);
}

}  // namespace
}  // namespace lkrva::data::testing
