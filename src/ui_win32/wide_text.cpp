// UTF-8, UTF-16 and the ANSI code page through the system's own conversions.
#include "ui_win32/wide_text.hpp"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace lkrva::ui::win32 {
namespace {

int Length(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long");
  return static_cast<int>(size);
}

std::string FromWide(UINT code_page, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int chars = Length(wide.size());
  const int bytes =
      WideCharToMultiByte(code_page, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int bytes = Length(utf8.size());
  const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, out.data(), chars);
  return out;
}

std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, Utf8ToWide(utf8)); }

}  // namespace lkrva::ui::win32
