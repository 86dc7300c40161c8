// Window-system details the FLTK windows share.
#pragma once

#include <string>

class Fl_Window;

namespace lkrva::ui::fltk {

/// The X11 window class of every window of ours (WM_CLASS), by which
/// window managers and scripts can tell them.
inline constexpr char kWindowClass[] = "lkrva";

/// `text` as a label that FLTK draws as it is: its '@' and '&' otherwise
/// start symbols and underlined shortcut letters.
std::string LabelText(const std::string& text);

/// Places `window` in the middle of the primary screen (before it is shown).
void CentreOnScreen(Fl_Window& window);

/// Asks the window manager to keep the shown `window` above all others
/// (_NET_WM_STATE_ABOVE). Without a window manager there is nobody to ask.
void KeepAbove(Fl_Window& window);

/// Handles pending window events and draws what needs drawing, without
/// waiting. With `wait_for_server`, returns only when the X server has drawn
/// it, so that what the caller changed is on the screen.
void PaintNow(bool wait_for_server);

}  // namespace lkrva::ui::fltk
