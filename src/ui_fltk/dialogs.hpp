// The modal windows: the input query and the message box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lkrva::ui::fltk {

/// A centred modal window titled `caption`: `prompt` above a one-line entry
/// of at most kMaxEntryChars characters holding `default_text` all selected,
/// then "OK" (the default button, Enter) and "Cancel" (Escape). The entry on
/// OK; nothing on Cancel, Escape or the close box.
std::optional<std::string> RunInputQuery(const std::string& caption, const std::string& prompt,
                                         const std::string& default_text);

/// A centred modal window titled `title` with the warning or error icon
/// (kIconWarning, kIconError; any other value shows no icon), `text` and one
/// "OK" button (Enter; Escape and the close box also end it).
void RunMessageBox(const std::string& text, const std::string& title, std::uint32_t icon);

}  // namespace lkrva::ui::fltk
