// The input query and the message box, laid out to their texts.
#include "ui_fltk/dialogs.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "ui/user_interface.hpp"
#include "ui_fltk/window_support.hpp"

namespace lkrva::ui::fltk {
namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 440;

struct TextSize {
  int w = 0;
  int h = 0;
};

// FLTK draws a label that sits inside its box 3 pixels in from each side.
constexpr int kLabelInset = 3;

/// The size of a box that shows `text` as its label, wrapped at
/// `wrap_width` (0: one line per line of the text).
TextSize Measure(const std::string& text, int wrap_width) {
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  TextSize size{wrap_width, 0};
  fl_measure(text.c_str(), size.w, size.h, 0);
  size.w += 2 * kLabelInset;
  return size;
}

/// Shows `window` modal and centred, and handles events until it is hidden.
void RunModal(Fl_Window& window, Fl_Widget* focus) {
  window.xclass(kWindowClass);
  window.set_modal();
  CentreOnScreen(window);
  window.show();
  if (focus) focus->take_focus();
  while (window.shown()) Fl::wait();
  PaintNow(true);
}

void HideWindow(Fl_Widget* widget, void*) {
  if (Fl_Window* window = widget->window() ? widget->window() : widget->as_window()) {
    window->hide();
  }
}

/// The icon of a message box, drawn: a red disc with a white cross, or a
/// yellow triangle with a black exclamation mark.
class MessageIcon final : public Fl_Widget {
 public:
  MessageIcon(int x, int y, std::uint32_t icon)
      : Fl_Widget(x, y, kIconSize, kIconSize), icon_(icon) {}

 protected:
  void draw() override {
    const int s = w();
    if (icon_ == kIconError) {
      fl_color(fl_rgb_color(200, 0, 0));
      fl_pie(x(), y(), s, s, 0, 360);
      fl_color(FL_WHITE);
      fl_line_style(FL_SOLID | FL_CAP_ROUND, 4);
      fl_line(x() + s / 3, y() + s / 3, x() + 2 * s / 3, y() + 2 * s / 3);
      fl_line(x() + 2 * s / 3, y() + s / 3, x() + s / 3, y() + 2 * s / 3);
      fl_line_style(0);
    } else if (icon_ == kIconWarning) {
      fl_color(fl_rgb_color(250, 200, 0));
      fl_polygon(x() + s / 2, y(), x() + s - 1, y() + s - 1, x(), y() + s - 1);
      fl_color(FL_BLACK);
      fl_loop(x() + s / 2, y(), x() + s - 1, y() + s - 1, x(), y() + s - 1);
      fl_rectf(x() + s / 2 - 2, y() + s / 4 + 2, 4, s / 3);
      fl_rectf(x() + s / 2 - 2, y() + 3 * s / 4 + 1, 4, 4);
    }
  }

 private:
  std::uint32_t icon_;
};

}  // namespace

std::optional<std::string> RunInputQuery(const std::string& caption, const std::string& prompt,
                                         const std::string& default_text) {
  const std::string prompt_label = LabelText(prompt);
  const TextSize prompt_size = Measure(prompt_label, 0);
  const int inner = std::clamp(prompt_size.w, 2 * kButtonWidth + kButtonGap + 120, kMaxTextWidth);
  const int prompt_h = std::max(prompt_size.h, 16);
  const int input_top = kMargin + prompt_h + 6;
  const int buttons_top = input_top + 25 + 14;
  const int width = inner + 2 * kMargin;
  const int height = buttons_top + kButtonHeight + kMargin;

  Fl_Window window(width, height);
  window.copy_label(caption.c_str());
  auto* prompt_box = new Fl_Box(kMargin - kLabelInset, kMargin, inner + 2 * kLabelInset, prompt_h);
  prompt_box->copy_label(prompt_label.c_str());
  prompt_box->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  auto* input = new Fl_Input(kMargin, input_top, inner, 25);
  input->maximum_size(static_cast<int>(kMaxEntryChars));
  const std::string shown = TruncateChars(default_text, kMaxEntryChars);
  input->value(shown.c_str());
  input->position(input->size(), 0);  // everything selected, the cursor at the end
  auto* ok = new Fl_Return_Button(width - kMargin - 2 * kButtonWidth - kButtonGap, buttons_top,
                                  kButtonWidth, kButtonHeight, "OK");
  auto* cancel = new Fl_Button(width - kMargin - kButtonWidth, buttons_top, kButtonWidth,
                               kButtonHeight, "Cancel");
  cancel->shortcut(FL_Escape);
  window.end();

  bool accepted = false;
  ok->callback(
      [](Fl_Widget* widget, void* data) {
        *static_cast<bool*>(data) = true;
        HideWindow(widget, nullptr);
      },
      &accepted);
  cancel->callback(HideWindow);
  window.callback(HideWindow);  // the close box and Escape

  RunModal(window, input);
  if (!accepted) return std::nullopt;
  return TruncateChars(input->value(), kMaxEntryChars);
}

void RunMessageBox(const std::string& text, const std::string& title, std::uint32_t icon) {
  const bool has_icon = icon == kIconError || icon == kIconWarning;
  const int text_left = has_icon ? kMargin + kIconSize + kMargin : kMargin;
  const std::string label = LabelText(text);
  TextSize text_size = Measure(label, 0);
  if (text_size.w > kMaxTextWidth) text_size = Measure(label, kMaxTextWidth);
  const int text_w = std::max(text_size.w, 1);
  const int text_h = std::max(text_size.h, has_icon ? kIconSize : 16);
  const int width = std::max(text_left + text_w + kMargin, kButtonWidth + 2 * kMargin + 100);
  const int buttons_top = kMargin + text_h + 14;
  const int height = buttons_top + kButtonHeight + kMargin;

  Fl_Window window(width, height);
  window.copy_label(title.c_str());
  if (has_icon) new MessageIcon(kMargin, kMargin, icon);
  auto* message = new Fl_Box(text_left - kLabelInset, kMargin, text_w, text_h);
  message->copy_label(label.c_str());
  message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  auto* ok = new Fl_Return_Button((width - kButtonWidth) / 2, buttons_top, kButtonWidth,
                                  kButtonHeight, "OK");
  ok->callback(HideWindow);
  window.end();
  window.callback(HideWindow);
  RunModal(window, ok);
}

}  // namespace lkrva::ui::fltk
