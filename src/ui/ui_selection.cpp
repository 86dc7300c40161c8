// Choosing the host's callbacks, windows, the terminal or nothing.
#include "ui/ui_selection.hpp"

#include <cstdlib>
#include <string>

#include "ui/host_ui.hpp"
#include "ui/quiet_ui.hpp"
#include "ui/terminal_ui.hpp"
#include "ui_fltk/windowed_ui_loader.hpp"

namespace lkrva::ui {

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

}  // namespace lkrva::ui
