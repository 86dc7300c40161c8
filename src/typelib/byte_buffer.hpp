// A growing little-endian byte buffer for building binary files.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace lkrva::typelib {

class ByteBuffer {
 public:
  uint32_t size() const { return static_cast<uint32_t>(bytes_.size()); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void U8(uint8_t v) { bytes_.push_back(v); }
  void Text(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  // Kept out of line: inlined into its callers, GCC 12 at -O3 takes the
  // vector's range insert for an access past an empty buffer
  // (-Wstringop-overread, -Wstringop-overflow), which it is not.
  [[gnu::noinline]] void Append(const ByteBuffer& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
  }
  /// Pads with 'W', the format's filler byte, up to a multiple of `unit`.
  void PadTo(uint32_t unit) {
    while (size() % unit != 0) bytes_.push_back('W');
  }
  /// Overwrites four bytes already written, for offsets known only later.
  void PatchI32(uint32_t at, int32_t v) {
    for (uint32_t i = 0; i < 4; ++i) {
      bytes_[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace lkrva::typelib
