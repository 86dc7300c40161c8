// The number-to-text form and the text-to-number rules.
#include "text/number_text.hpp"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

/// The exact, correctly rounded digits from the C++ library (ties to even).
Decimal RoundExactly(double magnitude) {
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

/// Powers of ten up to 10^19, all exact in the 64-bit mantissa of long double.
constexpr long double kPowersOfTen[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                        1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                        1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};

/// Powers of ten up to 10^22, the largest that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

/// "00" "01" … "99": two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// Writes n < 10^8 as exactly 8 digits.
void WriteEightDigits(char* out, std::uint32_t n) {
  for (int i = 6; i >= 0; i -= 2) {
    const std::uint32_t pair = (n % 100) * 2;
    n /= 100;
    out[i] = kDigitPairs[pair];
    out[i + 1] = kDigitPairs[pair + 1];
  }
}

/// Writes n < 10^15 as exactly 15 digits, in two 32-bit halves because
/// 32-bit division by a constant is the cheaper one.
void WriteFifteenDigits(char* out, unsigned long long n) {
  char high[8];
  WriteEightDigits(high, static_cast<std::uint32_t>(n / 100000000ULL));
  std::memcpy(out, high + 1, 7);
  WriteEightDigits(out + 7, static_cast<std::uint32_t>(n % 100000000ULL));
}

/// The same digits as RoundExactly, faster for the magnitudes that are
/// written in fixed notation (10^-4 ≤ x < 10^15), which is nearly every
/// number the system writes. x·10^(14−e) is formed in extended precision with
/// a single rounding (relative error below 2^-64, so under 10^-4 of a unit in
/// the last of 15 digits); only when the fraction lies within that distance
/// of one half could rounding the product differ from rounding x itself, and
/// those rare cases take the exact path.
Decimal RoundToSignificant(double magnitude) {
  if (!(magnitude >= 1e-4 && magnitude < 1e15)) return RoundExactly(magnitude);
  // The binary exponent gives the decimal one to within one; the range of
  // the scaled product settles it.
  const int binary_exponent =
      static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
  int e = (binary_exponent * 1233) >> 12;
  long double scaled;
  while (true) {
    scaled = (long double)magnitude * kPowersOfTen[14 - e];
    if (scaled >= 1e15L) {
      ++e;
    } else if (scaled < 1e14L) {
      --e;
    } else {
      break;
    }
  }
  // Rounding to the nearest integer in the FPU's own mode (a truncating
  // conversion would switch the control word twice per number).
  auto n = static_cast<unsigned long long>(__builtin_llrintl(scaled));
  const long double off = scaled - static_cast<long double>(n);
  if (off > 0.4999L || off < -0.4999L) return RoundExactly(magnitude);
  if (n == 1000000000000000ULL) {  // 999…9.5 and above carried into a 16th digit
    n /= 10;
    ++e;
  }
  Decimal d{};
  d.exponent = e;
  WriteFifteenDigits(d.digits, n);
  d.count = kSignificantDigits;
  while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
  return d;
}

}  // namespace

namespace {

/// mantissa × 10^scale, negated when `negative`, when one correctly
/// rounded product or quotient of exact doubles gives the nearest double
/// to it (the one from_chars gives): the mantissa at most 2^53, the power
/// of ten at most 10^22. Nothing otherwise, and nothing where doubles are
/// computed wider (x87), which would round twice.
std::optional<double> ExactDecimal(std::uint64_t mantissa, int scale, bool negative) {
#if FLT_EVAL_METHOD != 0
  static_cast<void>(mantissa);
  static_cast<void>(scale);
  static_cast<void>(negative);
  return std::nullopt;
#else
  if (mantissa > (std::uint64_t{1} << 53) || scale < -22 || scale > 22) return std::nullopt;
  const double m = static_cast<double>(mantissa);
  const double magnitude =
      scale >= 0 ? m * kExactPowersOfTen[scale] : m / kExactPowersOfTen[-scale];
  return negative ? -magnitude : magnitude;
#endif
}

/// The double that the digits of `d` (negated when `negative`) read back
/// as, where ExactDecimal can tell.
std::optional<double> ReadBack(const Decimal& d, bool negative) {
  std::uint64_t mantissa = 0;  // at most 15 digits
  for (int i = 0; i < d.count; ++i)
    mantissa = mantissa * 10 + static_cast<unsigned>(d.digits[i] - '0');
  return ExactDecimal(mantissa, d.exponent - (d.count - 1), negative);
}

char* Write(char* p, double value, char separator, std::optional<double>* as_read) {
  auto put = [&p](const char* text) {
    while (*text != '\0') *p++ = *text++;
  };
  if (std::isnan(value)) {
    put("NAN");
    return p;
  }
  if (std::isinf(value)) {
    put(value < 0 ? "-INF" : "INF");
    return p;
  }
  if (value == 0) {
    *p++ = '0';
    return p;
  }
  if (value < 0) *p++ = '-';
  const Decimal d = RoundToSignificant(std::fabs(value));
  if (as_read != nullptr) *as_read = ReadBack(d, value < 0);
  auto copy = [&p](const char* from, int count) {
    std::memcpy(p, from, static_cast<std::size_t>(count));
    p += count;
  };
  auto zeros = [&p](int count) {
    std::memset(p, '0', static_cast<std::size_t>(count));
    p += count;
  };

  if (d.exponent >= -4 && d.exponent < kSignificantDigits) {
    if (d.exponent < 0) {
      *p++ = '0';
      *p++ = separator;
      zeros(-d.exponent - 1);
      copy(d.digits, d.count);
      return p;
    }
    const int integer_digits = d.exponent + 1;
    if (d.count <= integer_digits) {
      copy(d.digits, d.count);
      zeros(integer_digits - d.count);
    } else {
      copy(d.digits, integer_digits);
      *p++ = separator;
      copy(d.digits + integer_digits, d.count - integer_digits);
    }
    return p;
  }

  *p++ = d.digits[0];
  if (d.count > 1) {
    *p++ = separator;
    copy(d.digits + 1, d.count - 1);
  }
  *p++ = 'E';
  if (d.exponent < 0) *p++ = '-';
  return std::to_chars(p, p + 8, std::abs(d.exponent)).ptr;
}

}  // namespace

char* WriteNumber(char* out, double value, char separator) {
  return Write(out, value, separator, nullptr);
}

char* WriteNumber(char* out, double value, char separator, std::optional<double>& as_read) {
  as_read.reset();
  char* end = Write(out, value, separator, &as_read);
  if (!as_read)
    as_read = ParseNumber(std::string_view(out, static_cast<std::size_t>(end - out)), separator);
  return end;
}

void AppendNumber(std::string& out, double value, char separator) {
  char buf[kMaxNumberText];
  out.append(buf, WriteNumber(buf, value, separator));
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
  const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  const std::size_t integer_begin = i;
  while (i < text.size() && is_digit(text[i])) ++i;
  std::size_t digits = i - integer_begin;
  std::size_t separator_at = std::string_view::npos;
  std::size_t fraction_digits = 0;
  if (i < text.size() && text[i] == separator) {
    separator_at = i++;
    const std::size_t fraction_begin = i;
    while (i < text.size() && is_digit(text[i])) ++i;
    fraction_digits = i - fraction_begin;
    digits += fraction_digits;
  }
  const bool seen_digit = digits > 0;
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

  // No exponent and at most 19 digits (which cannot overflow the integer):
  // exact, at a fraction of from_chars' cost where ExactDecimal can tell.
  // Runs read back every number they write, so this is the common case.
  if (exponent_at == std::string_view::npos && digits <= 19) {
    std::uint64_t mantissa = 0;
    for (std::size_t j = integer_begin; j < text.size(); ++j)
      if (j != separator_at) mantissa = mantissa * 10 + static_cast<unsigned>(text[j] - '0');
    if (const auto exact = ExactDecimal(mantissa, -static_cast<int>(fraction_digits), negative))
      return exact;
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

double AsWrittenNumber(double value, char separator) {
  const std::optional<double> back = ParseNumber(FormatNumber(value, separator), separator);
  return back ? *back : value;  // INF and NAN have no number text to come back from
}

}  // namespace lkrva::text
