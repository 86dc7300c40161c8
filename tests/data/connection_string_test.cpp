// Connection strings: parsing, backend choice and the ODBC options we add.
#include "data/connection_string.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/error.hpp"
#include "data/odbc_driver.hpp"

namespace lkrva::data {
namespace {

using ::testing::HasSubstr;

TEST(connection_string, parses_plain_quoted_and_braced_values) {
  const auto cs = ConnectionString::Parse(
      " provider = SQLite ; Data Source={C:\\a;b}}.db};Pwd='it''s';Uid=\"x;y\";;Empty=");
  EXPECT_EQ(cs.Get("PROVIDER"), "SQLite");
  EXPECT_EQ(cs.Get("data source"), "C:\\a;b}.db");
  EXPECT_EQ(cs.Get("pwd"), "it's");
  EXPECT_EQ(cs.Get("UID"), "x;y");
  EXPECT_EQ(cs.Get("empty"), "");
  EXPECT_FALSE(cs.Has("Driver"));
  // Printing and parsing again gives the same values.
  const auto again = ConnectionString::Parse(cs.ToString());
  EXPECT_EQ(again.Entries(), cs.Entries());
}

TEST(connection_string, malformed_text_says_where) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"Provider=SQLite;Data Source={abc", "unterminated value at position 29"},
      {"Provider", "expected \"=\" after \"Provider\" at position 1"},
      {"=x", "empty key at position 1"},
      {"a='b' c", "expected \";\" after a quoted value at position 7"},
  };
  for (const auto& c : cases) {
    try {
      ConnectionString::Parse(c.text);
      ADD_FAILURE() << c.text;
    } catch (const DataError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.text;
    }
  }
}

TEST(connection_string, chooses_the_backend_or_names_the_unsupported_provider) {
  EXPECT_EQ(ClassifyConnection(ConnectionString::Parse("Provider=sqlite;Data Source=a.db")),
            BackendKind::kSqlite);
  EXPECT_EQ(ClassifyConnection(ConnectionString::Parse("Driver={PostgreSQL Unicode};Server=h")),
            BackendKind::kOdbc);
  EXPECT_EQ(ClassifyConnection(ConnectionString::Parse("Provider=MSDASQL;DSN=survey")),
            BackendKind::kOdbc);
  for (const char* text : {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb",
                           "Provider=MSDASQL;Data Source=x", "Data Source=a.db"}) {
    try {
      ClassifyConnection(ConnectionString::Parse(text));
      ADD_FAILURE() << text;
    } catch (const DataError& e) {
      EXPECT_THAT(e.what(), HasSubstr("Provider=SQLite;Data Source=PATH")) << text;
    }
  }
  try {
    ClassifyConnection(ConnectionString::Parse("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a"));
  } catch (const DataError& e) {
    EXPECT_THAT(e.what(), HasSubstr("\"Microsoft.Jet.OLEDB.4.0\" is not supported"));
  }
}

TEST(connection_string, odbc_options_are_added_but_never_override_the_user) {
  const struct {
    const char* user;
    const char* sent;
  } cases[] = {
      {"Driver=SQLite3;Database=/d/a.db",
       "Driver=SQLite3;Database=/d/a.db;StepAPI=1;NoCreat=1;Timeout=5000;"},
      {"Driver=SQLite3;Database=/d/a.db;stepapi=0;Timeout=10",
       "Driver=SQLite3;Database=/d/a.db;stepapi=0;Timeout=10;NoCreat=1;"},
      {"Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=h",
       "Driver=PostgreSQL Unicode;Server=h;UseDeclareFetch=1;"},
      {"Driver={PostgreSQL Unicode};UseDeclareFetch=0",
       "Driver=PostgreSQL Unicode;UseDeclareFetch=0;"},
      {"DSN=survey;Uid=a", "DSN=survey;Uid=a;"},
  };
  for (const auto& c : cases) EXPECT_EQ(OdbcConnectionString(c.user), c.sent) << c.user;
}

}  // namespace
}  // namespace lkrva::data
