// Parsing filter texts into expression trees, with positions in errors.
#include <cctype>
#include <cstdlib>

#include "data/connection_string.hpp"
#include "data/error.hpp"
#include "data/filter.hpp"

namespace lkrva::data {

class FilterParser {
 public:
  explicit FilterParser(std::string_view text) : s_(text) {}

  Filter Run() {
    f_.text_ = std::string(s_);
    f_.root_ = ParseOr();
    Skip();
    if (i_ < s_.size()) Fail("expected AND, OR or the end of the filter");
    return std::move(f_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    std::string near =
        i_ < s_.size() ? " near \"" + std::string(s_.substr(i_, 12)) + "\"" : " at its end";
    throw DataError("filter \"" + std::string(s_) + "\": " + what + " at position " +
                    std::to_string(i_ + 1) + near);
  }

  void Skip() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }

  static bool IsNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || u >= 0x80;  // 8-bit names (GB2312) are names too
  }

  // Consumes the keyword `word` when it stands next, as a whole word.
  bool Keyword(std::string_view word) {
    Skip();
    if (s_.size() - i_ < word.size() || !EqualsIgnoreCase(s_.substr(i_, word.size()), word))
      return false;
    if (i_ + word.size() < s_.size() && IsNameChar(s_[i_ + word.size()])) return false;
    i_ += word.size();
    return true;
  }

  static Filter::Node Logic(Filter::Kind kind, int left, int right) {
    Filter::Node n;
    n.kind = kind;
    n.left = left;
    n.right = right;
    return n;
  }

  int Add(Filter::Node node) {
    // Bounds keep evaluation's recursion shallow whatever the text holds.
    if (f_.nodes_.size() >= kMaxNodes) Fail("the filter is too long");
    f_.nodes_.push_back(std::move(node));
    return static_cast<int>(f_.nodes_.size() - 1);
  }

  int ParseOr() {
    int left = ParseAnd();
    while (Keyword("OR")) left = Add(Logic(Filter::Kind::kOr, left, ParseAnd()));
    return left;
  }

  int ParseAnd() {
    int left = ParseNot();
    while (Keyword("AND")) left = Add(Logic(Filter::Kind::kAnd, left, ParseNot()));
    return left;
  }

  int ParseNot() {
    if (++depth_ > kMaxDepth) Fail("the filter nests too deeply");
    const int node =
        Keyword("NOT") ? Add(Logic(Filter::Kind::kNot, ParseNot(), -1)) : ParsePrimary();
    --depth_;
    return node;
  }

  int ParsePrimary() {
    Skip();
    if (i_ < s_.size() && s_[i_] == '(') {
      ++i_;
      const int inner = ParseOr();
      Skip();
      if (i_ >= s_.size() || s_[i_] != ')') Fail("expected \")\"");
      ++i_;
      return inner;
    }
    Filter::Node node;
    node.column = ParseColumn();
    if (Keyword("IS")) {
      node.kind = Filter::Kind::kIsNull;
      node.negated = Keyword("NOT");
      if (!Keyword("NULL")) Fail("expected NULL after IS");
      return Add(std::move(node));
    }
    const bool negated = Keyword("NOT");
    if (Keyword("LIKE")) {
      node.kind = Filter::Kind::kLike;
      node.negated = negated;
      Skip();
      if (i_ >= s_.size() || s_[i_] != '\'') Fail("expected a 'pattern' after LIKE");
      node.literal = ParseText();
      return Add(std::move(node));
    }
    if (negated) Fail("expected LIKE after NOT");
    node.kind = Filter::Kind::kCompare;
    node.cmp = ParseCmp();
    node.literal = ParseLiteral();
    return Add(std::move(node));
  }

  std::string ParseColumn() {
    Skip();
    if (i_ >= s_.size()) Fail("expected a column name");
    const char open = s_[i_];
    if (open == '[' || open == '"') {
      const char close = open == '[' ? ']' : '"';
      const std::size_t end = s_.find(close, i_ + 1);
      if (end == std::string_view::npos) Fail(std::string("expected the closing ") + close);
      std::string name(s_.substr(i_ + 1, end - i_ - 1));
      if (name.empty()) Fail("expected a column name");
      i_ = end + 1;
      return name;
    }
    const std::size_t start = i_;
    while (i_ < s_.size() && IsNameChar(s_[i_])) ++i_;
    if (i_ == start || std::isdigit(static_cast<unsigned char>(s_[start]))) {
      i_ = start;
      Fail("expected a column name");
    }
    return std::string(s_.substr(start, i_ - start));
  }

  Filter::Cmp ParseCmp() {
    Skip();
    const std::string_view rest = s_.substr(i_);
    static constexpr std::pair<std::string_view, Filter::Cmp> kOps[] = {
        {"<>", Filter::Cmp::kNe}, {"!=", Filter::Cmp::kNe}, {"<=", Filter::Cmp::kLe},
        {">=", Filter::Cmp::kGe}, {"=", Filter::Cmp::kEq},  {"<", Filter::Cmp::kLt},
        {">", Filter::Cmp::kGt}};
    for (const auto& [text, op] : kOps)
      if (rest.starts_with(text)) {
        i_ += text.size();
        return op;
      }
    Fail("expected a comparison (=, <>, !=, <, >, <=, >=), LIKE or IS");
  }

  Value ParseLiteral() {
    Skip();
    if (i_ < s_.size() && s_[i_] == '\'') return ParseText();
    const std::size_t start = i_;
    if (i_ < s_.size() && (s_[i_] == '-' || s_[i_] == '+')) ++i_;
    bool digits = false;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_, digits = true;
    if (i_ < s_.size() && s_[i_] == '.') {
      ++i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
        ++i_, digits = true;
    }
    if (digits && i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      std::size_t j = i_ + 1;
      if (j < s_.size() && (s_[j] == '-' || s_[j] == '+')) ++j;
      if (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) {
        while (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) ++j;
        i_ = j;
      }
    }
    if (!digits || (i_ < s_.size() && IsNameChar(s_[i_]))) {
      i_ = start;
      Fail("expected a number or a 'text'");
    }
    // The literal is plain ASCII digits with a point: strtod in the "C"
    // locale reads it, and the process never changes its locale.
    const std::string literal(s_.substr(start, i_ - start));
    return std::strtod(literal.c_str(), nullptr);
  }

  std::string ParseText() {
    const std::size_t open = i_++;
    std::string out;
    for (;;) {
      if (i_ >= s_.size()) {
        i_ = open;
        Fail("expected the closing ' of the text");
      }
      if (s_[i_] == '\'') {
        if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
          out += '\'';
          i_ += 2;
          continue;
        }
        ++i_;
        return out;
      }
      out += s_[i_++];
    }
  }

  static constexpr std::size_t kMaxNodes = 2000;
  static constexpr int kMaxDepth = 200;

  std::string_view s_;
  std::size_t i_ = 0;
  int depth_ = 0;
  Filter f_;
};

Filter Filter::Parse(std::string_view text) { return FilterParser(text).Run(); }

}  // namespace lkrva::data
