// Which user interface the system uses right now.
#pragma once

#include <memory>

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// The host's callbacks when it installed some; otherwise windows when there
/// is a display (DISPLAY) and the windowed module loads; otherwise the
/// terminal when the process has one; otherwise QuietUi. On Windows: the
/// host's callbacks, else the Win32 windows (QuietUi in a build without
/// them). Decided anew on every call, so a host may install or remove
/// callbacks between operations.
std::unique_ptr<UserInterface> ActiveUserInterface();

}  // namespace lkrva::ui
