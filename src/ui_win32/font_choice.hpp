// Finding an installed face that can show Chinese texts.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace lkrva::ui::win32 {

/// The first of `faces` that is installed and has a glyph for every
/// character of `text`; empty when none is.
std::wstring FirstFaceShowing(std::span<const std::wstring_view> faces, std::wstring_view text);

/// The faces tried, in order, for the progress window's label: the
/// clerical-script face of the original look first, then common Chinese
/// faces of Windows and of Linux desktops (which Wine uses through
/// fontconfig).
inline constexpr std::array<std::wstring_view, 15> kLabelFaces = {L"隶书",
                                                                  L"LiSu",
                                                                  L"STLiti",
                                                                  L"SimHei",
                                                                  L"黑体",
                                                                  L"SimSun",
                                                                  L"宋体",
                                                                  L"Microsoft YaHei",
                                                                  L"微软雅黑",
                                                                  L"WenQuanYi Micro Hei",
                                                                  L"文泉驿微米黑",
                                                                  L"WenQuanYi Zen Hei",
                                                                  L"Noto Sans CJK SC",
                                                                  L"Noto Serif CJK SC",
                                                                  L"AR PL UMing CN"};

/// The faces tried for dialogs: the system's dialog face first.
inline constexpr std::array<std::wstring_view, 10> kDialogFaces = {L"MS Shell Dlg",
                                                                   L"SimSun",
                                                                   L"宋体",
                                                                   L"Microsoft YaHei",
                                                                   L"微软雅黑",
                                                                   L"WenQuanYi Micro Hei",
                                                                   L"文泉驿微米黑",
                                                                   L"WenQuanYi Zen Hei",
                                                                   L"Noto Sans CJK SC",
                                                                   L"AR PL UMing CN"};

}  // namespace lkrva::ui::win32
