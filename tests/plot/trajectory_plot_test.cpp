#include "plot/trajectory_plot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "plot_files.hpp"

namespace lkrva::plot {
namespace {

using testing::FreshDir;
using testing::operator==;

/// A hole building angle towards the north-east, one reading filled.
std::vector<PlotStation> Building(bool with_filled) {
  std::vector<PlotStation> s;
  double x = 0, y = 0, z = 0;
  for (int i = 1; i <= 12; ++i) {
    const double inc = 3.0 * i, azi = 40 + 2.0 * i;
    const double step = 50;
    const double h = step * std::sin(inc * 3.14159265358979 / 180);
    x += h * std::cos(azi * 3.14159265358979 / 180);
    y += h * std::sin(azi * 3.14159265358979 / 180);
    z += step * std::cos(inc * 3.14159265358979 / 180);
    const double bhfw = std::atan2(y, x) * 180 / 3.14159265358979;
    s.push_back({50.0 * i, inc, azi, z, x, y, bhfw, std::hypot(x, y), 1.5 + 0.2 * i,
                 with_filled && i == 6});
  }
  return s;
}

TEST(plot_format, follows_the_extension_in_any_case) {
  EXPECT_EQ(FormatForPath("a/b.svg"), PlotFormat::kSvg);
  EXPECT_EQ(FormatForPath("WELL.PNG"), PlotFormat::kPng);
  EXPECT_EQ(FormatForPath("x.y/z.Pdf"), PlotFormat::kPdf);
}

TEST(plot_format, other_extensions_are_refused_naming_the_accepted_ones) {
  for (const char* path : {"plot.jpg", "plot", "dir.png/plot"}) {
    try {
      FormatForPath(path);
      ADD_FAILURE() << path << " was accepted";
    } catch (const PlotError& e) {
      EXPECT_NE(std::string(e.what()).find(".svg, .png or .pdf"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  const auto dir = FreshDir("bad-extension");
  EXPECT_THROW(WritePlot(Building(false), {}, (dir / "p.gif").string()), PlotError);
  EXPECT_FALSE(std::filesystem::exists(dir / "p.gif"));
}

TEST(plot_files, png_has_the_page_size_the_wellhead_and_the_filled_colour) {
  const auto dir = FreshDir("png");
  PlotOptions options;
  options.title = "ZK01 钻孔轨迹";
  const std::vector<PlotStation> stations = Building(true);
  WritePlot(stations, options, (dir / "p.png").string());

  const auto [w, h] = testing::PngSize(dir / "p.png");
  EXPECT_EQ(w, 1200u);
  EXPECT_EQ(h, 900u);
  const testing::Image image = testing::LoadPng(dir / "p.png");
  ASSERT_EQ(image.width, 1200);

  const PlotLayout layout = LayOut(stations, options);
  EXPECT_TRUE(image.At(layout.plan.PageX(0), layout.plan.PageY(0)) == kWellheadColour);
  EXPECT_TRUE(image.At(layout.section.PageX(0), layout.section.PageY(0)) == kWellheadColour);
  // The filled station's marker in the curvature panel, a measured one next to it.
  const PlotStation& filled = stations[5];
  EXPECT_TRUE(image.At(layout.curvature.PageX(filled.JS), layout.curvature.PageY(filled.JYQL)) ==
              kFilledColour);
  const PlotStation& measured = stations[6];
  EXPECT_TRUE(image.At(layout.curvature.PageX(measured.JS),
                       layout.curvature.PageY(measured.JYQL)) == kMeasuredColour);
  // And in the plan view, at its north and east coordinates.
  EXPECT_TRUE(image.At(layout.plan.PageX(filled.Y), layout.plan.PageY(filled.X)) == kFilledColour);
}

TEST(plot_files, no_filled_colour_without_filled_readings) {
  const auto dir = FreshDir("no-filled");
  WritePlot(Building(false), {}, (dir / "p.png").string());
  const testing::Image image = testing::LoadPng(dir / "p.png");
  EXPECT_EQ(image.Count(kFilledColour), 0u);
  EXPECT_GT(image.Count(kMeasuredColour), 0u);
}

TEST(plot_files, svg_is_xml_with_the_page_size_in_points) {
  const auto dir = FreshDir("svg");
  PlotOptions options;
  options.title = "井 <1> & \"2\"";  // markup characters in text stay text
  options.depth_unit = "ft";
  WritePlot(Building(true), options, (dir / "p.svg").string());
  const testing::SvgRoot root = testing::ParseSvg(dir / "p.svg");
  EXPECT_EQ(root.error, "");
  EXPECT_EQ(root.element, "svg");
  EXPECT_EQ(root.width, "1200pt");
  EXPECT_EQ(root.height, "900pt");
}

TEST(plot_files, pdf_has_one_page_of_the_page_size) {
  const auto dir = FreshDir("pdf");
  WritePlot(Building(true), {}, (dir / "p.pdf").string());
  const std::string pdf = testing::ReadFile(dir / "p.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(testing::PdfPageCount(pdf), 1);
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 1200 900 ]"), std::string::npos);
}

TEST(plot_files, an_unwritable_path_is_an_error_naming_it) {
  try {
    WritePlot(Building(false), {}, "/nonexistent-lkrva-dir/p.png");
    ADD_FAILURE() << "no error";
  } catch (const PlotError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot write /nonexistent-lkrva-dir/p.png"),
              std::string::npos)
        << e.what();
  }
}

TEST(plot_layout, section_azimuth_defaults_to_the_deepest_closure_azimuth) {
  std::vector<PlotStation> stations = Building(false);
  stations.back().BHFW = 123.5;
  EXPECT_DOUBLE_EQ(LayOut(stations, {}).section_azimuth, 123.5);
  PlotOptions options;
  options.section_azimuth = -90;
  EXPECT_DOUBLE_EQ(LayOut(stations, options).section_azimuth, 270);
}

TEST(plot_layout, plan_and_section_keep_one_scale_for_both_axes) {
  const PlotLayout layout = LayOut(Building(false), {});
  for (const Panel* p : {&layout.plan, &layout.section}) {
    EXPECT_NEAR(p->width / (p->u1 - p->u0), p->height / std::abs(p->v1 - p->v0), 1e-9);
  }
  EXPECT_GT(layout.section.v0, layout.section.v1);  // depth grows downwards
}

/// Every range of a layout is finite and not empty.
void ExpectUsable(const PlotLayout& layout) {
  for (const Panel* p : {&layout.plan, &layout.section, &layout.curvature}) {
    for (double v : {p->u0, p->u1, p->v0, p->v1}) EXPECT_TRUE(std::isfinite(v));
    EXPECT_GT(p->u1 - p->u0, 0);
    EXPECT_NE(p->v1, p->v0);
  }
}

TEST(plot_degenerate, one_station_a_vertical_hole_and_no_curvature_render) {
  const std::vector<std::vector<PlotStation>> surveys = {
      {{100, 0, 0, 100, 0, 0, 0, 0, 0, false}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, true}},  // at the wellhead itself, filled
      {{100, 0, 0, 100, 0, 0, 0, 0, 0, false},
       {200, 0, 0, 200, 0, 0, 0, 0, 0, false},
       {300, 0, 0, 300, 0, 0, 0, 0, 0, true}},
  };
  const auto dir = FreshDir("degenerate");
  for (std::size_t i = 0; i < surveys.size(); ++i) {
    const PlotLayout layout = LayOut(surveys[i], {});
    ExpectUsable(layout);
    for (const char* ext : {".png", ".svg", ".pdf"}) {
      const auto path = dir / (std::to_string(i) + ext);
      ASSERT_NO_THROW(WritePlot(surveys[i], {}, path.string())) << path;
    }
    const testing::Image image = testing::LoadPng(dir / (std::to_string(i) + ".png"));
    EXPECT_TRUE(image.At(layout.plan.PageX(0), layout.plan.PageY(0)) == kWellheadColour) << i;
    EXPECT_EQ(testing::ParseSvg(dir / (std::to_string(i) + ".svg")).error, "");
  }
}

TEST(plot_degenerate, no_stations_or_a_non_finite_value_is_an_error) {
  EXPECT_THROW(LayOut({}, {}), PlotError);
  std::vector<PlotStation> stations = Building(false);
  stations[3].X = NAN;
  EXPECT_THROW(LayOut(stations, {}), PlotError);
}

}  // namespace
}  // namespace lkrva::plot
