// Choosing a Chinese face through fontconfig and handing it to FLTK's Xft fonts.
#include "ui_fltk/cjk_font.hpp"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

namespace lkrva::ui::fltk {
namespace {

std::string MatchFamily() {
  // Family names first: the face of the original look, then the one Debian
  // ships in fonts-wqy-microhei. The language makes any other match a face
  // that has the GB2312 characters.
  FcPattern* pattern =
      FcNameParse(reinterpret_cast<const FcChar8*>("LiSu,隶书,WenQuanYi Micro Hei:lang=zh-cn"));
  if (!pattern) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

std::string UseCjkFont() {
  static const std::string family = MatchFamily();
  if (family.empty()) return family;
  // FLTK keeps the pointers; the first character selects the style for Xft:
  // ' ' regular, 'B' bold (emboldened by fontconfig when the face has none).
  static const std::string regular = " " + family;
  static const std::string bold = "B" + family;
  Fl::set_font(FL_HELVETICA, regular.c_str());
  Fl::set_font(FL_HELVETICA_BOLD, bold.c_str());
  return family;
}

}  // namespace lkrva::ui::fltk
