// Trajectory plots: plan view, vertical section and curvature of one survey
// on one page, drawn by Cairo as SVG, PNG or PDF from the same code.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lkrva::plot {

/// A plot that cannot be made: an unsupported file type, nothing to draw, or
/// a file that cannot be written. The message names the file.
class PlotError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One computed survey station, as `lkrva compute` writes it or a computed
/// table holds it. Depths and coordinates in the survey's depth unit, angles
/// in degrees.
struct PlotStation {
  double JS = 0;        ///< measured depth
  double JXJ = 0;       ///< inclination
  double FWJ = 0;       ///< azimuth
  double CZJS = 0;      ///< vertical depth
  double X = 0;         ///< north coordinate from the wellhead
  double Y = 0;         ///< east coordinate from the wellhead
  double BHFW = 0;      ///< closure azimuth, clockwise from north
  double BHJ = 0;       ///< closure distance
  double JYQL = 0;      ///< curvature, degrees per `gtdjs` depth units
  bool filled = false;  ///< its readings were interpolated, not measured
};

struct PlotOptions {
  std::string title;             ///< drawn above the panels; may be Chinese
  std::string depth_unit = "m";  ///< "m" or "ft", written in the axis labels
  double gtdjs = 30;             ///< the curvature's reference length, for its label
  /// Azimuth of the vertical section, degrees clockwise from north; by
  /// default the closure azimuth of the deepest station.
  std::optional<double> section_azimuth;
};

enum class PlotFormat { kSvg, kPng, kPdf };

/// Page size: pixels for PNG, points for SVG and PDF.
inline constexpr int kPageWidth = 1200;
inline constexpr int kPageHeight = 900;

/// The format the extension of `path` asks for (.svg, .png, .pdf, any case).
/// Throws PlotError naming the accepted extensions for any other.
PlotFormat FormatForPath(std::string_view path);

/// A rectangle on the page (page units, y down) and the data range it shows.
struct Panel {
  double left = 0, top = 0, width = 0, height = 0;
  double u0 = 0, u1 = 1;  ///< data range left to right
  double v0 = 0, v1 = 1;  ///< data range bottom to top (v0 > v1 turns the axis downwards)
  double PageX(double u) const { return left + (u - u0) / (u1 - u0) * width; }
  double PageY(double v) const { return top + height - (v - v0) / (v1 - v0) * height; }
};

/// Where the three panels of a plot of `stations` lie and what they show.
struct PlotLayout {
  Panel plan;       ///< u: east Y, v: north X, one scale for both
  Panel section;    ///< u: displacement along the section azimuth, v: vertical depth (downwards)
  Panel curvature;  ///< u: measured depth, v: curvature
  double section_azimuth = 0;  ///< degrees in [0, 360)
};

/// Lays out a plot; never divides by zero (one station, a vertical hole and
/// no curvature at all give sensible ranges). Throws PlotError when
/// `stations` is empty.
PlotLayout LayOut(std::span<const PlotStation> stations, const PlotOptions& options);

/// Colours a test or a reader of the plot can rely on (red, green, blue 0–255).
struct Rgb {
  unsigned char r, g, b;
};
inline constexpr Rgb kWellheadColour{214, 39, 40};
inline constexpr Rgb kMeasuredColour{31, 119, 180};
inline constexpr Rgb kFilledColour{255, 127, 14};

/// Draws the plot of `stations` (in depth order) into `path`, its format
/// chosen by the extension. Throws PlotError.
void WritePlot(std::span<const PlotStation> stations, const PlotOptions& options,
               const std::string& path);

}  // namespace lkrva::plot
