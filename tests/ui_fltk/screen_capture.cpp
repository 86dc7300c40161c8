// Screen capture with Xlib's XGetImage on a connection of the test's own.
#include "screen_capture.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fstream>
#include <stdexcept>

namespace lkrva::ui::test {
namespace {

struct Connection {
  Connection() : display(XOpenDisplay(nullptr)) {
    if (!display) throw std::runtime_error("cannot open DISPLAY for the screenshot");
  }
  ~Connection() { XCloseDisplay(display); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Display* display;
};

int Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) ++shift;
  const unsigned long max = mask >> shift;
  return static_cast<int>(((pixel & mask) >> shift) * 255UL / max);
}

}  // namespace

void Screenshot::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width_ << ' ' << height_ << "\n255\n";
  for (const auto& c : pixels_) {
    out.put(static_cast<char>(c.r)).put(static_cast<char>(c.g)).put(static_cast<char>(c.b));
  }
}

ScreenSize TestScreenSize() {
  Connection connection;
  const int screen = DefaultScreen(connection.display);
  return {DisplayWidth(connection.display, screen), DisplayHeight(connection.display, screen)};
}

Screenshot CaptureScreen(int x, int y, int width, int height) {
  Connection connection;
  // Whatever other clients sent before this point is drawn first.
  XSync(connection.display, False);
  const Window root = DefaultRootWindow(connection.display);
  XImage* image = XGetImage(connection.display, root, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) throw std::runtime_error("XGetImage failed");
  Screenshot shot(width, height);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      shot.set(column, row,
               {Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
                Channel(pixel, image->blue_mask)});
    }
  }
  XDestroyImage(image);
  return shot;
}

}  // namespace lkrva::ui::test
