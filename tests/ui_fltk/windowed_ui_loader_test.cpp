// Loading the windowed module, and the reasons when it cannot be had.
#include "ui_fltk/windowed_ui_loader.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "test_display.hpp"

namespace lkrva::ui {
namespace {

/// Sets DISPLAY (or removes it) for one test and puts it back afterwards.
class DisplayVariable {
 public:
  explicit DisplayVariable(const char* value) {
    if (const char* old = std::getenv("DISPLAY")) old_ = old;
    if (value) {
      setenv("DISPLAY", value, 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  ~DisplayVariable() {
    if (old_) {
      setenv("DISPLAY", old_->c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(WindowedUiLoader, WithoutDisplaySaysSoAndLoadsNothing) {
  const DisplayVariable no_display(nullptr);
  std::string why = "untouched";
  EXPECT_EQ(TryLoadWindowedUi(&why), nullptr);
  EXPECT_NE(why.find("DISPLAY is not set"), std::string::npos) << why;
  EXPECT_EQ(TryLoadWindowedUi(nullptr), nullptr);

  const DisplayVariable empty_display("");
  EXPECT_EQ(TryLoadWindowedUi(&why), nullptr);
  EXPECT_NE(why.find("DISPLAY is not set"), std::string::npos) << why;
}

TEST(WindowedUiLoader, MissingModuleNamesThePath) {
  const DisplayVariable display(":0");
  std::string why;
  EXPECT_EQ(TryLoadWindowedUiFrom("/nonexistent/liblkrva_ui_fltk.so", &why), nullptr);
  EXPECT_NE(why.find("cannot load /nonexistent/liblkrva_ui_fltk.so"), std::string::npos) << why;
}

TEST(WindowedUiLoader, DisplayThatCannotBeOpenedIsAReasonNotACrash) {
  // No server listens on this number: Xlib fails and the module says so.
  const DisplayVariable display(":9973");
  std::string why;
  EXPECT_EQ(TryLoadWindowedUi(&why), nullptr);
  EXPECT_NE(why.find("cannot open the display \":9973\""), std::string::npos) << why;
}

TEST(WindowedUiLoader, FindsTheModuleBesideTheLibrariesAndOpensTheDisplay) {
  LKRVA_USE_TEST_DISPLAY();
  std::string why = "untouched";
  const auto ui = TryLoadWindowedUi(&why);
  ASSERT_NE(ui, nullptr) << why;
  EXPECT_EQ(why, "");
}

}  // namespace
}  // namespace lkrva::ui
