// Label texts, centring, stacking and immediate painting on X11.
#include "ui_fltk/window_support.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace lkrva::ui::fltk {

std::string LabelText(const std::string& text) {
  std::string label;
  label.reserve(text.size());
  for (const char c : text) {
    if (c == '@' || c == '&') label += c;
    label += c;
  }
  return label;
}

void CentreOnScreen(Fl_Window& window) {
  int x = 0, y = 0, w = 0, h = 0;
  Fl::screen_xywh(x, y, w, h, 0);
  window.position(x + (w - window.w()) / 2, y + (h - window.h()) / 2);
}

void KeepAbove(Fl_Window& window) {
  const Window xid = fl_xid(&window);
  if (!xid) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(fl_display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
  event.xclient.data.l[1] =
      static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_ABOVE", False));
  event.xclient.data.l[2] = 0;
  event.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(fl_display);
}

void PaintNow(bool wait_for_server) {
  Fl::check();
  if (wait_for_server) XSync(fl_display, False);
}

}  // namespace lkrva::ui::fltk
