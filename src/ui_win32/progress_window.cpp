// The progress window: a popup of our own class with the label drawn on it
// and the common controls' progress bar as its child.
#include "ui_win32/progress_window.hpp"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>

#include "ui_win32/font_choice.hpp"
#include "ui_win32/wide_text.hpp"

namespace lkrva::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"LKRVA.ProgressWindow";
constexpr wchar_t kRunningCaption[] = L"正在计算中，请稍等...";
constexpr wchar_t kFinishedCaption[] = L"计算完毕！";
constexpr UINT_PTR kBarId = 1;
// How often Step handles the window's waiting messages (an uncovered window
// to repaint, for instance): a run of a million stations would otherwise
// spend its time asking for them.
constexpr ULONGLONG kMessageIntervalMs = 50;

/// The label's font: the clerical-script face when installed, else another
/// face that shows both captions, else whatever face the system maps the
/// GB2312 character set to; bold, characters 19 pixels high.
HFONT MakeLabelFont() {
  const std::wstring face =
      FirstFaceShowing(kLabelFaces, std::wstring(kRunningCaption) + kFinishedCaption);
  LOGFONTW font{};
  font.lfHeight = -kProgressLabelHeight;  // negative: the character height, not the cell's
  font.lfWeight = FW_BOLD;
  font.lfCharSet = GB2312_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

/// Registers the window class; an earlier registration of ours is fine.
void RegisterWindowClass(HINSTANCE module, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = module;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("the progress window's class cannot be registered");
  }
}

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE module, std::int32_t maximum)
    : module_(module), caption_(kRunningCaption), maximum_(maximum > 0 ? maximum : 0) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(module_, WindowProc);
  font_ = MakeLabelFont();

  constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
  constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  RECT frame{0, 0, kProgressClientWidth, kProgressClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExW(kExStyle, kClassName, kProgressWindowTitle, kStyle, left, top, width,
                            height, nullptr, nullptr, module_, this);
  if (!window_) {
    if (font_) DeleteObject(font_);
    UnregisterClassW(kClassName, module_);
    throw std::runtime_error("the progress window cannot be created");
  }
  // Block style: without PBS_SMOOTH the bar is drawn in separate blocks.
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, kProgressBarLeft,
                         kProgressBarTop, kProgressBarWidth, kProgressBarHeight, window_,
                         reinterpret_cast<HMENU>(kBarId), module_, nullptr);
  if (bar_) {
    // The classic look of separate blocks wherever the bar runs: a visual
    // style (Wine's own theme, say) would draw it as one smooth band. A
    // blank, not an empty, name turns the style off on Windows and in Wine.
    SetWindowTheme(bar_, L" ", L" ");
    SendMessageW(bar_, PBM_SETRANGE32, 0, maximum_);
    SendMessageW(bar_, PBM_SETPOS, 0, 0);
    SendMessageW(bar_, PBM_SETSTEP, 1, 0);
  }
  ShowWindow(window_, SW_SHOW);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HandleWaitingMessages();
}

ProgressWindow::~ProgressWindow() {
  DestroyWindow(window_);
  if (font_) DeleteObject(font_);
  // The class goes with its last window, so that a module unloaded and
  // loaded again never finds a class whose procedure is gone.
  UnregisterClassW(kClassName, module_);
}

bool ProgressWindow::BarWouldChange() const {
  if (position_ == maximum_) return true;  // the full bar is always shown
  // The control fills width * position / maximum pixels of its inside; its
  // edge takes at most a few pixels of each side.
  for (std::int64_t width = kProgressBarWidth - 8; width <= kProgressBarWidth; ++width) {
    if (width * position_ / maximum_ != width * shown_ / maximum_) return true;
  }
  return false;
}

void ProgressWindow::Step() {
  if (position_ >= maximum_) return;  // full: it stays so
  ++position_;
  // The control paints every new position at once, which takes about a
  // millisecond under Wine: a step that moves no pixel of the bar is not
  // sent, so that a run of a million stations does not spend its time on
  // the window. The bar always gets the position that it then draws.
  if (BarWouldChange()) {
    shown_ = position_;
    if (bar_) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  if (GetTickCount64() - last_messages_ >= kMessageIntervalMs) HandleWaitingMessages();
}

void ProgressWindow::Finish(const std::string& caption) {
  caption_ = Utf8ToWide(caption);
  InvalidateRect(window_, nullptr, TRUE);
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HandleWaitingMessages();
}

void ProgressWindow::HandleWaitingMessages() {
  last_messages_ = GetTickCount64();
  // Only this window's messages (and its bar's): the host's windows must not
  // see input in the middle of a run.
  MSG message;
  while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Meant for the host's loop: put it back and stop here.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ProgressWindow::Paint(HDC dc) const {
  HGDIOBJ before = font_ ? SelectObject(dc, font_) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kProgressLabelColour);
  TextOutW(dc, kProgressLabelLeft, kProgressLabelTop, caption_.c_str(),
           static_cast<int>(caption_.size()));
  if (before) SelectObject(dc, before);
}

LRESULT CALLBACK ProgressWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* self =
      reinterpret_cast<const ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      HBRUSH sky = CreateSolidBrush(kProgressBackground);
      FillRect(reinterpret_cast<HDC>(wparam), &client, sky);
      DeleteObject(sky);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (self) self->Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      return 0;  // the run closes the window, nobody else (Alt+F4 included)
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace lkrva::ui::win32
