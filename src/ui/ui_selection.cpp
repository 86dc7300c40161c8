// Choosing the host's callbacks, the terminal or nothing.
#include "ui/ui_selection.hpp"

#include "ui/host_ui.hpp"
#include "ui/quiet_ui.hpp"
#include "ui/terminal_ui.hpp"

namespace lkrva::ui {

std::unique_ptr<UserInterface> ActiveUserInterface() {
  if (const auto callbacks = InstalledHostCallbacks()) return std::make_unique<HostUi>(*callbacks);
  if (auto terminal = TerminalUi::Open()) return terminal;
  return std::make_unique<QuietUi>();
}

}  // namespace lkrva::ui
