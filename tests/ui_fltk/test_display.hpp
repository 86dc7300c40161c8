// The virtual X server of the windowed user-interface tests, and tools to
// drive it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lkrva::ui::test {

/// Sets DISPLAY to the Xvfb that the test fixture started. Empty on
/// success; otherwise why there is no display.
std::string UseTestDisplay();

/// True when the environment says we run in CI (CI=true).
bool InCi();

/// Runs `args` (the first is looked up in PATH) and waits for it; its exit
/// status, or -1 when it could not run. Standard output goes to `*out`.
int RunTool(const std::vector<std::string>& args, std::string* out = nullptr);

/// The folder where tests leave their screenshots (created on demand).
std::string ScreenshotDir();

}  // namespace lkrva::ui::test

/// Points DISPLAY at the test Xvfb, or skips the test when there is none;
/// under CI=true a missing Xvfb fails the test instead.
#define LKRVA_USE_TEST_DISPLAY()                                           \
  do {                                                                     \
    const std::string lkrva_why_ = ::lkrva::ui::test::UseTestDisplay();    \
    if (!lkrva_why_.empty()) {                                             \
      if (::lkrva::ui::test::InCi()) FAIL() << lkrva_why_ << " (CI=true)"; \
      GTEST_SKIP() << lkrva_why_;                                          \
    }                                                                      \
  } while (false)
