// The input query: a DLGTEMPLATE written into memory and run by the dialog
// manager, which gives Enter to the default button and Escape to Cancel.
#include "ui_win32/input_dialog.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/user_interface.hpp"
#include "ui_win32/font_choice.hpp"
#include "ui_win32/wide_text.hpp"

namespace lkrva::ui::win32 {
namespace {

// Layout in dialog units.
constexpr short kWidth = 200;
constexpr short kMargin = 7;
constexpr short kPromptTop = 7;
constexpr short kPromptHeight = 10;
constexpr short kEntryTop = kPromptTop + kPromptHeight + 3;
constexpr short kEntryHeight = 13;
constexpr short kButtonTop = kEntryTop + kEntryHeight + 8;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr short kButtonGap = 4;
constexpr short kHeight = kButtonTop + kButtonHeight + kMargin;
constexpr WORD kFontPoints = 9;

// The predefined control classes, by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

/// A dialog template under construction: DLGTEMPLATE, then its items, each
/// DLGITEMTEMPLATE on a DWORD boundary, as the dialog manager reads them.
class TemplateWriter {
 public:
  void Dialog(DWORD style, short items, short width, short height, const std::wstring& caption,
              WORD points, const std::wstring& face) {
    Struct(DLGTEMPLATE{style, 0, static_cast<WORD>(items), 0, 0, width, height});
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the predefined dialog class
    Text(caption);
    words_.push_back(points);
    Text(face);
  }
  void Item(DWORD style, short x, short y, short width, short height, int id, WORD class_ordinal,
            const std::wstring& text) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    Struct(DLGITEMTEMPLATE{style | WS_CHILD | WS_VISIBLE, 0, x, y, width, height,
                           static_cast<WORD>(id)});
    words_.push_back(0xFFFF);
    words_.push_back(class_ordinal);
    Text(text);
    words_.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* Get() {
    // The dialog manager reads whole DWORDs.
    if (words_.size() % 2 != 0) words_.push_back(0);
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
  }

 private:
  template <typename T>
  void Struct(const T& value) {
    static_assert(sizeof(T) % sizeof(WORD) == 0);
    const auto* words = reinterpret_cast<const WORD*>(&value);
    words_.insert(words_.end(), words, words + sizeof(T) / sizeof(WORD));
  }
  void Text(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  // WORDs, so that the template starts on a DWORD boundary (the allocator's
  // alignment is at least that).
  std::vector<WORD> words_;
};

/// Disables the calling thread's enabled top-level windows for as long as
/// it lives, as a modal window of the task does.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows_));
    for (HWND window : windows_) EnableWindow(window, FALSE);
  }
  ~ThreadWindowsDisabled() { Restore(); }
  /// Enables them again (once). Called before the dialog goes, so that the
  /// system gives the activation back to the host's window rather than to
  /// another program's.
  void Restore() {
    for (HWND window : windows_) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    windows_.clear();
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM windows) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
      reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
  }

  std::vector<HWND> windows_;
};

struct DialogState {
  std::wstring default_text;
  std::wstring entry;
  ThreadWindowsDisabled* disabled = nullptr;
};

void EndWith(HWND dialog, INT_PTR result) {
  const auto* state = reinterpret_cast<const DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (state && state->disabled) state->disabled->Restore();
  EndDialog(dialog, result);
}

void CentreOnScreen(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      const auto* state = reinterpret_cast<const DialogState*>(lparam);
      HWND entry = GetDlgItem(dialog, kInputEntryId);
      SendMessageW(entry, EM_LIMITTEXT, kMaxEntryChars, 0);
      SetWindowTextW(entry, state->default_text.c_str());
      CentreOnScreen(dialog);
      SetForegroundWindow(dialog);
      SetFocus(entry);
      SendMessageW(entry, EM_SETSEL, 0, -1);  // all of it selected: typing replaces it
      return FALSE;                           // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK: {
          auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
          HWND entry = GetDlgItem(dialog, kInputEntryId);
          std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(entry)) + 1, L'\0');
          text.resize(static_cast<std::size_t>(
              GetWindowTextW(entry, text.data(), static_cast<int>(text.size()))));
          state->entry = std::move(text);
          EndWith(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:  // the Cancel button, Escape and the close box
          EndWith(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<std::string> RunInputDialog(HINSTANCE module, const std::string& caption,
                                          const std::string& prompt,
                                          const std::string& default_text) {
  const std::wstring wide_caption = Utf8ToWide(caption);
  const std::wstring wide_prompt = Utf8ToWide(prompt);
  DialogState state{Utf8ToWide(TruncateChars(default_text, kMaxEntryChars)), {}, nullptr};

  std::wstring face = FirstFaceShowing(kDialogFaces, wide_caption + wide_prompt);
  if (face.empty()) face = L"MS Shell Dlg";

  TemplateWriter writer;
  writer.Dialog(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 4, kWidth, kHeight,
                wide_caption, kFontPoints, face);
  writer.Item(SS_LEFT | SS_NOPREFIX, kMargin, kPromptTop, kWidth - 2 * kMargin, kPromptHeight,
              kInputPromptId, kStaticClass, wide_prompt);
  writer.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kMargin, kEntryTop,
              kWidth - 2 * kMargin, kEntryHeight, kInputEntryId, kEditClass, L"");
  writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, kWidth - kMargin - 2 * kButtonWidth - kButtonGap,
              kButtonTop, kButtonWidth, kButtonHeight, IDOK, kButtonClass, L"OK");
  writer.Item(BS_PUSHBUTTON | WS_TABSTOP, kWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth,
              kButtonHeight, IDCANCEL, kButtonClass, L"Cancel");

  INT_PTR result = 0;
  {
    ThreadWindowsDisabled disabled;
    state.disabled = &disabled;
    result = DialogBoxIndirectParamW(module, writer.Get(), nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(&state));
  }
  if (result != IDOK) return std::nullopt;
  return TruncateChars(WideToUtf8(state.entry), kMaxEntryChars);
}

}  // namespace lkrva::ui::win32
