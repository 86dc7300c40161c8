// BSTR allocation: a 32-bit byte length, the code units, a terminating NUL.
// On Windows the strings come from OLE Automation's allocator, so the host
// and the module free each other's BSTRs.
#include "com/bstr.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace lkrva::com {

#if defined(_WIN32)

BSTR AllocStringLen(const OLECHAR* text, std::uint32_t length) noexcept {
  // SysAllocStringLen takes the length as a UINT and fails on its own when
  // the byte length does not fit the prefix.
  return ::SysAllocStringLen(text, length);
}

BSTR AllocString(const OLECHAR* text) noexcept {
  if (text == nullptr) return nullptr;
  return ::SysAllocString(text);
}

void FreeString(BSTR text) noexcept { ::SysFreeString(text); }

std::uint32_t StringLen(BSTR text) noexcept { return ::SysStringLen(text); }

std::u16string_view View(BSTR text) noexcept {
  if (text == nullptr) return {};
  // OLECHAR is wchar_t here, a UTF-16 code unit like char16_t.
  return {reinterpret_cast<const char16_t*>(text), ::SysStringLen(text)};
}

#else

namespace {
constexpr std::size_t kPrefix = sizeof(std::uint32_t);
}

BSTR AllocStringLen(const OLECHAR* text, std::uint32_t length) noexcept {
  const std::uint64_t bytes = std::uint64_t{length} * sizeof(OLECHAR);
  // The prefix must hold the byte length.
  if (bytes > std::numeric_limits<std::uint32_t>::max() - kPrefix - sizeof(OLECHAR)) return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  const auto prefix = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &prefix, kPrefix);
  auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
  if (text != nullptr) {
    std::memcpy(chars, text, bytes);
  } else {
    std::memset(chars, 0, bytes);
  }
  chars[length] = 0;
  return chars;
}

BSTR AllocString(const OLECHAR* text) noexcept {
  if (text == nullptr) return nullptr;
  std::uint32_t length = 0;
  while (text[length] != 0) ++length;
  return AllocStringLen(text, length);
}

void FreeString(BSTR text) noexcept {
  if (text == nullptr) return;
  std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

std::uint32_t StringLen(BSTR text) noexcept {
  if (text == nullptr) return 0;
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - kPrefix, kPrefix);
  return bytes / static_cast<std::uint32_t>(sizeof(OLECHAR));
}

std::u16string_view View(BSTR text) noexcept {
  if (text == nullptr) return {};
  return {text, StringLen(text)};
}

#endif  // _WIN32

}  // namespace lkrva::com
