// The typeface of every window: one that shows Chinese text.
#pragma once

#include <string>

namespace lkrva::ui::fltk {

/// Asks fontconfig for "隶书" (LiSu), else WenQuanYi Micro Hei, else any face
/// for simplified Chinese, and makes FLTK's regular and bold sans faces use
/// it. Returns the family chosen; empty when fontconfig found none, in which
/// case FLTK's own faces stay. Call once the display is open.
std::string UseCjkFont();

}  // namespace lkrva::ui::fltk
