// Evaluating bound filters on rows with SQL's NULL logic.
#include <cctype>

#include "data/error.hpp"
#include "data/filter.hpp"
#include "text/number_text.hpp"

namespace lkrva::data {
namespace {

enum class Truth { kFalse, kTrue, kUnknown };

Truth Of(bool b) { return b ? Truth::kTrue : Truth::kFalse; }

template <typename T>
Truth Compare(const T& a, const T& b, Filter::Cmp cmp) {
  switch (cmp) {
    case Filter::Cmp::kEq:
      return Of(a == b);
    case Filter::Cmp::kNe:
      return Of(a != b);
    case Filter::Cmp::kLt:
      return Of(a < b);
    case Filter::Cmp::kGt:
      return Of(a > b);
    case Filter::Cmp::kLe:
      return Of(a <= b);
    case Filter::Cmp::kGe:
      return Of(a >= b);
  }
  return Truth::kUnknown;
}

std::optional<double> AsNumber(const Value& v, char separator) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<std::string>(&v)) return text::ParseNumber(*s, separator);
  return std::nullopt;
}

Truth CompareValue(const Value& value, const Value& literal, Filter::Cmp cmp, char separator) {
  if (IsNull(value)) return Truth::kUnknown;
  const auto* value_text = std::get_if<std::string>(&value);
  const auto* literal_text = std::get_if<std::string>(&literal);
  if (value_text && literal_text) return Compare(*value_text, *literal_text, cmp);
  const auto a = AsNumber(value, separator);
  const auto b = AsNumber(literal, separator);
  if (!a || !b) return Truth::kUnknown;
  return Compare(*a, *b, cmp);
}

Truth Evaluate(const std::vector<Filter::Node>& nodes, int at, const std::vector<Value>& row,
               char separator) {
  const Filter::Node& n = nodes[static_cast<std::size_t>(at)];
  switch (n.kind) {
    case Filter::Kind::kAnd: {
      const Truth a = Evaluate(nodes, n.left, row, separator);
      if (a == Truth::kFalse) return a;
      const Truth b = Evaluate(nodes, n.right, row, separator);
      if (b == Truth::kFalse) return b;
      return a == Truth::kTrue && b == Truth::kTrue ? Truth::kTrue : Truth::kUnknown;
    }
    case Filter::Kind::kOr: {
      const Truth a = Evaluate(nodes, n.left, row, separator);
      if (a == Truth::kTrue) return a;
      const Truth b = Evaluate(nodes, n.right, row, separator);
      if (b == Truth::kTrue) return b;
      return a == Truth::kFalse && b == Truth::kFalse ? Truth::kFalse : Truth::kUnknown;
    }
    case Filter::Kind::kNot: {
      const Truth a = Evaluate(nodes, n.left, row, separator);
      return a == Truth::kUnknown ? a : Of(a == Truth::kFalse);
    }
    case Filter::Kind::kIsNull:
      return Of(IsNull(row[n.column_index]) != n.negated);
    case Filter::Kind::kLike: {
      const Value& v = row[n.column_index];
      if (IsNull(v)) return Truth::kUnknown;
      return Of(LikeMatches(ValueToText(v, separator), std::get<std::string>(n.literal)) !=
                n.negated);
    }
    case Filter::Kind::kCompare:
      return CompareValue(row[n.column_index], n.literal, n.cmp, separator);
  }
  return Truth::kUnknown;
}

}  // namespace

bool LikeMatches(std::string_view text, std::string_view pattern) {
  // Iterative wildcard match: remember the last % and retry from there.
  std::size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  while (t < text.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '_' || (pattern[p] != '%' && same(pattern[p], text[t])))) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '%') {
      star = p++;
      mark = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '%') ++p;
  return p == pattern.size();
}

void Filter::Bind(const std::function<std::optional<std::size_t>(std::string_view)>& find) {
  for (Node& n : nodes_) {
    if (n.kind != Kind::kCompare && n.kind != Kind::kLike && n.kind != Kind::kIsNull) continue;
    const auto index = find(n.column);
    if (!index) throw DataError("filter \"" + text_ + "\": the result has no column " + n.column);
    n.column_index = *index;
  }
}

bool Filter::Matches(const std::vector<Value>& row, char separator) const {
  return Evaluate(nodes_, root_, row, separator) == Truth::kTrue;
}

}  // namespace lkrva::data
