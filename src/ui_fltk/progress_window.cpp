// The progress window: FLTK widgets with settings of their own and a bar in blocks.
#include "ui_fltk/progress_window.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <chrono>

#include "ui_fltk/window_support.hpp"

namespace lkrva::ui::fltk {
namespace {

constexpr int kClientWidth = 323;
constexpr int kClientHeight = 87;
constexpr int kLabelLeft = 8;
constexpr int kLabelTop = 8;
constexpr int kLabelFontSize = 19;
constexpr int kBarLeft = 8;
constexpr int kBarTop = 40;
constexpr int kBarWidth = 297;
constexpr int kBarHeight = 20;
constexpr char kRunningCaption[] = "正在计算中，请稍等...";

const Fl_Color kSkyBlue = fl_rgb_color(166, 202, 240);
const Fl_Color kBlue = fl_rgb_color(0, 0, 255);
const Fl_Color kTrough = fl_rgb_color(212, 208, 200);
const Fl_Color kBlock = fl_rgb_color(10, 36, 106);

}  // namespace

/// One line of text with its top-left corner at the widget's corner, drawn
/// as it is (no symbols, no shortcut letters), sized to the text.
class CaptionLabel final : public Fl_Widget {
 public:
  CaptionLabel(int x, int y) : Fl_Widget(x, y, 1, 1) {}

  void SetText(const std::string& text) {
    text_ = text;
    fl_font(labelfont(), labelsize());
    const int width = static_cast<int>(fl_width(text_.c_str(), static_cast<int>(text_.size())));
    size(std::max(width, 1), std::max(fl_height(), 1));
  }

 protected:
  void draw() override {
    fl_font(labelfont(), labelsize());
    fl_color(labelcolor());
    fl_draw(text_.c_str(), static_cast<int>(text_.size()), x(), y() + fl_height() - fl_descent());
  }

 private:
  std::string text_;
};

/// A horizontal bar from 0 to a maximum, filled in separate blocks from the
/// left: as many blocks as it takes to cover the position's share of the
/// width, the last one cut at the right edge.
class BlockBar final : public Fl_Widget {
 public:
  BlockBar(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) { box(FL_THIN_DOWN_BOX); }

  void SetMaximum(std::int32_t maximum) {
    maximum_ = std::max<std::int32_t>(maximum, 0);
    position_ = 0;
  }
  /// One step on; the bar stays full once at the maximum.
  void StepIt() {
    if (position_ < maximum_) ++position_;
  }
  /// How many blocks the bar shows now.
  int Blocks() const {
    const int filled = FilledWidth();
    return filled == 0 ? 0 : (filled + BlockPitch() - 1) / BlockPitch();
  }

 protected:
  void draw() override {
    draw_box(box(), kTrough);
    const int left = x() + kInset;
    const int right = x() + w() - kInset;
    const int top = y() + kInset;
    const int height = h() - 2 * kInset;
    fl_color(kBlock);
    const int blocks = Blocks();
    for (int i = 0; i < blocks; ++i) {
      const int block_left = left + i * BlockPitch();
      fl_rectf(block_left, top, std::min(BlockWidth(), right - block_left), height);
    }
  }

 private:
  static constexpr int kInset = 2;  // the sunken edge and one pixel of space
  static constexpr int kGap = 2;

  int InnerWidth() const { return w() - 2 * kInset; }
  int BlockWidth() const { return std::max(1, (h() - 2 * kInset) * 2 / 3); }
  int BlockPitch() const { return BlockWidth() + kGap; }
  int FilledWidth() const {
    if (maximum_ <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(InnerWidth()) * position_ / maximum_);
  }

  std::int32_t maximum_ = 100;
  std::int32_t position_ = 0;
};

ProgressWindow::ProgressWindow(std::int32_t maximum) {
  window_ = std::make_unique<Fl_Double_Window>(kClientWidth, kClientHeight);
  window_->box(FL_FLAT_BOX);
  window_->color(kSkyBlue);
  window_->border(0);
  window_->xclass(kWindowClass);
  label_ = new CaptionLabel(kLabelLeft, kLabelTop);
  label_->labelfont(FL_HELVETICA_BOLD);
  label_->labelsize(kLabelFontSize);
  label_->labelcolor(kBlue);
  bar_ = new BlockBar(kBarLeft, kBarTop, kBarWidth, kBarHeight);
  bar_->SetMaximum(maximum);
  window_->end();
  SetCaption(kRunningCaption);

  CentreOnScreen(*window_);
  window_->show();
  KeepAbove(*window_);
  window_->wait_for_expose();
  PaintNow(true);
}

ProgressWindow::~ProgressWindow() {
  window_->hide();
  window_.reset();
  PaintNow(true);
}

void ProgressWindow::Step() {
  const int before = bar_->Blocks();
  bar_->StepIt();
  // A step that changes no pixel is not painted again, and window events
  // (an uncovered window to redraw) are handled a few times a second: a run
  // of a million stations would otherwise spend its time on the window.
  const bool changed = bar_->Blocks() != before;
  const auto now = std::chrono::steady_clock::now();
  if (!changed && now - last_paint_ < kEventInterval) return;
  last_paint_ = now;
  if (changed) window_->redraw();
  PaintNow(changed);
}

void ProgressWindow::Finish(const std::string& caption) {
  SetCaption(caption);
  window_->redraw();
  PaintNow(true);
}

void ProgressWindow::SetCaption(const std::string& caption) { label_->SetText(caption); }

}  // namespace lkrva::ui::fltk
