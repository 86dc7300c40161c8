// Numbers as text, and text as numbers, in the system's one form.
//
// Number to text (a depth in SQL, a result written as text, every number the
// tool prints): at most 15 significant digits, correctly rounded (an exact tie
// goes to the even digit); trailing zeros dropped; a minus sign for negatives;
// no thousands separator; the decimal separator only when a fraction remains.
// Fixed notation for 0 and for magnitudes from 0.0001 up to below 10^15 once
// rounded, with "0" before the separator below 1 (0.0005); otherwise
// scientific: one digit, the fraction, "E", "-" for a negative exponent, the
// exponent without leading zeros (5E-5, 1E15). Infinities and NaN are written
// INF, -INF and NAN.
//
// Text to number: blanks (spaces only) around the number are ignored; an
// optional sign, decimal digits with at most one decimal separator before,
// among or after them, then optionally "E" or "e", an optional sign and at
// least one digit. Before the exponent stands at least one digit or the
// separator. Anything else (a thousands separator, a second separator, any
// other character, an empty text, blanks alone, a lone sign) is no number,
// and so is a number beyond the range of a double (1E400). A number too small
// for a double becomes the nearest double, which may be 0.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lkrva::text {

/// The longest text WriteNumber produces ("-1.23456789012345E-308" and the like).
inline constexpr int kMaxNumberText = 32;

/// Writes `value` in the number-to-text form at `out`, which has room for
/// kMaxNumberText characters; returns the end of what was written.
char* WriteNumber(char* out, double value, char separator);
/// WriteNumber, also giving what ParseNumber gives for the text written
/// (nothing for "NAN" and "INF"), mostly computed from the digits instead
/// of read back.
char* WriteNumber(char* out, double value, char separator, std::optional<double>& as_read);

/// Appends `value` in the number-to-text form to `out`.
void AppendNumber(std::string& out, double value, char separator);

/// `value` in the number-to-text form.
std::string FormatNumber(double value, char separator);

/// The nearest double to `text` by the text-to-number rules, or nothing when
/// the text is no number.
std::optional<double> ParseNumber(std::string_view text, char separator);

/// The value `value` has once written in the number-to-text form and read
/// back (rounded to 15 significant digits); infinities and NaN unchanged.
double AsWrittenNumber(double value, char separator = '.');

}  // namespace lkrva::text
