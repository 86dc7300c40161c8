// Reading field values as text and as doubles.
#include "data/value.hpp"

#include "data/error.hpp"
#include "text/number_text.hpp"

namespace lkrva::data {

std::string ValueToText(const Value& v, char separator) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) return text::FormatNumber(*d, separator);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

double ValueToDouble(const Value& v, char separator, const std::string& what) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<std::string>(&v)) {
    if (auto parsed = text::ParseNumber(*s, separator)) return *parsed;
    throw DataError("column " + what + ": the text \"" + *s + "\" is not a number");
  }
  return 0;
}

}  // namespace lkrva::data
