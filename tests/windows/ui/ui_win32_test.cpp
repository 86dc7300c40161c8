// The Win32 user interface on a real (virtual) screen: the progress window
// checked by its pixels, the input dialog and the message box driven by
// synthetic key presses from a helper thread while the main thread is in
// their modal loops.
//
// Usage: ui_win32_test.exe [progress] [dialog] [message]   (all when none)
// Exits 0 when every check passed, 1 otherwise; each failure is printed.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui_win32/input_dialog.hpp"
#include "ui_win32/progress_window.hpp"
#include "ui_win32/wide_text.hpp"
#include "ui_win32/win32_ui.hpp"

namespace {

using lkrva::ui::win32::WideToUtf8;

int g_failures = 0;

void Fail(const char* file, int line, const std::string& what) {
  ++g_failures;
  std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

/// The parts of a failure's description, joined with blanks.
template <typename... Parts>
std::string Message(const Parts&... parts) {
  std::string text;
  ((text += std::string(parts) + " "), ...);
  return text;
}

#define CHECK(condition, ...)                                                       \
  do {                                                                              \
    if (!(condition)) Fail(__FILE__, __LINE__, Message(#condition, ##__VA_ARGS__)); \
  } while (0)

std::string Describe(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Describe(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

#define CHECK_EQ_INT(actual, expected)                                              \
  do {                                                                              \
    const long long a_ = static_cast<long long>(actual);                            \
    const long long e_ = static_cast<long long>(expected);                          \
    if (a_ != e_) {                                                                 \
      Fail(__FILE__, __LINE__,                                                      \
           Describe("%s is %lld, expected %s = %lld", #actual, a_, #expected, e_)); \
    }                                                                               \
  } while (0)

constexpr DWORD kWaitMs = 15000;  // generous: a window of a cold Wine prefix

/// Handles this thread's messages until `done` holds or the wait is over.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = kWaitMs) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

/// Polls `done` from a thread without windows until it holds or the wait is over.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kWaitMs) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Screenshots

/// The screen's pixels inside a rectangle, read back through GDI from the
/// screen's device context (what is on the display, not what a window
/// thinks it drew).
struct Shot {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;

  COLORREF At(int x, int y) const {  // coordinates relative to the rectangle
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

Shot Capture(const RECT& area) {
  Shot shot;
  shot.left = area.left;
  shot.top = area.top;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  const auto* bgrx = static_cast<const unsigned char*>(bits);
  shot.pixels.resize(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height));
  for (std::size_t i = 0; i < shot.pixels.size(); ++i) {
    shot.pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
  }
  SelectObject(memory, before);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

/// Writes `shot` as a BMP file into the folder named by LKRVA_UI_SHOTS, when
/// that is set, for a person to look at after a failure.
void SaveShot(const Shot& shot, const char* name) {
  const char* folder = std::getenv("LKRVA_UI_SHOTS");
  if (!folder || !*folder) return;
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  const DWORD row_bytes = static_cast<DWORD>(shot.width) * 4;
  const DWORD image_bytes = row_bytes * static_cast<DWORD>(shot.height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + image_bytes;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = shot.width;
  info.biHeight = -shot.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::fwrite(&header, sizeof header, 1, file);
  std::fwrite(&info, sizeof info, 1, file);
  for (const COLORREF c : shot.pixels) {
    const unsigned char bgrx[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    std::fwrite(bgrx, 1, 4, file);
  }
  std::fclose(file);
}

std::string Hex(COLORREF colour) {
  return Describe("RGB(%d,%d,%d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

bool IsTextBlue(COLORREF c) {
  return GetBValue(c) >= 200 && GetRValue(c) <= 80 && GetGValue(c) <= 80;
}

struct Box {
  int count = 0;
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

/// The blue text pixels in the label's part of the window (above the bar).
Box BlueText(const Shot& shot) {
  Box box;
  for (int y = 0; y < lkrva::ui::win32::kProgressBarTop; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      if (!IsTextBlue(shot.At(x, y))) continue;
      ++box.count;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

/// The filled blocks along the bar's middle row: how many separate runs of
/// the block colour, and where the last one ends (-1 when there is none).
struct Blocks {
  int runs = 0;
  int rightmost = -1;
};

Blocks BarBlocks(const Shot& shot, COLORREF block) {
  using namespace lkrva::ui::win32;
  Blocks blocks;
  const int y = kProgressBarTop + kProgressBarHeight / 2;
  bool inside = false;
  for (int x = kProgressBarLeft; x < kProgressBarLeft + kProgressBarWidth; ++x) {
    const bool filled = shot.At(x, y) == block;
    if (filled && !inside) ++blocks.runs;
    if (filled) blocks.rightmost = x;
    inside = filled;
  }
  return blocks;
}

int CountDifferent(const Shot& a, const Shot& b, int top, int bottom) {
  int different = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < a.width; ++x) different += a.At(x, y) != b.At(x, y);
  }
  return different;
}

// ---------------------------------------------------------------------------
// The progress window

void TestProgressWindow(lkrva::ui::UserInterface& ui) {
  using namespace lkrva::ui::win32;
  std::printf("progress window\n");
  constexpr int kMaximum = 30;
  auto progress = ui.ShowProgress(kMaximum);
  HWND window = FindWindowW(nullptr, kProgressWindowTitle);
  CHECK(window != nullptr, "(the window is there when ShowProgress returns)");
  if (!window) return;
  CHECK(IsWindowVisible(window));
  CHECK(GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId());

  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  CHECK((style & WS_POPUP) != 0);
  CHECK((style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU)) == 0,
        "(borderless, nothing to move or close it with)");
  CHECK((ex_style & WS_EX_TOPMOST) != 0);
  CHECK((ex_style & WS_EX_TOOLWINDOW) != 0);

  RECT client;
  GetClientRect(window, &client);
  CHECK_EQ_INT(client.right, kProgressClientWidth);
  CHECK_EQ_INT(client.bottom, kProgressClientHeight);
  RECT frame;
  GetWindowRect(window, &frame);
  const int screen_w = GetSystemMetrics(SM_CXSCREEN);
  const int screen_h = GetSystemMetrics(SM_CYSCREEN);
  CHECK(std::abs(frame.left + frame.right - screen_w) <= 1, "(centred across)");
  CHECK(std::abs(frame.top + frame.bottom - screen_h) <= 1, "(centred down)");

  HWND bar = FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr);
  CHECK(bar != nullptr, "(a common-controls progress bar)");
  if (!bar) return;
  RECT bar_rect;
  GetWindowRect(bar, &bar_rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar_rect), 2);
  CHECK_EQ_INT(bar_rect.left, kProgressBarLeft);
  CHECK_EQ_INT(bar_rect.top, kProgressBarTop);
  CHECK_EQ_INT(bar_rect.right - bar_rect.left, kProgressBarWidth);
  CHECK_EQ_INT(bar_rect.bottom - bar_rect.top, kProgressBarHeight);
  CHECK((GetWindowLongPtrW(bar, GWL_STYLE) & (PBS_SMOOTH | PBS_VERTICAL)) == 0,
        "(horizontal, in blocks)");
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  CHECK_EQ_INT(range.iLow, 0);
  CHECK_EQ_INT(range.iHigh, kMaximum);
  CHECK_EQ_INT(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);

  const COLORREF block = GetSysColor(COLOR_HIGHLIGHT);
  const auto shoot = [&] { return Capture(frame); };

  // The background, away from the label and the bar.
  const auto background_ok = [&](const Shot& shot) {
    const POINT spots[] = {{1, 1}, {320, 1}, {1, 85}, {320, 85}, {4, 50}, {315, 50}, {160, 75}};
    for (const POINT& p : spots) {
      if (shot.At(p.x, p.y) != kProgressBackground) return false;
    }
    return true;
  };
  Shot shot;
  const bool shown = PumpUntil([&] {
    shot = shoot();
    return background_ok(shot) && BlueText(shot).count > 0;
  });
  CHECK(shown, "(the sky-blue window with its blue label reaches the screen)");
  CHECK(shot.At(1, 1) == kProgressBackground, "at (1,1) the screen shows", Hex(shot.At(1, 1)));
  CHECK(shot.At(160, 75) == kProgressBackground, "at (160,75)", Hex(shot.At(160, 75)));
  const Shot running = shot;
  SaveShot(running, "progress-0");
  const Box text = BlueText(running);
  CHECK(text.count >= 100, Describe("(a line of bold text: %d blue pixels)", text.count));
  CHECK(text.left >= kProgressLabelLeft && text.left <= kProgressLabelLeft + 4,
        Describe("(the text starts at x=%d)", text.left));
  CHECK(text.top >= kProgressLabelTop && text.top <= kProgressLabelTop + 6,
        Describe("(the text starts at y=%d)", text.top));
  CHECK(text.bottom - text.top + 1 >= 12 && text.bottom - text.top + 1 <= 24,
        Describe("(19-pixel characters: ink %d pixels high)", text.bottom - text.top + 1));
  CHECK(text.right - text.left >= 150,
        Describe("(ten characters and three stops: %d pixels wide)", text.right - text.left + 1));
  CHECK_EQ_INT(BarBlocks(running, block).runs, 0);

  // Filled blocks in proportion to the steps, separated by gaps.
  const int inner_left = kProgressBarLeft + 1;
  const int inner_width = kProgressBarWidth - 2;
  constexpr int kTolerance = 16;  // about one block with its gap
  int steps = 0;
  for (const int target : {10, 20}) {
    while (steps < target) {
      progress->Step();
      ++steps;
    }
    CHECK_EQ_INT(SendMessageW(bar, PBM_GETPOS, 0, 0), target);
    const int expected_end = inner_left + inner_width * target / kMaximum;
    Blocks blocks;
    PumpUntil([&] {
      shot = shoot();
      blocks = BarBlocks(shot, block);
      return std::abs(blocks.rightmost - expected_end) <= kTolerance;
    });
    CHECK(std::abs(blocks.rightmost - expected_end) <= kTolerance,
          Describe("(after %d of %d steps the blocks end at x=%d, expected about %d)", target,
                   kMaximum, blocks.rightmost, expected_end));
    SaveShot(shot, target == 10 ? "progress-10" : "progress-20");
    CHECK(blocks.runs >= 3, Describe("(separate blocks: %d runs)", blocks.runs));
    CHECK(background_ok(shot), "(the background stays sky blue)");
  }

  // Full, then the closing caption.
  while (steps < kMaximum) {
    progress->Step();
    ++steps;
  }
  progress->Step();  // one more leaves the bar full
  CHECK_EQ_INT(SendMessageW(bar, PBM_GETPOS, 0, 0), kMaximum);
  progress->Finish("计算完毕！");
  Blocks blocks;
  const bool finished = PumpUntil([&] {
    shot = shoot();
    blocks = BarBlocks(shot, block);
    return blocks.rightmost >= kProgressBarLeft + kProgressBarWidth - 8 &&
           CountDifferent(shot, running, 0, kProgressBarTop) > 0;
  });
  CHECK(finished, Describe("(full bar: blocks end at x=%d; new caption)", blocks.rightmost));
  SaveShot(shot, "progress-finished");
  const Box done = BlueText(shot);
  CHECK(done.count >= 50, Describe("(the closing caption in blue: %d pixels)", done.count));
  CHECK(done.right - done.left < text.right - text.left,
        Describe("(five characters are narrower than the running caption: %d vs %d)",
                 done.right - done.left + 1, text.right - text.left + 1));
  CHECK(CountDifferent(shot, running, 0, kProgressBarTop) >= 50, "(the label's pixels changed)");
  CHECK(background_ok(shot), "(the background stays sky blue)");

  progress.reset();
  CHECK(!IsWindow(window), "(destroying the display destroys the window)");
  CHECK(FindWindowW(nullptr, kProgressWindowTitle) == nullptr);

  // A later run's window: a table of one record fills the bar at once.
  auto one = ui.ShowProgress(1);
  HWND second = FindWindowW(nullptr, kProgressWindowTitle);
  CHECK(second != nullptr, "(a later run shows its window again)");
  one->Step();
  if (HWND one_bar = second ? FindWindowExW(second, nullptr, PROGRESS_CLASSW, nullptr) : nullptr) {
    CHECK_EQ_INT(SendMessageW(one_bar, PBM_GETPOS, 0, 0), 1);
  }
  one.reset();

  // A million stations: the bar keeps up with the steps to within a pixel's
  // worth of them, and is full at the end.
  constexpr int kMillion = 1000000;
  auto big = ui.ShowProgress(kMillion);
  HWND big_window = FindWindowW(nullptr, kProgressWindowTitle);
  HWND big_bar =
      big_window ? FindWindowExW(big_window, nullptr, PROGRESS_CLASSW, nullptr) : nullptr;
  CHECK(big_bar != nullptr);
  if (!big_bar) return;
  const ULONGLONG start = GetTickCount64();
  for (int i = 0; i < kMillion / 2; ++i) big->Step();
  const LRESULT half = SendMessageW(big_bar, PBM_GETPOS, 0, 0);
  CHECK(half <= kMillion / 2 && half >= kMillion / 2 - kMillion / (kProgressBarWidth - 8),
        Describe("(after half the steps the bar is at %d)", static_cast<int>(half)));
  for (int i = kMillion / 2; i < kMillion; ++i) big->Step();
  std::printf("  (a million steps: %.2f s)\n",
              static_cast<double>(GetTickCount64() - start) / 1000.0);
  CHECK_EQ_INT(SendMessageW(big_bar, PBM_GETPOS, 0, 0), kMillion);
  GetWindowRect(big_window, &frame);
  Blocks full;
  PumpUntil([&] {
    full = BarBlocks(shoot(), block);
    return full.rightmost >= kProgressBarLeft + kProgressBarWidth - 8;
  });
  CHECK(full.rightmost >= kProgressBarLeft + kProgressBarWidth - 8,
        Describe("(full at the end: blocks end at x=%d)", full.rightmost));
  big.reset();
}

// ---------------------------------------------------------------------------
// Keys and modal windows

void Keys(const std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
}

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void PressKey(WORD vk) { Keys({Key(vk, false), Key(vk, true)}); }

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(c);
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  Keys(inputs);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

/// Runs `act` on a helper thread while the calling thread runs `modal`.
class Helper {
 public:
  explicit Helper(std::function<void()> act) : act_(std::move(act)) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~Helper() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<Helper*>(self)->act_();
    return 0;
  }
  std::function<void()> act_;
  HANDLE thread_ = nullptr;
};

/// The visible dialog titled `caption` of thread `thread`, once it has the
/// keyboard focus on `focus_id` (0: anywhere in it) and is in front.
HWND AwaitDialog(const wchar_t* caption, DWORD thread, int focus_id) {
  HWND dialog = nullptr;
  WaitUntil([&] {
    dialog = FindWindowW(L"#32770", caption);
    if (!dialog || !IsWindowVisible(dialog)) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info) || info.hwndActive != dialog) return false;
    if (focus_id != 0 && info.hwndFocus != GetDlgItem(dialog, focus_id)) return false;
    if (GetForegroundWindow() != dialog) SetForegroundWindow(dialog);
    return GetForegroundWindow() == dialog;
  });
  return dialog;
}

/// One window of EnumThreadWindows: a visible dialog is named and cancelled.
/// A named CALLBACK function, because on 32-bit Windows WNDENUMPROC is
/// __stdcall, which a lambda does not convert to.
BOOL CALLBACK CancelIfDialog(HWND window, LPARAM) {
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (IsWindowVisible(window) && std::wcscmp(class_name, L"#32770") == 0) {
    std::printf("  cancelling the dialog titled \"%s\"\n", WideToUtf8(WindowText(window)).c_str());
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  }
  return TRUE;
}

/// When the expected window never came: names and cancels every dialog of
/// `thread` that did come, so that its modal loop ends and the test goes on.
void CancelOtherDialogs(DWORD thread) { EnumThreadWindows(thread, CancelIfDialog, 0); }

/// Waits until `dialog` has gone; closes it with Cancel when it stays, so
/// that the test goes on.
bool AwaitGone(HWND dialog) {
  if (WaitUntil([&] { return !IsWindow(dialog); })) return true;
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  return false;
}

constexpr char kCaption[] = "系统提示";
constexpr char kPrompt[] = "请输入磁偏角：";

struct DialogRun {
  std::optional<std::string> result;
  bool found = false;
  bool closed = false;
};

/// Shows the declination dialog; once it is up, `act` does its part with it.
DialogRun RunDialog(lkrva::ui::UserInterface& ui, const std::function<void(HWND)>& act,
                    const std::string& default_text = "0") {
  DialogRun run;
  const DWORD thread = GetCurrentThreadId();
  Helper helper([&] {
    HWND dialog = AwaitDialog(L"系统提示", thread, lkrva::ui::win32::kInputEntryId);
    run.found = dialog != nullptr;
    if (!dialog) return CancelOtherDialogs(thread);
    act(dialog);
    run.closed = AwaitGone(dialog);
  });
  run.result = ui.InputQuery(kCaption, kPrompt, default_text);
  return run;
}

void TestInputDialog(lkrva::ui::UserInterface& ui) {
  using lkrva::ui::win32::kInputEntryId;
  using lkrva::ui::win32::kInputPromptId;
  std::printf("input dialog\n");

  // Its make-up, and a typed value with Enter.
  struct Seen {
    std::wstring prompt, entry;
    DWORD selection_start = 99, selection_end = 99;
    LRESULT limit = 0;
    bool ok_default = false, cancel_there = false, centred = false;
  } seen;
  DialogRun typed = RunDialog(ui, [&](HWND dialog) {
    HWND entry = GetDlgItem(dialog, kInputEntryId);
    seen.prompt = WindowText(GetDlgItem(dialog, kInputPromptId));
    seen.entry = WindowText(entry);
    SendMessageW(entry, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selection_start),
                 reinterpret_cast<LPARAM>(&seen.selection_end));
    seen.limit = SendMessageW(entry, EM_GETLIMITTEXT, 0, 0);
    HWND ok = GetDlgItem(dialog, IDOK);
    seen.ok_default = ok && (GetWindowLongPtrW(ok, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON &&
                      LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)) == IDOK &&
                      WindowText(ok) == L"OK";
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    seen.cancel_there = cancel && WindowText(cancel) == L"Cancel";
    RECT frame;
    GetWindowRect(dialog, &frame);
    seen.centred = std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)) <= 1 &&
                   std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1;
    TypeText(L"-2.5");
    PressKey(VK_RETURN);
  });
  CHECK(typed.found, "(the dialog titled 系统提示 appears with the focus in its edit box)");
  CHECK(typed.closed, "(Enter closes it)");
  CHECK(seen.prompt == L"请输入磁偏角：", "(the prompt)", WideToUtf8(seen.prompt));
  CHECK(seen.entry == L"0", "(the default text)", WideToUtf8(seen.entry));
  CHECK_EQ_INT(seen.selection_start, 0);
  CHECK_EQ_INT(seen.selection_end, 1);
  CHECK_EQ_INT(seen.limit, 255);
  CHECK(seen.ok_default, "(OK is the default button)");
  CHECK(seen.cancel_there, "(a Cancel button)");
  CHECK(seen.centred, "(centred on the screen)");
  CHECK(typed.result == std::optional<std::string>("-2.5"), "(typing replaced the selected 0)",
        typed.result.value_or("<nothing>"));

  // Enter alone accepts the default. A window of the host on the same
  // thread takes no input while the dialog is open, and does again after.
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                              100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  bool host_enabled_meanwhile = true;
  DialogRun enter = RunDialog(ui, [&](HWND) {
    host_enabled_meanwhile = IsWindowEnabled(host) != FALSE;
    PressKey(VK_RETURN);
  });
  CHECK(enter.found && enter.closed);
  CHECK(enter.result == std::optional<std::string>("0"), "(Enter alone gives the default)",
        enter.result.value_or("<nothing>"));
  CHECK(!host_enabled_meanwhile, "(modal: the host's window is disabled while it is open)");
  CHECK(IsWindowEnabled(host), "(and enabled again after)");
  DestroyWindow(host);

  // Escape, after typing, gives nothing.
  DialogRun escape = RunDialog(ui, [](HWND) {
    TypeText(L"7");
    PressKey(VK_ESCAPE);
  });
  CHECK(escape.found && escape.closed);
  CHECK(!escape.result.has_value(), "(Escape gives nothing)", escape.result.value_or(""));

  // The close box gives nothing.
  DialogRun close_box =
      RunDialog(ui, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
  CHECK(close_box.found && close_box.closed);
  CHECK(!close_box.result.has_value(), "(the close box gives nothing)");

  // The edit box stops at 255 characters.
  DialogRun long_entry = RunDialog(ui, [](HWND dialog) {
    const std::wstring many(300, L'9');
    SendMessageW(GetDlgItem(dialog, kInputEntryId), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(many.c_str()));
    PressKey(VK_RETURN);
  });
  CHECK(long_entry.found && long_entry.closed);
  CHECK(long_entry.result == std::optional<std::string>(std::string(255, '9')),
        Describe("(255 characters kept of 300: %d)",
                 static_cast<int>(long_entry.result.value_or("").size())));

  // Chinese text typed in comes back as UTF-8.
  DialogRun chinese = RunDialog(ui, [](HWND) {
    TypeText(L"东偏3");
    PressKey(VK_RETURN);
  });
  CHECK(chinese.result == std::optional<std::string>("东偏3"), "(UTF-8 back)",
        chinese.result.value_or("<nothing>"));
}

struct BoxSeen {
  bool found = false;
  bool closed = false;
  std::wstring title;
  std::wstring text;
};

/// Shows a message box and dismisses it with Enter once it is in front.
BoxSeen ShowAndDismiss(lkrva::ui::UserInterface& ui, const std::string& text,
                       const std::string& title, const wchar_t* wide_title, std::uint32_t icon) {
  BoxSeen seen;
  const DWORD thread = GetCurrentThreadId();
  Helper helper([&] {
    HWND box = AwaitDialog(wide_title, thread, 0);
    seen.found = box != nullptr;
    if (!box) return CancelOtherDialogs(thread);
    seen.title = WindowText(box);
    // The message box's text is its static control 0xFFFF.
    seen.text = WindowText(GetDlgItem(box, 0xFFFF));
    PressKey(VK_RETURN);
    seen.closed = AwaitGone(box);
  });
  ui.ShowMessage(text, title, icon);
  return seen;
}

void TestMessageBox(lkrva::ui::UserInterface& ui) {
  std::printf("message box\n");
  const BoxSeen warning =
      ShowAndDismiss(ui, "磁偏角为数字", "提示", L"提示", lkrva::ui::kIconWarning);
  CHECK(warning.found, "(a message box titled 提示 appears in front)");
  CHECK(warning.closed, "(Enter dismisses it)");
  CHECK(warning.title == L"提示", "(the title read back)", WideToUtf8(warning.title));
  CHECK(warning.text == L"磁偏角为数字", "(the text read back)", WideToUtf8(warning.text));

  // The texts go through the ANSI code page: a character GBK lacks comes
  // back as its default character.
  const BoxSeen error =
      ShowAndDismiss(ui, "数据初始化失败！✓", "错误", L"错误", lkrva::ui::kIconError);
  CHECK(error.found && error.closed);
  CHECK(error.text == L"数据初始化失败！?", "(through code page 936)", WideToUtf8(error.text));
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  // The texts reach MessageBoxA in the ANSI code page; they read back right
  // only where that is the Chinese one.
  std::printf("ANSI code page %u\n", GetACP());
  CHECK_EQ_INT(GetACP(), 936);

  auto ui = lkrva::ui::MakeWin32UserInterface(GetModuleHandleW(nullptr));
  const auto wanted = [&](const char* name) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i], name) == 0) return true;
    }
    return false;
  };
  const struct {
    const char* name;
    void (*run)(lkrva::ui::UserInterface&);
  } tests[] = {
      {"progress", TestProgressWindow}, {"dialog", TestInputDialog}, {"message", TestMessageBox}};
  for (const auto& test : tests) {
    if (!wanted(test.name)) continue;
    const ULONGLONG start = GetTickCount64();
    test.run(*ui);
    std::printf("  (%.1f s)\n", static_cast<double>(GetTickCount64() - start) / 1000.0);
  }

  if (g_failures != 0) {
    std::printf("%d check(s) failed\n", g_failures);
    return 1;
  }
  std::printf("all checks passed\n");
  return 0;
}
