// Asking GDI which faces exist and which glyphs they have.
#include "ui_win32/font_choice.hpp"

#include <vector>

namespace lkrva::ui::win32 {
namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool Installed(HDC dc, std::wstring_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(wanted.lfFaceName, face.size());
  bool found = false;
  EnumFontFamiliesExW(dc, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

bool HasGlyphs(HDC dc, std::wstring_view face, std::wstring_view text) {
  LOGFONTW wanted{};
  wanted.lfHeight = -16;
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(wanted.lfFaceName, face.size());
  HFONT font = CreateFontIndirectW(&wanted);
  if (!font) return false;
  HGDIOBJ before = SelectObject(dc, font);
  std::vector<WORD> glyphs(text.size() + 1);
  const DWORD done = GetGlyphIndicesW(dc, std::wstring(text).c_str(), static_cast<int>(text.size()),
                                      glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  bool all = done == text.size();
  for (std::size_t i = 0; all && i < text.size(); ++i) all = glyphs[i] != 0xFFFF;
  SelectObject(dc, before);
  DeleteObject(font);
  return all;
}

}  // namespace

std::wstring FirstFaceShowing(std::span<const std::wstring_view> faces, std::wstring_view text) {
  HDC dc = GetDC(nullptr);
  if (!dc) return {};
  std::wstring chosen;
  for (const std::wstring_view face : faces) {
    if (Installed(dc, face) && HasGlyphs(dc, face, text)) {
      chosen = face;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

}  // namespace lkrva::ui::win32
