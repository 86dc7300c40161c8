// A tiny check helper for the Windows test programs (no test framework is
// built for MinGW): each failed check prints where and what, and the
// program's exit code is the number of failures.
#pragma once

#include <cstdio>
#include <string>

namespace lkrva::wintest {

inline int& Failures() {
  static int failures = 0;
  return failures;
}

inline void Fail(const char* file, int line, const std::string& what) {
  ++Failures();
  std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

inline std::string Hex(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value) & 0xFFFFFFFFul);
  return text;
}

/// 0 when every check passed, otherwise 1 (after a summary line).
inline int Finish(const char* phase) {
  if (Failures() == 0) {
    std::printf("%s: all checks passed\n", phase);
    return 0;
  }
  std::printf("%s: %d check(s) failed\n", phase, Failures());
  return 1;
}

}  // namespace lkrva::wintest

#define CHECK(cond)                                                              \
  do {                                                                           \
    if (!(cond)) ::lkrva::wintest::Fail(__FILE__, __LINE__, "CHECK(" #cond ")"); \
  } while (0)

#define CHECK_EQ(actual, expected)                                          \
  do {                                                                      \
    const auto& check_a_ = (actual);                                        \
    const auto& check_e_ = (expected);                                      \
    if (!(check_a_ == check_e_))                                            \
      ::lkrva::wintest::Fail(__FILE__, __LINE__, #actual " != " #expected); \
  } while (0)

#define CHECK_STR(actual, expected)                                                         \
  do {                                                                                      \
    const std::string check_a_ = (actual);                                                  \
    const std::string check_e_ = (expected);                                                \
    if (check_a_ != check_e_)                                                               \
      ::lkrva::wintest::Fail(__FILE__, __LINE__,                                            \
                             #actual " is \"" + check_a_ + "\", not \"" + check_e_ + "\""); \
  } while (0)

#define CHECK_HR(expr, expected)                                                     \
  do {                                                                               \
    const long check_hr_ = static_cast<long>(expr);                                  \
    if (check_hr_ != static_cast<long>(expected))                                    \
      ::lkrva::wintest::Fail(                                                        \
          __FILE__, __LINE__,                                                        \
          #expr " gave " + ::lkrva::wintest::Hex(check_hr_) + ", not " + #expected); \
  } while (0)
