// The one seam through which every part of the system shows something to the user.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace lkrva::ui {

/// Message-box icons, with the values Windows gives them.
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconWarning = 0x30;

/// The most characters an input query takes.
inline constexpr std::size_t kMaxEntryChars = 255;

/// A progress bar from 0 to the maximum given when it was shown. Closed
/// when destroyed.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  /// Moves the bar one step on.
  virtual void Step() = 0;
  /// Shows the closing caption (the run is complete).
  virtual void Finish(const std::string& caption) = 0;
};

/// Texts are UTF-8. Every call is modal: it returns when the user is done.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  /// Asks for one line of at most kMaxEntryChars characters, offering
  /// `default_text` all selected. The entry on OK; nothing on Cancel.
  virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& default_text) = 0;
  /// A message with one OK button; `icon` is kIconWarning or kIconError.
  virtual void ShowMessage(const std::string& text, const std::string& title,
                           std::uint32_t icon) = 0;
  /// A progress display running from 0 to `maximum`.
  virtual std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) = 0;
};

/// A progress display that shows nothing.
class NoProgress final : public ProgressDisplay {
 public:
  void Step() override {}
  void Finish(const std::string&) override {}
};

/// Cuts `utf8` after `max_chars` characters (whole UTF-8 sequences).
std::string TruncateChars(const std::string& utf8, std::size_t max_chars);

}  // namespace lkrva::ui
