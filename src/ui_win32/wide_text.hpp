// Text between UTF-8 (the user-interface seam), UTF-16 (the W functions) and
// the ANSI code page (the A functions).
#pragma once

#include <string>
#include <string_view>

namespace lkrva::ui::win32 {

/// `utf8` as UTF-16; an invalid sequence becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

/// `wide` as UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

/// `utf8` in the system's ANSI code page (CP_ACP, no flags, no default
/// character of our own: a character the code page lacks becomes its
/// best-fit character or the code page's default character).
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace lkrva::ui::win32
