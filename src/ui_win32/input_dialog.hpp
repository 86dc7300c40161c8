// The input query as a dialog of our own, built in memory.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lkrva::ui::win32 {

/// Control identifiers inside the dialog (besides IDOK and IDCANCEL).
inline constexpr int kInputPromptId = 101;
inline constexpr int kInputEntryId = 102;

/// A modal dialog titled `caption`, centred on the primary screen: `prompt`
/// above a one-line edit box that takes at most kMaxEntryChars characters
/// and shows `default_text` all selected, then "OK" (the default button,
/// Enter) and "Cancel" (Escape; the close box does the same). Texts are
/// UTF-8. While it is open the calling thread's other windows are disabled.
/// The entry on OK; nothing on Cancel, Escape, the close box or when the
/// dialog cannot be made.
std::optional<std::string> RunInputDialog(HINSTANCE module, const std::string& caption,
                                          const std::string& prompt,
                                          const std::string& default_text);

}  // namespace lkrva::ui::win32
