// The user interface of the Windows build: Win32 dialogs, message boxes and
// the progress window, shown on the calling thread.
//
// How the module uses it: a DLL (or program) keeps the HINSTANCE it was
// loaded as (DllMain's first argument, or GetModuleHandle(nullptr) in a
// program) and asks for the interface whenever an operation needs one:
//
//   #include "ui_win32/win32_ui.hpp"
//   std::unique_ptr<lkrva::ui::UserInterface> ui =
//       lkrva::ui::MakeWin32UserInterface(module);
//   ui->InputQuery("系统提示", "请输入磁偏角：", "0");
//
// Texts given to it are UTF-8, as everywhere behind the seam. Link the
// static library lkrva_ui_win32 (it brings user32, gdi32 and comctl32).
#pragma once

#include <windows.h>

#include <memory>

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// The Win32 user interface of the module `module` (the instance that owns
/// the window class and the dialog). Every call is modal on the calling
/// thread, which must be the one that later steps and destroys any progress
/// display it returns; calls must not overlap.
///  - InputQuery: a dialog of our own, centred on the screen, with the
///    prompt, an edit box of at most kMaxEntryChars characters holding the
///    default text all selected, "OK" (default, Enter) and "Cancel"
///    (Escape). Nothing when it ends any other way than through "OK".
///  - ShowMessage: MessageBoxA with no owner window, style MB_OK | icon,
///    title and text converted to the system's ANSI code page.
///  - ShowProgress: the borderless, topmost, sky-blue progress window with
///    the common controls' progress bar in blocks (ui_win32/progress_window.hpp);
///    destroying the display destroys the window.
std::unique_ptr<UserInterface> MakeWin32UserInterface(HINSTANCE module);

}  // namespace lkrva::ui
