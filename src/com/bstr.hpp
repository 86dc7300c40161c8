// BSTRs: length-prefixed UTF-16 strings that cross the binary interface.
#pragma once

#include <cstdint>
#include <string_view>

#include "lkrva/com_types.h"

namespace lkrva::com {

/// A new BSTR holding `length` code units copied from `text` (or zeros when
/// `text` is null), then a NUL. The 32-bit prefix before the first code unit
/// holds the length in bytes. Returns null when memory runs out or the byte
/// length would not fit in 32 bits.
BSTR AllocStringLen(const OLECHAR* text, std::uint32_t length) noexcept;

/// A new BSTR copied from a NUL-terminated `text`; null for a null text.
BSTR AllocString(const OLECHAR* text) noexcept;

/// Frees a BSTR made by AllocString/AllocStringLen; null is ignored.
void FreeString(BSTR text) noexcept;

/// Length in code units from the prefix; 0 for a null BSTR.
std::uint32_t StringLen(BSTR text) noexcept;

/// The code units of a BSTR as a view (empty for null); the BSTR still owns them.
std::u16string_view View(BSTR text) noexcept;

}  // namespace lkrva::com
