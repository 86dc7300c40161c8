// Finding and loading the windowed user interface at run time.
//
// The windows live in a module of their own, liblkrva_ui_fltk.so, so that the
// core library loads and runs on a machine without X11 or FLTK. This loader
// is all the core links: it opens the module with dlopen and asks it for a
// UserInterface.
#pragma once

#include <memory>
#include <string>

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// The file name of the windowed module.
inline constexpr char kWindowedUiModuleName[] = "liblkrva_ui_fltk.so";

/// The module's one exported function: `lkrva::ui::UserInterface*
/// lkrva_ui_fltk_create(void)`. It returns a new object the caller owns, or
/// null when no display can be opened.
inline constexpr char kWindowedUiEntryPoint[] = "lkrva_ui_fltk_create";

}  // namespace lkrva::ui

/// Defined by the module only; the loader finds it with dlsym.
extern "C" lkrva::ui::UserInterface* lkrva_ui_fltk_create(void);

namespace lkrva::ui {

/// The windowed user interface, or null with the reason in `*why_not` (when
/// not null): DISPLAY is not set, the module is missing or does not load, or
/// the display cannot be opened. The module is looked for in the folder of
/// the module that linked this loader, then in "../lib" beside that folder
/// (a tool in bin/ with its libraries in lib/). Once loaded, the module stays
/// loaded until the process ends.
std::unique_ptr<UserInterface> TryLoadWindowedUi(std::string* why_not);

/// As TryLoadWindowedUi, with the module at `module_path`.
std::unique_ptr<UserInterface> TryLoadWindowedUiFrom(const std::string& module_path,
                                                     std::string* why_not);

}  // namespace lkrva::ui
