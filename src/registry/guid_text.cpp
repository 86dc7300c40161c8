// Formatting and parsing the braced registry form of a GUID.
#include "registry/guid_text.hpp"

#include <cstdio>
#include <cstring>

namespace lkrva::registry {

std::string FormatGuid(const GUID& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), static_cast<unsigned>(g.Data2),
                static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits at `pos`; false on any non-digit.
bool ReadHex(std::string_view text, std::size_t pos, int digits, unsigned long long& out) {
  out = 0;
  for (int i = 0; i < digits; ++i) {
    const int d = HexDigit(text[pos + static_cast<std::size_t>(i)]);
    if (d < 0) return false;
    out = out * 16 + static_cast<unsigned>(d);
  }
  return true;
}

}  // namespace

std::optional<GUID> ParseGuid(std::string_view t) {
  // {8-4-4-4-12}: 38 characters with the dashes at fixed places.
  if (t.size() != 38 || t.front() != '{' || t.back() != '}') return std::nullopt;
  if (t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-') return std::nullopt;
  GUID g{};
  unsigned long long v = 0;
  if (!ReadHex(t, 1, 8, v)) return std::nullopt;
  g.Data1 = static_cast<uint32_t>(v);
  if (!ReadHex(t, 10, 4, v)) return std::nullopt;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ReadHex(t, 15, 4, v)) return std::nullopt;
  g.Data3 = static_cast<uint16_t>(v);
  static constexpr std::size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(t, kBytePos[i], 2, v)) return std::nullopt;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  return g;
}

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

}  // namespace lkrva::registry
