// The run's statements, character for character.
#include "data/statements.hpp"

#include <gtest/gtest.h>

namespace lkrva::data {
namespace {

params::ParameterSet Params(const char* filter) {
  params::ParameterSet p;
  p.Tablename = "cxb";
  p.FilterStr = filter;
  p.JS = "JS";
  p.JXJ = "JXJ";
  p.FWJ = "FWJ";
  return p;
}

TEST(statements, main_statement_with_and_without_filter) {
  EXPECT_EQ(MainStatement(Params("")), "select * from cxb order by JS");
  EXPECT_EQ(MainStatement(Params("hole='A1'")), "select * from cxb where hole='A1' order by JS");
  // Blanks are a filter: the database, not we, refuses them.
  EXPECT_EQ(MainStatement(Params("  ")), "select * from cxb where    order by JS");
}

TEST(statements, per_record_and_neighbour_statements_with_the_depth_as_text) {
  const auto p = Params("x=1");  // the filter never goes into these
  const struct {
    double depth;
    char separator;
    const char* record;
    const char* upper;
    const char* lower;
  } cases[] = {
      {150, '.', "select * from cxb where  JS=150 order by JS",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS<150 order by JS "
       "desc",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS>150 order by JS"},
      {12.5, ',', "select * from cxb where  JS=12,5 order by JS",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS<12,5 order by JS "
       "desc",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS>12,5 order by JS"},
      {0.1 + 0.2, '.', "select * from cxb where  JS=0.3 order by JS",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS<0.3 order by JS "
       "desc",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS>0.3 order by JS"},
      {-5E-5, '.', "select * from cxb where  JS=-5E-5 order by JS",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS<-5E-5 order by JS "
       "desc",
       "select * from cxb where   (FWJ is not null) and (JXJ is not null) and JS>-5E-5 order by "
       "JS"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RecordStatement(p, c.depth, c.separator), c.record);
    EXPECT_EQ(UpperNeighbourStatement(p, c.depth, c.separator), c.upper);
    EXPECT_EQ(LowerNeighbourStatement(p, c.depth, c.separator), c.lower);
  }
}

}  // namespace
}  // namespace lkrva::data
