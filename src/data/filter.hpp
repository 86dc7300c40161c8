// Record filters: a small expression language over the columns of a result,
// evaluated on fetched rows with SQL's three-valued logic.
//
//   filter     := or
//   or         := and { OR and }
//   and        := not { AND not }
//   not        := NOT not | primary
//   primary    := "(" or ")" | column test
//   test       := cmp literal | [NOT] LIKE 'pattern' | IS [NOT] NULL
//   cmp        := = | <> | != | < | > | <= | >=
//   literal    := number | 'text'          (a '' inside text is one ')
//   column     := name | [name] | "name"
//
// Keywords are case-blind; a number literal is written with a point, as in
// SQL, since the same text also serves as an SQL condition.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.hpp"

namespace lkrva::data {

class Filter {
 public:
  /// Parses `text`; raises DataError saying what was expected and at which
  /// character position, quoting the filter. An empty or blank text is no
  /// filter and raises too.
  static Filter Parse(std::string_view text);

  /// Resolves every column name through `find` (which gives a column's
  /// index in the rows to come). Raises DataError for a name the result
  /// lacks.
  void Bind(const std::function<std::optional<std::size_t>(std::string_view)>& find);

  /// Whether `row` satisfies the filter: true only when the expression is
  /// true; false and unknown (a NULL involved) both hide the row. A number
  /// compared with text reads the text by the number rules with
  /// `separator`; text that is no number makes the comparison unknown.
  /// Text compares byte by byte; LIKE ignores ASCII case.
  bool Matches(const std::vector<Value>& row, char separator) const;

  const std::string& Text() const { return text_; }

  enum class Kind { kAnd, kOr, kNot, kCompare, kLike, kIsNull };
  enum class Cmp { kEq, kNe, kLt, kGt, kLe, kGe };
  struct Node {
    Kind kind = Kind::kAnd;
    int left = -1, right = -1;  // children (kNot uses left)
    std::string column;
    std::size_t column_index = 0;
    Cmp cmp = Cmp::kEq;
    Value literal;         // a double or a std::string
    bool negated = false;  // NOT LIKE, IS NOT NULL
  };

 private:
  friend class FilterParser;
  std::string text_;
  std::vector<Node> nodes_;
  int root_ = -1;
};

/// Whether `text` matches the LIKE `pattern` (% any run, _ one character),
/// ignoring ASCII case.
bool LikeMatches(std::string_view text, std::string_view pattern);

}  // namespace lkrva::data
