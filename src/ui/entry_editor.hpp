// The editing rules of the one-line entry of an input query, key by key.
#pragma once

#include <cstddef>
#include <string>

namespace lkrva::ui {

/// The entry starts with its default text all selected, as the dialog shows
/// it: typing replaces the selection, Backspace deletes it. Bytes are UTF-8;
/// the entry takes at most `max_chars` characters and ignores the rest.
class EntryEditor {
 public:
  enum class Outcome { kEditing, kAccepted, kCancelled };

  EntryEditor(std::string default_text, std::size_t max_chars);

  /// Applies one input byte: Enter (CR or LF) accepts; Ctrl-C, and Ctrl-D on
  /// an empty entry, cancel; Backspace (DEL or BS) deletes a character;
  /// Ctrl-U clears the entry; other control bytes are ignored.
  Outcome Feed(unsigned char byte);

  /// The entry as it stands: the default while it is still selected.
  const std::string& Text() const { return selected_ ? default_text_ : text_; }
  bool Selected() const { return selected_; }
  /// True when the last Feed() ignored a byte because the entry was full.
  bool Refused() const { return refused_; }

 private:
  void Unselect();
  std::size_t Chars() const;

  std::string default_text_;
  std::string text_;
  std::size_t max_chars_;
  bool selected_ = true;
  bool refused_ = false;
  bool dropping_continuation_ = false;
};

}  // namespace lkrva::ui
