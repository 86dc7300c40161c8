#include "plot_files.hpp"

#include <cairo.h>
#include <expat.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

namespace lkrva::plot::testing {

std::filesystem::path FreshDir(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("lkrva-plot-test-" + std::to_string(getpid())) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::pair<std::uint32_t, std::uint32_t> PngSize(const std::filesystem::path& path) {
  const std::string bytes = ReadFile(path);
  EXPECT_GE(bytes.size(), 24u);
  if (bytes.size() < 24) return {0, 0};
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  auto be32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  return {be32(16), be32(20)};
}

Rgb Image::At(double x, double y) const {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  if (ix < 0 || iy < 0 || ix >= width || iy >= height) return {0, 0, 0};
  return pixels[static_cast<std::size_t>(iy) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(ix)];
}

std::size_t Image::Count(Rgb colour) const {
  std::size_t n = 0;
  for (Rgb p : pixels) n += p == colour ? 1 : 0;
  return n;
}

Image LoadPng(const std::filesystem::path& path) {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s(
      cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
  Image image;
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) {
    ADD_FAILURE() << path << ": " << cairo_status_to_string(cairo_surface_status(s.get()));
    return image;
  }
  cairo_surface_flush(s.get());
  image.width = cairo_image_surface_get_width(s.get());
  image.height = cairo_image_surface_get_height(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  const unsigned char* data = cairo_image_surface_get_data(s.get());
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      image.pixels.push_back({static_cast<unsigned char>(v >> 16 & 0xff),
                              static_cast<unsigned char>(v >> 8 & 0xff),
                              static_cast<unsigned char>(v & 0xff)});
    }
  }
  return image;
}

SvgRoot ParseSvg(const std::filesystem::path& path) {
  SvgRoot root;
  std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr),
                                                                      &XML_ParserFree);
  XML_SetUserData(parser.get(), &root);
  XML_SetStartElementHandler(parser.get(),
                             [](void* data, const XML_Char* name, const XML_Char** attributes) {
                               SvgRoot* r = static_cast<SvgRoot*>(data);
                               if (!r->element.empty()) return;
                               r->element = name;
                               for (const XML_Char** a = attributes; *a; a += 2) {
                                 if (std::string(a[0]) == "width") r->width = a[1];
                                 if (std::string(a[0]) == "height") r->height = a[1];
                               }
                             });
  const std::string text = ReadFile(path);
  if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK) {
    root.error = XML_ErrorString(XML_GetErrorCode(parser.get()));
  }
  return root;
}

int PdfPageCount(const std::string& pdf) {
  static const std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace lkrva::plot::testing
