// The neutral-locale name hash of type-library names.
#include "typelib/name_hash.hpp"

#include <stdexcept>
#include <string>

namespace lkrva::typelib {

namespace {

uint32_t Fold(unsigned char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
  if (c == 'W') return 'V';  // the table folds these pairs together
  if (c == 'Y') return 'U';
  if (c == '/') return 0;
  return c;
}

}  // namespace

uint32_t NameHash(std::string_view name) {
  uint32_t h = 0x0DEADBEE;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80) throw std::invalid_argument("name is not ASCII: " + std::string(name));
    h = h * 37u + Fold(c);  // wraps modulo 2^32 by definition
  }
  return 0x00100000u | ((h % 65599u) & 0xFFFFu);
}

}  // namespace lkrva::typelib
