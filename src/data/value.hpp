// One field value as the drivers deliver it, and its readings as text and
// as a double under the system's number rules.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace lkrva::data {

/// NULL, an integer, a double or a text. Blobs arrive as text.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

/// NULL reads as the empty text; numbers in the number-to-text form with
/// `separator`; text as it is.
std::string ValueToText(const Value& v, char separator);

/// NULL reads as 0; numbers as they are; text by the text-to-number rules
/// with `separator`. Raises DataError naming `what` (the column) when the
/// text is no number.
double ValueToDouble(const Value& v, char separator, const std::string& what);

}  // namespace lkrva::data
