// The number-to-text form and the text-to-number rules.
#include "text/number_text.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lkrva::text {

namespace {

constexpr int kSignificantDigits = 15;

/// Decimal digits of a finite, non-zero magnitude rounded to 15 significant
/// digits, trailing zeros removed, and the power of ten of the first digit.
struct Decimal {
  char digits[kSignificantDigits];
  int count;
  int exponent;
};

Decimal RoundToSignificant(double magnitude) {
  // "d.dddddddddddddde±x": to_chars rounds the exact binary value, so the
  // digits are correctly rounded and the exponent accounts for any carry.
  char buf[40];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                 kSignificantDigits - 1);
  (void)ec;  // 40 characters always suffice
  Decimal d{};
  const char* p = buf;
  d.digits[d.count++] = *p++;
  if (*p == '.') {
    ++p;
    while (*p != 'e') d.digits[d.count++] = *p++;
  }
  ++p;  // 'e'
  const bool negative_exponent = *p == '-';
  ++p;
  int e = 0;
  while (p < end) e = e * 10 + (*p++ - '0');
  d.exponent = negative_exponent ? -e : e;
  while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
  return d;
}

}  // namespace

void AppendNumber(std::string& out, double value, char separator) {
  if (std::isnan(value)) {
    out += "NAN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-INF" : "INF";
    return;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  if (value < 0) out += '-';
  const Decimal d = RoundToSignificant(std::fabs(value));

  if (d.exponent >= -4 && d.exponent < kSignificantDigits) {
    if (d.exponent < 0) {
      out += '0';
      out += separator;
      out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
      out.append(d.digits, static_cast<std::size_t>(d.count));
      return;
    }
    const int integer_digits = d.exponent + 1;
    if (d.count <= integer_digits) {
      out.append(d.digits, static_cast<std::size_t>(d.count));
      out.append(static_cast<std::size_t>(integer_digits - d.count), '0');
    } else {
      out.append(d.digits, static_cast<std::size_t>(integer_digits));
      out += separator;
      out.append(d.digits + integer_digits, static_cast<std::size_t>(d.count - integer_digits));
    }
    return;
  }

  out += d.digits[0];
  if (d.count > 1) {
    out += separator;
    out.append(d.digits + 1, static_cast<std::size_t>(d.count - 1));
  }
  out += 'E';
  if (d.exponent < 0) out += '-';
  char exponent[8];
  auto [end, ec] = std::to_chars(exponent, exponent + sizeof exponent, std::abs(d.exponent));
  (void)ec;
  out.append(exponent, end);
}

std::string FormatNumber(double value, char separator) {
  std::string out;
  AppendNumber(out, value, separator);
  return out;
}

std::optional<double> ParseNumber(std::string_view text, char separator) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  text = text.substr(begin, end - begin);

  // Check the shape first; from_chars alone would also take "inf", "nan"
  // and other forms that are no number here.
  std::size_t i = 0;
  const bool plus = i < text.size() && text[i] == '+';
  const bool negative = i < text.size() && text[i] == '-';
  if (plus || negative) ++i;
  std::size_t separator_at = std::string_view::npos;
  bool seen_digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      seen_digit = true;
    } else if (c == separator && separator_at == std::string_view::npos) {
      separator_at = i;
    } else {
      break;
    }
  }
  if (!seen_digit && separator_at == std::string_view::npos) return std::nullopt;
  std::size_t exponent_at = std::string_view::npos;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
    exponent_at = i++;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponent_digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == exponent_digits || i != text.size()) return std::nullopt;
  }

  // from_chars reads a point, no leading '+', and needs a digit; anything
  // else goes through a canonical copy.
  std::string canonical;
  std::string_view number = text;
  if (plus || (separator_at != std::string_view::npos && separator != '.') || !seen_digit) {
    canonical.reserve(text.size() + 1);
    for (std::size_t j = plus ? 1 : 0; j < text.size(); ++j) {
      if (j == separator_at) {
        canonical += '.';
        if (!seen_digit) canonical += '0';  // a separator alone stands for zero
      } else {
        canonical += text[j];
      }
    }
    number = canonical;
  }

  const char* first = number.data();
  const char* last = first + number.size();
  double value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the range of a double. An overflow is no number; an underflow is
    // the nearest double. The wider type tells the two apart; past its range
    // too, the exponent's sign does.
    long double wide = 0;
    if (std::from_chars(first, last, wide).ec == std::errc()) {
      if (std::fabs(wide) > std::numeric_limits<double>::max()) return std::nullopt;
      return static_cast<double>(wide);
    }
    if (exponent_at != std::string_view::npos && exponent_at + 1 < text.size() &&
        text[exponent_at + 1] == '-') {
      return negative ? -0.0 : 0.0;
    }
    return std::nullopt;
  }
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

}  // namespace lkrva::text
