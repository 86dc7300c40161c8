// Converting UTF-16 to the locale's 8-bit character set: with iconv, and on
// Windows with WideCharToMultiByte into the system's ANSI code page.
#include "text/ansi_text.hpp"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#endif

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace lkrva::text {

namespace {

constexpr char32_t kReplacement = U'?';

/// Code points of `utf16`; a lone surrogate becomes kReplacement.
std::vector<char32_t> CodePoints(std::u16string_view utf16) {
  std::vector<char32_t> out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{utf16[i + 1]} - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out.push_back(kReplacement);
    } else {
      out.push_back(u);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

#if defined(_WIN32)

/// The code page a character-set name stands for: "CP936" and the like,
/// as LocaleCharset() names the ANSI code page; 0 for any other name.
UINT CodePageOf(const std::string& charset) {
  if (charset.size() < 3 || (charset[0] != 'C' && charset[0] != 'c') ||
      (charset[1] != 'P' && charset[1] != 'p')) {
    return 0;
  }
  UINT page = 0;
  for (std::size_t i = 2; i < charset.size(); ++i) {
    if (charset[i] < '0' || charset[i] > '9' || page > 100000) return 0;
    page = page * 10 + static_cast<UINT>(charset[i] - '0');
  }
  return page;
}

std::string ReadLocaleCharset() { return "CP" + std::to_string(::GetACP()); }

#else

/// An iconv descriptor that is closed on every path.
class Converter {
 public:
  explicit Converter(const std::string& to) : cd_(iconv_open(to.c_str(), "UTF-32LE")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("cannot convert text to the character set \"" + to + "\"");
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  /// Converts one code point; false (and nothing written) when the set lacks it.
  bool Put(char32_t c, std::string& out) {
    unsigned char in[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                           static_cast<unsigned char>(c >> 16),
                           static_cast<unsigned char>(c >> 24)};
    char* in_ptr = reinterpret_cast<char*>(in);
    std::size_t in_left = sizeof in;
    char buf[32];
    char* out_ptr = buf;
    std::size_t out_left = sizeof buf;
    const std::size_t r = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
    if (r == static_cast<std::size_t>(-1)) return false;
    // glibc counts characters it converted irreversibly (with a substitute);
    // such a character is not representable.
    if (r > 0) return false;
    out.append(buf, static_cast<std::size_t>(out_ptr - buf));
    return true;
  }

  /// Ends a stateful encoding (shift sequences) in its initial state.
  void Finish(std::string& out) {
    char buf[32];
    char* out_ptr = buf;
    std::size_t out_left = sizeof buf;
    iconv(cd_, nullptr, nullptr, &out_ptr, &out_left);
    out.append(buf, static_cast<std::size_t>(out_ptr - buf));
  }

 private:
  iconv_t cd_;
};

std::string ReadLocaleCharset() {
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return "ANSI_X3.4-1968";
  const char* codeset = nl_langinfo_l(CODESET, loc);
  std::string name = (codeset != nullptr && *codeset != '\0') ? codeset : "ANSI_X3.4-1968";
  freelocale(loc);
  return name;
}

#endif  // _WIN32

// Read while the library loads, like the decimal separator.
[[maybe_unused]] const std::string& charset_at_load = LocaleCharset();

}  // namespace

const std::string& LocaleCharset() {
  static const std::string charset = ReadLocaleCharset();
  return charset;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (const char32_t c : CodePoints(utf16)) AppendUtf8(out, c);
  return out;
}

#if defined(_WIN32)

std::string Utf16ToCharset(std::u16string_view utf16, const std::string& charset) {
  if (charset == "UTF-8") return Utf16ToUtf8(utf16);
  const UINT page = CodePageOf(charset);
  CPINFO info{};
  if (page == 0 || !::GetCPInfo(page, &info)) {
    throw std::runtime_error("cannot convert text to the character set \"" + charset + "\"");
  }
  std::string out;
  // One code point at a time, so an unrepresentable one (and a lone
  // surrogate) becomes "?" alone, whatever the code page's default character.
  for (const char32_t c : CodePoints(utf16)) {
    wchar_t units[2];
    int count = 1;
    if (c >= 0x10000) {
      units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      count = 2;
    } else {
      units[0] = static_cast<wchar_t>(c);
    }
    char buf[16];
    BOOL lossy = FALSE;
    // UTF-7 and UTF-8 code pages take no default-character arguments.
    const bool utf = page == CP_UTF7 || page == CP_UTF8;
    const int n = ::WideCharToMultiByte(page, utf ? 0 : WC_NO_BEST_FIT_CHARS, units, count, buf,
                                        sizeof buf, nullptr, utf ? nullptr : &lossy);
    if (n <= 0 || lossy) {
      out += '?';
    } else {
      out.append(buf, static_cast<std::size_t>(n));
    }
  }
  return out;
}

#else

std::string Utf16ToCharset(std::u16string_view utf16, const std::string& charset) {
  if (charset == "UTF-8") return Utf16ToUtf8(utf16);
  Converter converter(charset);
  std::string out;
  out.reserve(utf16.size());
  // One code point at a time, so an unrepresentable one is replaced alone.
  for (const char32_t c : CodePoints(utf16)) {
    if (!converter.Put(c, out)) converter.Put(kReplacement, out);
  }
  converter.Finish(out);
  return out;
}

#endif  // _WIN32

std::string Utf16ToLocaleText(std::u16string_view utf16) {
  return Utf16ToCharset(utf16, LocaleCharset());
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
  while (i < utf8.size()) {
    const unsigned char b = byte(i);
    std::size_t extra = 0;
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
    } else if (b >= 0xC2 && b < 0xE0) {
      extra = 1, c = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
      extra = 2, c = b & 0x0F;
    } else if (b >= 0xF0 && b < 0xF5) {
      extra = 3, c = b & 0x07;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = true;
    for (std::size_t k = 1; ok && k <= extra; ++k) {
      if (i + k >= utf8.size() || (byte(i + k) & 0xC0) != 0x80) {
        ok = false;
      } else {
        c = (c << 6) | (byte(i + k) & 0x3F);
      }
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
    const char32_t min[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || c < min[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += extra + 1;
  }
  return out;
}

}  // namespace lkrva::text
