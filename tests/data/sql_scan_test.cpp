// Detecting a second statement behind the first.
#include "data/sql_scan.hpp"

#include <gtest/gtest.h>

namespace lkrva::data {
namespace {

TEST(sql_scan, finds_text_after_the_first_statement) {
  const struct {
    const char* sql;
    bool second;
  } cases[] = {
      {"select * from t", false},
      {"select * from t;", false},
      {"select * from t;  -- done\n /* x */ ", false},
      {"select * from t where a='x;y' and \"b;\"=1", false},
      {"select * from t where a='it''s; fine'", false},
      {"select * from [a;b]", false},
      {"select * from t; delete from t", true},
      {"select 1;;select 2", true},
      {"select * from t where a=';' ; drop table t", true},
  };
  for (const auto& c : cases) EXPECT_EQ(HasSecondStatement(c.sql), c.second) << c.sql;
}

}  // namespace
}  // namespace lkrva::data
