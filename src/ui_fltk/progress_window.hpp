// The progress window of the whole-table run.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/user_interface.hpp"

class Fl_Double_Window;

namespace lkrva::ui::fltk {

class BlockBar;
class CaptionLabel;

/// A borderless window that stays on top, centred on the screen, client area
/// 323×87 in sky blue: "正在计算中，请稍等..." in blue bold 19-pixel type at
/// (8,8) and a bar drawn in blocks at (8,40), 297×20, running from 0 to the
/// maximum. Shown and painted before the constructor returns; every change
/// is on the screen when the call that made it returns, since the run does
/// not return to an event loop. Destroying it closes the window.
class ProgressWindow final : public ProgressDisplay {
 public:
  explicit ProgressWindow(std::int32_t maximum);
  ~ProgressWindow() override;
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Step() override;
  void Finish(const std::string& caption) override;

 private:
  void SetCaption(const std::string& caption);

  static constexpr std::chrono::milliseconds kEventInterval{50};

  std::unique_ptr<Fl_Double_Window> window_;
  CaptionLabel* label_ = nullptr;  // owned by window_
  BlockBar* bar_ = nullptr;        // owned by window_
  std::chrono::steady_clock::time_point last_paint_ = std::chrono::steady_clock::now();
};

}  // namespace lkrva::ui::fltk
