// Trajectory plots drawn with Cairo's toy text API and plain paths.
#include "plot/trajectory_plot.hpp"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "text/number_text.hpp"

namespace lkrva::plot {

namespace {

/// The font family fontconfig maps to a face with Chinese glyphs
/// (fonts-wqy-microhei); without it fontconfig picks its default face.
constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

/// More stations than this and only the filled ones get a marker: the line
/// shows the path and thousands of dots would only blot it.
constexpr std::size_t kMaxMarkedStations = 2000;

constexpr double kMarkerRadius = 3.5;
constexpr double kWellheadSide = 12;

// Page areas: the title band, two panels side by side, the curvature below.
constexpr double kTitleBaseline = 34;
constexpr double kLegendBaseline = 62;
constexpr double kTopRowTop = 78, kTopRowBottom = 606;
constexpr double kBottomRowTop = 624, kBottomRowBottom = 884;
constexpr double kPageMargin = 16, kColumnGap = 24;
// Room inside a panel's box for its title, tick labels and axis labels.
constexpr double kInsetLeft = 78, kInsetRight = 18, kInsetTop = 30, kInsetBottom = 50;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

bool SameLowercase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char c = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (c != b[i]) return false;
  }
  return true;
}

/// A range [lo, hi] that is at least `min_span` wide, centred on the data.
struct Range {
  double lo, hi;
  double span() const { return hi - lo; }
  double mid() const { return (lo + hi) / 2; }
};

Range Widened(Range r, double min_span) {
  if (r.span() < min_span) {
    const double m = r.mid();
    return {m - min_span / 2, m + min_span / 2};
  }
  return r;
}

Range Padded(Range r, double fraction) {
  const double pad = r.span() * fraction;
  return {r.lo - pad, r.hi + pad};
}

/// The box a panel's plotting area takes inside its outer box.
Panel Inset(double left, double top, double right, double bottom) {
  Panel p;
  p.left = left + kInsetLeft;
  p.top = top + kInsetTop;
  p.width = right - left - kInsetLeft - kInsetRight;
  p.height = bottom - top - kInsetTop - kInsetBottom;
  return p;
}

/// Gives `p` ranges on one scale for both axes that hold `u` and `v`, the
/// leftover room shared out evenly on both sides, except that a downward
/// `v` (depth) starts at the top and leaves its spare room below.
void FitEqualScale(Panel& p, Range u, Range v, bool v_down) {
  // Depth keeps room above the surface for the whole wellhead marker.
  const double reserve = v_down ? kWellheadSide : 0;
  const double scale = std::min(p.width / u.span(), (p.height - reserve) / v.span());
  const double du = p.width / scale / 2, dv = p.height / scale / 2;
  p.u0 = u.mid() - du;
  p.u1 = u.mid() + du;
  if (v_down) {
    p.v1 = v.lo - reserve / scale;
    p.v0 = p.v1 + 2 * dv;
  } else {
    p.v0 = v.mid() - dv;
    p.v1 = v.mid() + dv;
  }
}

double Displacement(const PlotStation& s, double azimuth) {
  const double a = Radians(azimuth);
  return s.X * std::cos(a) + s.Y * std::sin(a);
}

// ---- drawing helpers ------------------------------------------------------

void SetColour(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

/// Draws `text` with its anchor at (x, y): `h` 0 left, 0.5 centre, 1 right;
/// `v` 0 top, 0.5 middle, 1 baseline. `angle` turns it (radians).
void DrawText(cairo_t* cr, double x, double y, const std::string& text, double size, double h,
              double v, double angle = 0, bool bold = false) {
  cairo_save(cr);
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  cairo_font_extents_t fext;
  cairo_font_extents(cr, &fext);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  // Vertical placement from the font's ascent, so labels of one row line up
  // whatever their glyphs.
  const double dy = v >= 1 ? 0 : fext.ascent * (1 - v) - (v > 0 ? fext.descent * v : 0);
  cairo_move_to(cr, -ext.x_advance * h, dy);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

double TextWidth(cairo_t* cr, const std::string& text, double size) {
  cairo_save(cr);
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  cairo_restore(cr);
  return ext.x_advance;
}

/// Tick values i·step inside [lo, hi] for a step of 1, 2 or 5 × 10^k that
/// gives about `count` ticks.
std::vector<double> Ticks(double lo, double hi, int count) {
  if (hi < lo) std::swap(lo, hi);
  const double raw = (hi - lo) / count;
  if (!(raw > 0) || !std::isfinite(raw)) return {lo};
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    step = m * magnitude;
    if (step >= raw) break;
  }
  std::vector<double> ticks;
  for (double i = std::ceil(lo / step); i <= std::floor(hi / step); i += 1) {
    const double t = i * step;
    ticks.push_back(t == 0 ? 0.0 : t);  // no "-0"
  }
  return ticks;
}

std::string TickLabel(double value) { return text::FormatNumber(value, '.'); }

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string s = buf;
  return s == "-0.0" || s == "-0.00" || s == "-0" ? s.substr(1) : s;
}

/// Frame, grid, ticks and labels of a panel.
void DrawAxes(cairo_t* cr, const Panel& p, const std::string& title, const std::string& u_label,
              const std::string& v_label, int u_ticks, int v_ticks) {
  cairo_save(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
  for (double t : Ticks(p.u0, p.u1, u_ticks)) {
    cairo_move_to(cr, p.PageX(t), p.top);
    cairo_line_to(cr, p.PageX(t), p.top + p.height);
  }
  for (double t : Ticks(p.v0, p.v1, v_ticks)) {
    cairo_move_to(cr, p.left, p.PageY(t));
    cairo_line_to(cr, p.left + p.width, p.PageY(t));
  }
  cairo_stroke(cr);

  cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
  cairo_rectangle(cr, p.left, p.top, p.width, p.height);
  cairo_stroke(cr);
  for (double t : Ticks(p.u0, p.u1, u_ticks)) {
    const double x = p.PageX(t);
    cairo_move_to(cr, x, p.top + p.height);
    cairo_line_to(cr, x, p.top + p.height + 5);
    cairo_stroke(cr);
    DrawText(cr, x, p.top + p.height + 7, TickLabel(t), 11, 0.5, 0);
  }
  for (double t : Ticks(p.v0, p.v1, v_ticks)) {
    const double y = p.PageY(t);
    cairo_move_to(cr, p.left - 5, y);
    cairo_line_to(cr, p.left, y);
    cairo_stroke(cr);
    DrawText(cr, p.left - 7, y, TickLabel(t), 11, 1, 0.5);
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  DrawText(cr, p.left, p.top - 8, title, 14, 0, 1, 0, true);
  DrawText(cr, p.left + p.width / 2, p.top + p.height + 26, u_label, 12, 0.5, 0);
  DrawText(cr, p.left - kInsetLeft + 14, p.top + p.height / 2, v_label, 12, 0.5, 0,
           -std::numbers::pi / 2);
  cairo_restore(cr);
}

void ClipTo(cairo_t* cr, const Panel& p) {
  cairo_rectangle(cr, p.left, p.top, p.width, p.height);
  cairo_clip(cr);
}

struct Point {
  double u, v;
};

/// The path through `points` with a marker at each station (the first
/// point, the wellhead, has none); markers of filled stations in their own
/// colour.
void DrawPath(cairo_t* cr, const Panel& p, const std::vector<Point>& points,
              std::span<const PlotStation> stations, bool skip_first) {
  cairo_save(cr);
  ClipTo(cr, p);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgb(cr, 0.12, 0.2, 0.35);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x = p.PageX(points[i].u), y = p.PageY(points[i].v);
    if (i == 0) {
      cairo_move_to(cr, x, y);
    } else {
      cairo_line_to(cr, x, y);
    }
  }
  if (points.size() == 1) cairo_line_to(cr, p.PageX(points[0].u), p.PageY(points[0].v));
  cairo_stroke(cr);

  const bool mark_measured = stations.size() <= kMaxMarkedStations;
  const std::size_t offset = skip_first ? 1 : 0;
  for (bool filled : {false, true}) {
    if (!filled && !mark_measured) continue;
    SetColour(cr, filled ? kFilledColour : kMeasuredColour);
    for (std::size_t i = 0; i < stations.size(); ++i) {
      if (stations[i].filled != filled) continue;
      const Point& pt = points[i + offset];
      cairo_new_sub_path(cr);
      cairo_arc(cr, p.PageX(pt.u), p.PageY(pt.v), kMarkerRadius, 0, 2 * std::numbers::pi);
    }
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void DrawWellhead(cairo_t* cr, const Panel& p) {
  cairo_save(cr);
  ClipTo(cr, p);
  SetColour(cr, kWellheadColour);
  cairo_rectangle(cr, p.PageX(0) - kWellheadSide / 2, p.PageY(0) - kWellheadSide / 2, kWellheadSide,
                  kWellheadSide);
  cairo_fill(cr);
  cairo_restore(cr);
}

/// The closure of the deepest station, above the plan view's right edge
/// where it never hides a station.
void DrawClosureNote(cairo_t* cr, const Panel& p, const std::string& text) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  DrawText(cr, p.left + p.width, p.top - 8, text, 12, 1, 1);
  cairo_restore(cr);
}

void DrawLegend(cairo_t* cr, bool any_filled, bool closure) {
  struct Entry {
    Rgb colour;
    bool square;
    bool dashed;
    std::string label;
  };
  std::vector<Entry> entries = {{kWellheadColour, true, false, "井口 wellhead"},
                                {kMeasuredColour, false, false, "实测 measured station"}};
  if (any_filled) entries.push_back({kFilledColour, false, false, "插补 filled (interpolated)"});
  if (closure) entries.push_back({{44, 160, 44}, false, true, "闭合线 closure"});

  double total = 0;
  for (const Entry& e : entries) total += 22 + TextWidth(cr, e.label, 12) + 26;
  double x = (kPageWidth - total) / 2;
  const double y = kLegendBaseline - 4;
  cairo_save(cr);
  for (const Entry& e : entries) {
    SetColour(cr, e.colour);
    if (e.dashed) {
      const double dash[] = {6, 4};
      cairo_set_dash(cr, dash, 2, 0);
      cairo_set_line_width(cr, 2);
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x + 16, y);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
    } else if (e.square) {
      cairo_rectangle(cr, x + 8 - kWellheadSide / 2, y - kWellheadSide / 2, kWellheadSide,
                      kWellheadSide);
      cairo_fill(cr);
    } else {
      cairo_arc(cr, x + 8, y, kMarkerRadius + 1, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    DrawText(cr, x + 22, y, e.label, 12, 0, 0.5);
    x += 22 + TextWidth(cr, e.label, 12) + 26;
  }
  cairo_restore(cr);
}

void Draw(cairo_t* cr, std::span<const PlotStation> stations, const PlotOptions& options,
          const PlotLayout& layout) {
  const std::string& unit = options.depth_unit;
  const PlotStation& last = stations.back();
  const bool any_filled =
      std::any_of(stations.begin(), stations.end(), [](const PlotStation& s) { return s.filled; });
  const bool closure = last.BHJ > 0;

  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  DrawText(cr, kPageWidth / 2.0, kTitleBaseline, options.title, 20, 0.5, 1, 0, true);
  DrawLegend(cr, any_filled, closure);

  // Plan view: east to the right, north up.
  const Panel& plan = layout.plan;
  DrawAxes(cr, plan, "水平投影 Plan view", "东 East Y (" + unit + ")", "北 North X (" + unit + ")",
           6, 6);
  std::vector<Point> points{{0, 0}};
  for (const PlotStation& s : stations) points.push_back({s.Y, s.X});
  if (closure) {
    cairo_save(cr);
    ClipTo(cr, plan);
    cairo_set_source_rgb(cr, 44 / 255.0, 160 / 255.0, 44 / 255.0);
    const double dash[] = {6, 4};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, plan.PageX(0), plan.PageY(0));
    cairo_line_to(cr, plan.PageX(last.Y), plan.PageY(last.X));
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  DrawPath(cr, plan, points, stations, true);
  DrawWellhead(cr, plan);
  DrawClosureNote(cr, plan,
                  "闭合距 closure " + Fixed(last.BHJ, 2) + " " + unit + "   闭合方位 azimuth " +
                      Fixed(last.BHFW, 1) + "°");

  // Vertical section: displacement along the section azimuth, depth down.
  const Panel& section = layout.section;
  DrawAxes(cr, section, "垂直剖面 Vertical section",
           "视位移 displacement at " + Fixed(layout.section_azimuth, 1) + "° (" + unit + ")",
           "垂深 Vertical depth CZJS (" + unit + ")", 5, 8);
  points.assign(1, {0, 0});
  for (const PlotStation& s : stations) {
    points.push_back({Displacement(s, layout.section_azimuth), s.CZJS});
  }
  DrawPath(cr, section, points, stations, true);
  DrawWellhead(cr, section);

  // Curvature against measured depth.
  const Panel& curv = layout.curvature;
  DrawAxes(cr, curv, "井眼曲率 Curvature", "井深 Measured depth JS (" + unit + ")",
           "JYQL (°/" + TickLabel(options.gtdjs) + " " + unit + ")", 12, 4);
  points.clear();
  for (const PlotStation& s : stations) points.push_back({s.JS, s.JYQL});
  DrawPath(cr, curv, points, stations, false);
}

// ---- output ---------------------------------------------------------------

/// The open output file; Cairo writes through it so failures keep errno.
struct Sink {
  std::FILE* file = nullptr;
  int error = 0;
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
  Sink* sink = static_cast<Sink*>(closure);
  if (sink->error != 0) return CAIRO_STATUS_WRITE_ERROR;
  if (std::fwrite(data, 1, length, sink->file) != length) {
    sink->error = errno != 0 ? errno : EIO;
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

}  // namespace

PlotFormat FormatForPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot);
  if (SameLowercase(ext, ".svg")) return PlotFormat::kSvg;
  if (SameLowercase(ext, ".png")) return PlotFormat::kPng;
  if (SameLowercase(ext, ".pdf")) return PlotFormat::kPdf;
  throw PlotError(std::string(path) + ": cannot tell the plot format from " +
                  (ext.empty() ? std::string("a name without extension")
                               : "the extension \"" + std::string(ext) + "\"") +
                  "; use .svg, .png or .pdf");
}

PlotLayout LayOut(std::span<const PlotStation> stations, const PlotOptions& options) {
  if (stations.empty()) throw PlotError("there are no survey stations to plot");
  for (const PlotStation& s : stations) {
    for (double v : {s.JS, s.CZJS, s.X, s.Y, s.BHFW, s.BHJ, s.JYQL}) {
      if (!std::isfinite(v)) {
        throw PlotError("the station at depth " + text::FormatNumber(s.JS, '.') +
                        " has a value that is not a finite number");
      }
    }
  }
  if (options.section_azimuth && !std::isfinite(*options.section_azimuth)) {
    throw PlotError("the section azimuth is not a finite number");
  }
  PlotLayout layout;
  const double a = options.section_azimuth.value_or(stations.back().BHFW);
  layout.section_azimuth = std::fmod(a, 360.0);
  if (layout.section_azimuth < 0) layout.section_azimuth += 360.0;

  Range js{0, 0}, north{0, 0}, east{0, 0}, depth{0, 0}, along{0, 0}, curv{0, 0};
  for (const PlotStation& s : stations) {
    auto take = [](Range& r, double v) {
      r.lo = std::min(r.lo, v);
      r.hi = std::max(r.hi, v);
    };
    take(js, s.JS);
    take(north, s.X);
    take(east, s.Y);
    take(depth, s.CZJS);
    take(along, Displacement(s, layout.section_azimuth));
    take(curv, s.JYQL);
  }
  // A plan of at least one depth unit across, so that a vertical hole shows
  // its wellhead in the middle of a readable grid.
  const double plan_span = std::max({1.0, east.span(), north.span()});
  const double column = (kPageWidth - 2 * kPageMargin - kColumnGap) / 2;

  layout.plan = Inset(kPageMargin, kTopRowTop, kPageMargin + column, kTopRowBottom);
  FitEqualScale(layout.plan, Padded(Widened(east, plan_span), 0.08),
                Padded(Widened(north, plan_span), 0.08), false);

  layout.section =
      Inset(kPageMargin + column + kColumnGap, kTopRowTop, kPageWidth - kPageMargin, kTopRowBottom);
  const double depth_span = std::max(1.0, depth.span());
  FitEqualScale(layout.section, Padded(Widened(along, 1.0), 0.05),
                Padded(Widened(depth, depth_span), 0.04), true);

  layout.curvature = Inset(kPageMargin, kBottomRowTop, kPageWidth - kPageMargin, kBottomRowBottom);
  const Range js_range = Padded(Widened(js, 1.0), 0.02);
  layout.curvature.u0 = std::min(0.0, js_range.lo);
  layout.curvature.u1 = js_range.hi;
  const Range curv_range = curv.span() > 0 ? Padded(curv, 0.1) : Range{0, 1};
  layout.curvature.v0 = std::min(0.0, curv_range.lo);
  layout.curvature.v1 = curv_range.hi;
  return layout;
}

void WritePlot(std::span<const PlotStation> stations, const PlotOptions& options,
               const std::string& path) {
  const PlotFormat format = FormatForPath(path);
  const PlotLayout layout = LayOut(stations, options);

  Sink sink;
  sink.file = std::fopen(path.c_str(), "wb");
  if (!sink.file) throw PlotError("cannot write " + path + ": " + std::strerror(errno));
  // Cairo may still write while the surface is destroyed after a failure:
  // the error mark makes the sink refuse that once the file is closed.
  auto fail = [&](const std::string& why) {
    if (sink.error == 0) sink.error = EIO;
    std::fclose(sink.file);
    std::remove(path.c_str());
    throw PlotError("cannot write " + path + ": " + why);
  };

  SurfacePtr surface;
  switch (format) {
    case PlotFormat::kSvg:
      surface.reset(
          cairo_svg_surface_create_for_stream(WriteToSink, &sink, kPageWidth, kPageHeight));
      break;
    case PlotFormat::kPdf:
      surface.reset(
          cairo_pdf_surface_create_for_stream(WriteToSink, &sink, kPageWidth, kPageHeight));
      break;
    case PlotFormat::kPng:
      surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPageWidth, kPageHeight));
      break;
  }
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    fail(cairo_status_to_string(cairo_surface_status(surface.get())));
  }
  {
    ContextPtr cr(cairo_create(surface.get()));
    Draw(cr.get(), stations, options, layout);
    if (format != PlotFormat::kPng) cairo_show_page(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
      fail(cairo_status_to_string(cairo_status(cr.get())));
    }
  }
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  if (format == PlotFormat::kPng) {
    status = cairo_surface_write_to_png_stream(surface.get(), WriteToSink, &sink);
  } else {
    cairo_surface_finish(surface.get());
    status = cairo_surface_status(surface.get());
  }
  surface.reset();
  if (sink.error != 0) fail(std::strerror(sink.error));
  if (status != CAIRO_STATUS_SUCCESS) fail(cairo_status_to_string(status));
  if (std::fclose(sink.file) != 0) {
    const int error = errno;
    std::remove(path.c_str());
    throw PlotError("cannot write " + path + ": " + std::strerror(error));
  }
}

}  // namespace lkrva::plot
