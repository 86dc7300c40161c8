// UTF-16 text from the binary interface as 8-bit text in the locale's character set.
#pragma once

#include <string>
#include <string_view>

namespace lkrva::text {

/// The character set of the user's locale (LC_CTYPE from the environment),
/// as it stood when the library was loaded, read without changing the
/// process's locale: "UTF-8" on most systems, "ANSI_X3.4-1968" for the C locale.
/// On Windows the system's ANSI code page, "CP" and its number ("CP936").
const std::string& LocaleCharset();

/// `utf16` converted to the character set `charset` (an iconv name; on
/// Windows "UTF-8" or a code page "CPnnn"). A character the set cannot
/// represent, and a lone surrogate, become "?". Throws std::runtime_error
/// when there is no such character set.
std::string Utf16ToCharset(std::u16string_view utf16, const std::string& charset);

/// `utf16` converted to LocaleCharset(), by the rules of Utf16ToCharset.
std::string Utf16ToLocaleText(std::u16string_view utf16);

/// `utf16` as UTF-8, lone surrogates as "?". Never fails.
std::string Utf16ToUtf8(std::u16string_view utf16);

/// `utf8` as UTF-16; an invalid byte sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace lkrva::text
