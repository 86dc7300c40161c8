// Line editing of the input query's entry.
#include "ui/entry_editor.hpp"

#include <utility>

namespace lkrva::ui {

namespace {
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
}  // namespace

EntryEditor::EntryEditor(std::string default_text, std::size_t max_chars)
    : default_text_(std::move(default_text)), max_chars_(max_chars) {}

void EntryEditor::Unselect() {
  if (selected_) text_.clear();
  selected_ = false;
}

std::size_t EntryEditor::Chars() const {
  std::size_t n = 0;
  for (const char c : text_) n += IsContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
  return n;
}

EntryEditor::Outcome EntryEditor::Feed(unsigned char byte) {
  refused_ = false;
  switch (byte) {
    case '\r':
    case '\n':
      return Outcome::kAccepted;
    case 0x03:  // Ctrl-C
      return Outcome::kCancelled;
    case 0x04:  // Ctrl-D: end of input on an empty entry, as a shell treats it
      return Text().empty() ? Outcome::kCancelled : Outcome::kEditing;
    case 0x7F:
    case 0x08: {
      Unselect();
      while (!text_.empty() && IsContinuation(static_cast<unsigned char>(text_.back()))) {
        text_.pop_back();
      }
      if (!text_.empty()) text_.pop_back();
      return Outcome::kEditing;
    }
    case 0x15:  // Ctrl-U
      Unselect();
      text_.clear();
      return Outcome::kEditing;
    default:
      break;
  }
  if (byte < 0x20) return Outcome::kEditing;
  if (IsContinuation(byte)) {
    // Belongs to the character before it, kept or dropped with it.
    if (!dropping_continuation_ && !selected_ && !text_.empty()) text_ += static_cast<char>(byte);
    return Outcome::kEditing;
  }
  Unselect();
  dropping_continuation_ = Chars() >= max_chars_;
  if (dropping_continuation_) {
    refused_ = true;
    return Outcome::kEditing;
  }
  text_ += static_cast<char>(byte);
  return Outcome::kEditing;
}

}  // namespace lkrva::ui
