// Reading pixels off the test display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lkrva::ui::test {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const Rgb&) const = default;
};

/// A rectangle of the screen as it was when captured.
class Screenshot {
 public:
  Screenshot(int width, int height) : width_(width), height_(height), pixels_(width * height) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  void set(int x, int y, Rgb c) { pixels_[static_cast<std::size_t>(y * width_ + x)] = c; }
  /// Writes a binary PPM (convert it with ImageMagick to look at it).
  void Save(const std::string& path) const;

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

/// The screen's size on DISPLAY.
struct ScreenSize {
  int width = 0;
  int height = 0;
};
ScreenSize TestScreenSize();

/// Captures (x, y, width, height) of the screen on DISPLAY.
Screenshot CaptureScreen(int x, int y, int width, int height);

}  // namespace lkrva::ui::test
