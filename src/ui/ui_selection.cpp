// Choosing the host's callbacks, windows, the terminal or nothing.
#include "ui/ui_selection.hpp"

#include <cstdlib>
#include <string>

#include "ui/host_ui.hpp"
#include "ui/quiet_ui.hpp"
#if defined(_WIN32)
#if defined(LKRVA_HAVE_UI_WIN32)
#include "ui_win32/win32_ui.hpp"
#endif
#else
#include "ui/terminal_ui.hpp"
#include "ui_fltk/windowed_ui_loader.hpp"
#endif

namespace lkrva::ui {

#if defined(_WIN32)

#if defined(LKRVA_HAVE_UI_WIN32)
namespace {
/// The module this code was linked into (LKRVA.dll), which owns the windows.
HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  static const char anchor = 0;
  ::GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      &anchor, &module);
  return module;
}
}  // namespace
#endif

std::unique_ptr<UserInterface> ActiveUserInterface() {
  if (const auto callbacks = InstalledHostCallbacks()) return std::make_unique<HostUi>(*callbacks);
#if defined(LKRVA_HAVE_UI_WIN32)
  // A Windows process always has a desktop to show its windows on.
  return MakeWin32UserInterface(ThisModule());
#else
  return std::make_unique<QuietUi>();
#endif
}

#else

std::unique_ptr<UserInterface> ActiveUserInterface() {
  if (const auto callbacks = InstalledHostCallbacks()) return std::make_unique<HostUi>(*callbacks);
  // Windows where there is a display to show them on, as a desktop user
  // expects; the module is loaded only then, so the core needs no X11.
  if (std::getenv("DISPLAY") != nullptr) {
    std::string why_not;
    if (auto windowed = TryLoadWindowedUi(&why_not)) return windowed;
  }
  if (auto terminal = TerminalUi::Open()) return terminal;
  return std::make_unique<QuietUi>();
}

#endif  // _WIN32

}  // namespace lkrva::ui
