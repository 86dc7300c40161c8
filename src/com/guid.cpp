// GUID comparison and the registry text form.
#include "com/guid.hpp"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace lkrva::com {

bool SameGuid(const GUID& a, const GUID& b) noexcept {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

std::string FormatGuid(const GUID& g) {
  char buf[39];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<GUID> TryParseGuid(std::string_view text) noexcept {
  // Positions of the digits in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
  static constexpr std::string_view kPattern = "{........-....-....-....-............}";
  if (text.size() != kPattern.size()) return std::nullopt;
  unsigned char bytes[16] = {};
  std::size_t nibble = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kPattern[i] != '.') {
      if (text[i] != kPattern[i]) return std::nullopt;
      continue;
    }
    const int v = HexValue(text[i]);
    if (v < 0) return std::nullopt;
    bytes[nibble / 2] = static_cast<unsigned char>(bytes[nibble / 2] << 4 | v);
    ++nibble;
  }
  GUID g{};
  g.Data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
            static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
  g.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  g.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  std::memcpy(g.Data4, bytes + 8, 8);
  return g;
}

GUID ParseGuid(std::string_view text) {
  if (const auto g = TryParseGuid(text)) return *g;
  throw std::invalid_argument("\"" + std::string(text) + "\" is not a GUID");
}

}  // namespace lkrva::com
