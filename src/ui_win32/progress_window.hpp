// The progress window of the whole-table run, made of Win32 windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/user_interface.hpp"

namespace lkrva::ui::win32 {

/// The window's text: never shown (the window has no title bar), but how
/// FindWindow finds it.
inline constexpr wchar_t kProgressWindowTitle[] = L"frm_jxjsjd";

/// Where the pieces of the window are, in client coordinates.
inline constexpr int kProgressClientWidth = 323;
inline constexpr int kProgressClientHeight = 87;
inline constexpr int kProgressLabelLeft = 8;
inline constexpr int kProgressLabelTop = 8;
inline constexpr int kProgressLabelHeight = 19;  // the font's character height
inline constexpr int kProgressBarLeft = 8;
inline constexpr int kProgressBarTop = 40;
inline constexpr int kProgressBarWidth = 297;
inline constexpr int kProgressBarHeight = 20;
inline constexpr COLORREF kProgressBackground = RGB(166, 202, 240);  // sky blue
inline constexpr COLORREF kProgressLabelColour = RGB(0, 0, 255);

/// A borderless window that stays on top of all others and has no taskbar
/// button, centred on the primary screen, client area 323×87 in sky blue:
/// "正在计算中，请稍等..." in blue bold 19-pixel Chinese type at (8,8) and
/// the common controls' progress bar in blocks at (8,40), 297×20, from 0 to
/// the maximum with step 1. Shown and painted before the constructor
/// returns. Each Step advances the bar and repaints at once, since the run
/// does not return to its host's message loop (a step that would not move
/// a pixel of the bar is not repainted); a few times a second it also
/// handles the messages waiting for this window (never the host's).
/// Destroying it destroys the window. Lives on the thread that made it.
class ProgressWindow final : public ProgressDisplay {
 public:
  /// Throws std::runtime_error when the window cannot be made.
  ProgressWindow(HINSTANCE module, std::int32_t maximum);
  ~ProgressWindow() override;
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Step() override;
  void Finish(const std::string& caption) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Paint(HDC dc) const;
  bool BarWouldChange() const;
  void HandleWaitingMessages();

  HINSTANCE module_;
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
  std::wstring caption_;
  std::int32_t maximum_ = 0;
  std::int32_t position_ = 0;
  std::int32_t shown_ = 0;  // the position the bar was last given
  ULONGLONG last_messages_ = 0;
};

}  // namespace lkrva::ui::win32
