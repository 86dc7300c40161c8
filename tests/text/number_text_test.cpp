#include "text/number_text.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace lkrva::text {
namespace {

TEST(number_to_text, fixed_and_scientific_forms) {
  const struct {
    double value;
    const char* point;
    const char* comma;
  } cases[] = {
      {0, "0", "0"},
      {-0.0, "0", "0"},
      {1, "1", "1"},
      {-2.5, "-2.5", "-2,5"},
      {0.0005, "0.0005", "0,0005"},
      {0.0001, "0.0001", "0,0001"},
      {5E-5, "5E-5", "5E-5"},
      {-1.25E-7, "-1.25E-7", "-1,25E-7"},
      {1E15, "1E15", "1E15"},
      {999999999999999, "999999999999999", "999999999999999"},
      {123456789012345.6, "123456789012346", "123456789012346"},
      // Rounds to 10^15 at 15 digits, so it is written as 1E15.
      {999999999999999.9, "1E15", "1E15"},
      {1.5E300, "1.5E300", "1,5E300"},
      {0.1, "0.1", "0,1"},
      {1.0 / 3, "0.333333333333333", "0,333333333333333"},
      {2.0 / 3, "0.666666666666667", "0,666666666666667"},
      {199.49307700453, "199.49307700453", "199,49307700453"},
      {100, "100", "100"},
      {1234.5, "1234.5", "1234,5"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324", "4,94065645841247E-324"},
      {std::numeric_limits<double>::infinity(), "INF", "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF", "-INF"},
      {std::nan(""), "NAN", "NAN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, '.'), c.point) << c.point;
    EXPECT_EQ(FormatNumber(c.value, ','), c.comma) << c.comma;
  }
}

TEST(number_to_text, fifteen_digits_come_back_within_their_rounding) {
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    const std::string text = FormatNumber(v, '.');
    const std::optional<double> back = ParseNumber(text, '.');
    ASSERT_TRUE(back) << text;
    EXPECT_NEAR(*back, v, std::fabs(v) * 5e-15) << text;
  }
}

// Reading a number must give the nearest double, whichever way it gets
// there: digit strings of 1 to 20 digits with the point anywhere, as the
// standard library's correctly rounded reader gives them.
TEST(text_to_number, nearest_double_for_any_digit_string) {
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<int> length(1, 20), digit(0, 9);
  for (int i = 0; i < 50000; ++i) {
    std::string text = i % 3 == 0 ? "-" : "";
    const int n = length(rng);
    for (int j = 0; j < n; ++j) text += static_cast<char>('0' + digit(rng));
    text.insert(text.size() - std::uniform_int_distribution<std::size_t>(0, n)(rng), ".");
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    const std::optional<double> got = ParseNumber(text, '.');
    ASSERT_TRUE(got) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(expected)) << text;
  }
}

// Runs take the number a written text reads back as from WriteNumber
// itself; it must be ParseNumber's reading of that text, bit for bit.
TEST(number_to_text, the_number_written_is_the_number_read_back) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<int> exponent(-40, 40);
  std::vector<double> values = {0.0,
                                -0.0,
                                1e-4,
                                9.99999999999999e-5,
                                1e15,
                                999999999999999.4,
                                std::numeric_limits<double>::infinity(),
                                std::nan(""),
                                std::numeric_limits<double>::denorm_min()};
  for (int i = 0; i < 50000; ++i)
    values.push_back((i % 2 ? -1 : 1) * mantissa(rng) * std::pow(10.0, exponent(rng)));
  for (const char separator : {'.', ','}) {
    for (const double v : values) {
      char text[kMaxNumberText];
      std::optional<double> as_read;
      char* end = WriteNumber(text, v, separator, as_read);
      const std::string_view written(text, static_cast<std::size_t>(end - text));
      const std::optional<double> parsed = ParseNumber(written, separator);
      ASSERT_EQ(as_read.has_value(), parsed.has_value()) << written;
      if (parsed) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*as_read), std::bit_cast<std::uint64_t>(*parsed))
            << written;
      }
    }
  }
}

/// The significant digits of `text` (sign, separator and leading zeros
/// dropped) and the power of ten of the first one.
std::pair<std::string, int> DigitsOf(const std::string& text) {
  std::string digits;
  int point = -1, exponent = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] != 'E'; ++i) {
    if (text[i] == '.') {
      point = static_cast<int>(digits.size());
    } else if (text[i] != '-') {
      digits += text[i];
    }
  }
  if (i < text.size()) exponent = std::stoi(text.substr(i + 1));
  if (point < 0) point = static_cast<int>(digits.size());
  const std::size_t lead = digits.find_first_not_of('0');
  return {digits.substr(lead), point - 1 - static_cast<int>(lead) + exponent};
}

TEST(number_to_text, digits_are_those_of_exact_rounding) {
  // Every magnitude range the writer treats differently, against the exact
  // rounding of the C++ library; values near a rounding boundary included.
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<int> exponent(-6, 17);
  for (int i = 0; i < 400000; ++i) {
    double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    if (i % 4 == 0) {
      // Just beside a 15-digit midpoint.
      const double step = std::pow(10.0, std::floor(std::log10(v)) - 14);
      v = (std::floor(v / step) + 0.5) * step;
      v = std::nextafter(v, i % 8 == 0 ? 0.0 : 1e300);
    }
    char buf[40];
    auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14).ptr;
    std::string exact(buf, end);
    exact[exact.find('e')] = 'E';
    const auto expected = DigitsOf(exact);
    std::string expected_digits = expected.first;
    expected_digits.erase(expected_digits.find_last_not_of('0') + 1);
    const std::string text = FormatNumber(v, '.');
    auto got = DigitsOf(text);
    got.first.erase(got.first.find_last_not_of('0') + 1);
    ASSERT_EQ(got.first, expected_digits) << text;
    ASSERT_EQ(got.second, expected.second) << text;
  }
}

TEST(text_to_number, accepted_forms) {
  const struct {
    const char* text;
    char separator;
    double value;
  } cases[] = {
      {"0", '.', 0},
      {" -2.5 ", '.', -2.5},
      {"   -2.5", '.', -2.5},
      {"3E1", '.', 30},
      {"3e+1", '.', 30},
      {"+4", '.', 4},
      {"1.", '.', 1},
      {".5", '.', 0.5},
      {".", '.', 0},
      {"-.E3", '.', -0.0},
      {"1,5", ',', 1.5},
      {" +1,5e-1 ", ',', 0.15},
      {"0.0005", '.', 0.0005},
      {"1E-400", '.', 0},
      {"2.5E-320", '.', 2.5E-320},
      {"1.7976931348623157E308", '.', std::numeric_limits<double>::max()},
  };
  for (const auto& c : cases) {
    const std::optional<double> v = ParseNumber(c.text, c.separator);
    ASSERT_TRUE(v) << '"' << c.text << '"';
    EXPECT_EQ(*v, c.value) << '"' << c.text << '"';
  }
}

TEST(text_to_number, refused_forms) {
  const struct {
    const char* text;
    char separator;
  } cases[] = {
      {"", '.'},      {"   ", '.'},    {"-", '.'},       {"+", '.'},   {"1,5", '.'}, {"1.5", ','},
      {"abc", '.'},   {"1.2.3", '.'},  {"1,000.5", '.'}, {"1e", '.'},  {"1e+", '.'}, {"e5", '.'},
      {"--1", '.'},   {"1 2", '.'},    {"\t1", '.'},     {"inf", '.'}, {"nan", '.'}, {"0x10", '.'},
      {"1E400", '.'}, {"-1E400", '.'}, {"1e5x", '.'},    {"1d5", '.'}, {"١", '.'},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(ParseNumber(c.text, c.separator))
        << '"' << c.text << "\" with '" << c.separator << "'";
  }
}

}  // namespace
}  // namespace lkrva::text
