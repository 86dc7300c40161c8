// The progress window on Xvfb, checked pixel by pixel.
#include <gtest/gtest.h>

#include <memory>

#include "screen_capture.hpp"
#include "test_display.hpp"
#include "ui_fltk/windowed_ui_loader.hpp"

namespace lkrva::ui {
namespace {

using test::CaptureScreen;
using test::Rgb;
using test::Screenshot;

constexpr int kWidth = 323;
constexpr int kHeight = 87;
constexpr Rgb kSkyBlue{166, 202, 240};

// The bar's inside: (8,40) 297×20 less its two-pixel edge.
constexpr int kBarInnerLeft = 10;
constexpr int kBarInnerWidth = 293;
constexpr int kBarMiddleRow = 50;

bool IsLabelBlue(Rgb c) { return c.b >= 200 && c.r <= 60 && c.g <= 60; }
// The blocks are dark; the trough between them and the window are light.
bool IsBlock(Rgb c) { return c.r + c.g + c.b < 300; }

class ProgressWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LKRVA_USE_TEST_DISPLAY();
    std::string why;
    ui_ = TryLoadWindowedUi(&why);
    ASSERT_NE(ui_, nullptr) << why;
    const auto screen = test::TestScreenSize();
    left_ = (screen.width - kWidth) / 2;
    top_ = (screen.height - kHeight) / 2;
  }

  Screenshot Window(const std::string& save_as) const {
    Screenshot shot = CaptureScreen(left_, top_, kWidth, kHeight);
    shot.Save(test::ScreenshotDir() + "/" + save_as + ".ppm");
    return shot;
  }

  // The share of the bar's inside that the blocks cover, and how many
  // separate blocks there are, along its middle row.
  static double FilledShare(const Screenshot& shot) {
    int filled = 0;
    for (int x = kBarInnerLeft; x < kBarInnerLeft + kBarInnerWidth; ++x) {
      if (IsBlock(shot.at(x, kBarMiddleRow))) ++filled;
    }
    return static_cast<double>(filled) / kBarInnerWidth;
  }
  static int BlockCount(const Screenshot& shot) {
    int blocks = 0;
    bool in_block = false;
    for (int x = kBarInnerLeft; x < kBarInnerLeft + kBarInnerWidth; ++x) {
      const bool block = IsBlock(shot.at(x, kBarMiddleRow));
      if (block && !in_block) ++blocks;
      in_block = block;
    }
    return blocks;
  }
  // The blue pixels of the label's area and the rightmost column holding one.
  struct Ink {
    int pixels = 0;
    int right = -1;
  };
  static Ink LabelInk(const Screenshot& shot) {
    Ink ink;
    for (int y = 0; y < 38; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (IsLabelBlue(shot.at(x, y))) {
          ++ink.pixels;
          ink.right = std::max(ink.right, x);
        }
      }
    }
    return ink;
  }

  std::unique_ptr<UserInterface> ui_;
  int left_ = 0;
  int top_ = 0;
};

TEST_F(ProgressWindowTest, ShowsASkyBlueWindowCentredOnTheScreen) {
  const auto progress = ui_->ShowProgress(10);
  const Screenshot shot = Window("progress-shown");
  // Every corner of the client area is background: no frame, no title bar.
  for (const auto& [x, y] : {std::pair{0, 0},
                             {kWidth - 1, 0},
                             {0, kHeight - 1},
                             {kWidth - 1, kHeight - 1},
                             {315, 30},
                             {4, 70}}) {
    EXPECT_EQ(shot.at(x, y), kSkyBlue) << "at " << x << "," << y;
  }
  // Just outside the window the screen is not the window's colour.
  const Screenshot around = CaptureScreen(left_ - 1, top_ - 1, kWidth + 2, 1);
  EXPECT_NE(around.at(0, 0), kSkyBlue);
  EXPECT_NE(around.at(kWidth + 1, 0), kSkyBlue);
}

TEST_F(ProgressWindowTest, BarFillsInSeparateBlocksStepByStep) {
  const auto progress = ui_->ShowProgress(10);
  const Screenshot empty = Window("progress-0-of-10");
  EXPECT_EQ(FilledShare(empty), 0.0);
  // The bar's sunken edge is drawn even when it is empty.
  EXPECT_NE(empty.at(8, 50), kSkyBlue);

  for (int i = 0; i < 3; ++i) progress->Step();
  const Screenshot three = Window("progress-3-of-10");
  // Blocks are whole and have gaps, so the covered share is near 3/10.
  EXPECT_NEAR(FilledShare(three), 0.3, 0.06);
  EXPECT_GE(BlockCount(three), 5);

  for (int i = 0; i < 7; ++i) progress->Step();
  const Screenshot full = Window("progress-10-of-10");
  EXPECT_GT(FilledShare(full), 0.8);
  // From the first pixel of the inside to the last.
  EXPECT_TRUE(IsBlock(full.at(kBarInnerLeft, kBarMiddleRow)));
  EXPECT_TRUE(IsBlock(full.at(kBarInnerLeft + kBarInnerWidth - 1, kBarMiddleRow)));
  EXPECT_GT(BlockCount(full), BlockCount(three));
}

TEST_F(ProgressWindowTest, OneRecordFillsTheBarAtTheFirstStep) {
  const auto progress = ui_->ShowProgress(1);
  progress->Step();
  const Screenshot full = Window("progress-1-of-1");
  EXPECT_TRUE(IsBlock(full.at(kBarInnerLeft + kBarInnerWidth - 1, kBarMiddleRow)));
  // Steps past the maximum leave it full.
  progress->Step();
  EXPECT_TRUE(
      IsBlock(Window("progress-2-of-1").at(kBarInnerLeft + kBarInnerWidth - 1, kBarMiddleRow)));
}

TEST_F(ProgressWindowTest, FinishShowsTheClosingCaptionInPlaceOfTheFirst) {
  const auto progress = ui_->ShowProgress(2);
  const Ink running = LabelInk(Window("progress-running-caption"));
  // Twelve characters of 19-pixel type from x = 8: well past the middle.
  EXPECT_GT(running.pixels, 300);
  EXPECT_GT(running.right, 170);

  progress->Step();
  progress->Step();
  progress->Finish("计算完毕！");
  const Screenshot finished = Window("progress-finished");
  const Ink done = LabelInk(finished);
  // Five characters: the old text is gone from the right-hand part.
  EXPECT_GT(done.pixels, 100);
  EXPECT_LT(done.right, 120);
  EXPECT_GT(done.right, 60);
  // The bar is still full.
  EXPECT_TRUE(IsBlock(finished.at(kBarInnerLeft + kBarInnerWidth - 1, kBarMiddleRow)));
}

TEST_F(ProgressWindowTest, DestroyingTheDisplayClosesTheWindow) {
  auto progress = ui_->ShowProgress(5);
  ASSERT_EQ(Window("progress-before-close").at(0, 0), kSkyBlue);
  progress.reset();
  const Screenshot after = Window("progress-after-close");
  int sky_blue = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) sky_blue += after.at(x, y) == kSkyBlue ? 1 : 0;
  }
  EXPECT_EQ(sky_blue, 0);
}

}  // namespace
}  // namespace lkrva::ui
