// Reading back the files the plots are written to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "plot/trajectory_plot.hpp"

namespace lkrva::plot::testing {

/// A fresh, empty directory for one test.
std::filesystem::path FreshDir(const std::string& name);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);

/// Width and height from the IHDR chunk; fails the test unless the file has
/// the PNG signature and starts with IHDR.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::filesystem::path& path);

/// The decoded pixels of a PNG, row by row.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb At(double x, double y) const;
  std::size_t Count(Rgb colour) const;
};
Image LoadPng(const std::filesystem::path& path);

/// The root element of an SVG file parsed as XML and its width and height
/// attributes; `error` is set when the file is not well-formed XML.
struct SvgRoot {
  std::string element, width, height, error;
};
SvgRoot ParseSvg(const std::filesystem::path& path);

/// The number of page objects (/Type /Page) in a PDF.
int PdfPageCount(const std::string& pdf);

bool operator==(Rgb a, Rgb b);

}  // namespace lkrva::plot::testing
