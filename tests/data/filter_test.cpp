// The filter language: what parses, where errors are, and how rows match.
#include "data/filter.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/connection_string.hpp"
#include "data/error.hpp"

namespace lkrva::data {
namespace {

using ::testing::HasSubstr;

const std::vector<std::string> kColumns = {"JS", "JXJ", "note", "深度"};

bool Matches(const std::string& text, const std::vector<Value>& row, char separator = '.') {
  Filter f = Filter::Parse(text);
  f.Bind([](std::string_view name) -> std::optional<std::size_t> {
    for (std::size_t i = 0; i < kColumns.size(); ++i)
      if (EqualsIgnoreCase(kColumns[i], name)) return i;
    return std::nullopt;
  });
  return f.Matches(row, separator);
}

TEST(filter, evaluates_comparisons_like_and_null_logic) {
  const std::vector<Value> row = {100.0, Value{}, std::string("Hole A_1"), std::int64_t{7}};
  const struct {
    const char* filter;
    bool visible;
  } cases[] = {
      {"JS = 100", true},
      {"js=100.0 and [JS]>=1e2", true},
      {"\"JS\" <> 100", false},
      {"JS != 99.5", true},
      {"JS < 100 or JS > 100", false},
      {"JS <= 100 AND NOT JS < 100", true},
      {"(JS > 50) and (note like 'hole%')", true},  // LIKE ignores case
      {"note like '%a\\_1'", false},
      {"note like 'Hole __1'", true},
      {"note not like '%B%'", true},
      {"note = 'Hole A_1'", true},
      {"note > 'Hole'", true},
      {"JXJ is null", true},
      {"JXJ is not null", false},
      // NULL makes a comparison unknown, and unknown is never visible.
      {"JXJ = 0", false},
      {"not JXJ = 0", false},
      {"JXJ = 0 or JS = 100", true},
      {"JXJ = 0 and JS = 100", false},
      {"not (JXJ = 0 and JS = 1)", true},
      // Number against text: the text is read as a number, or is unknown.
      {"note = 1", false},
      {"not note = 1", false},
      {"JS = '100'", true},
      {"深度 = 7", true},
  };
  for (const auto& c : cases) EXPECT_EQ(Matches(c.filter, row), c.visible) << c.filter;
}

TEST(filter, text_read_as_number_uses_the_separator) {
  const std::vector<Value> row = {std::string("12,5"), Value{}, Value{}, Value{}};
  EXPECT_TRUE(Matches("JS = 12.5", row, ','));
  EXPECT_FALSE(Matches("JS = 12.5", row, '.'));
}

TEST(filter, rejects_non_filters_saying_where) {
  const struct {
    const char* filter;
    const char* message;
  } cases[] = {
      {"", "expected a column name at position 1"},
      {"   ", "expected a column name at position 4"},
      {"JS =", "expected a number or a 'text' at position 5"},
      {"JS = 1 and", "expected a column name at position 11"},
      {"JS in (1,2)", "expected a comparison (=, <>, !=, <, >, <=, >=), LIKE or IS at position 4"},
      {"(JS = 1", "expected \")\" at position 8"},
      {"JS = 1 xor JS = 2", "expected AND, OR or the end of the filter at position 8"},
      {"note = 'abc", "expected the closing ' of the text at position 8"},
      {"JS is 5", "expected NULL after IS at position 7"},
      {"JS not = 5", "expected LIKE after NOT at position 8"},
      {"note like 5", "expected a 'pattern' after LIKE"},
      {"[JS = 1", "expected the closing ]"},
      {"JS = 1; delete from t", "expected AND, OR or the end of the filter at position 7"},
      {"1 = JS", "expected a column name at position 1"},
  };
  for (const auto& c : cases) {
    try {
      Filter::Parse(c.filter);
      ADD_FAILURE() << c.filter;
    } catch (const DataError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.filter;
    }
  }
}

TEST(filter, hostile_text_fails_cleanly) {
  EXPECT_THROW(Filter::Parse(std::string(100000, '(')), DataError);
  EXPECT_THROW(Filter::Parse(std::string(100000, 'n') + "ot"), DataError);
  std::string chain = "JS = 1";
  for (int i = 0; i < 5000; ++i) chain += " and JS = 1";
  EXPECT_THROW(Filter::Parse(chain), DataError);
  std::string nots;
  for (int i = 0; i < 5000; ++i) nots += "not ";
  EXPECT_THROW(Filter::Parse(nots + "JS = 1"), DataError);
}

TEST(filter, binding_a_missing_column_raises) {
  Filter f = Filter::Parse("depth > 1");
  try {
    f.Bind([](std::string_view) { return std::optional<std::size_t>(); });
    ADD_FAILURE();
  } catch (const DataError& e) {
    EXPECT_THAT(e.what(), HasSubstr("the result has no column depth"));
  }
}

TEST(filter, like_patterns) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {{"abc", "abc", true}, {"abc", "a%", true},  {"abc", "%c", true},
               {"abc", "_b_", true}, {"abc", "%%%", true}, {"", "%", true},
               {"abc", "ab", false}, {"abc", "a_", false}, {"aXbXc", "a%b%c", true},
               {"ABC", "a%c", true}, {"abcb", "%b", true}, {"ab", "a%b%", true}};
  for (const auto& c : cases)
    EXPECT_EQ(LikeMatches(c.text, c.pattern), c.match) << c.text << " " << c.pattern;
}

}  // namespace
}  // namespace lkrva::data
