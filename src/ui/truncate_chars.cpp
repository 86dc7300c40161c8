// Cutting UTF-8 text to a number of characters.
#include "ui/user_interface.hpp"

namespace lkrva::ui {

std::string TruncateChars(const std::string& utf8, std::size_t max_chars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // A character starts at every byte that is not a continuation byte.
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (chars == max_chars) return utf8.substr(0, i);
      ++chars;
    }
  }
  return utf8;
}

}  // namespace lkrva::ui
