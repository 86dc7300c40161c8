// GUIDs as values: comparison, and the text form the registry shows. The one
// place the project parses and formats GUIDs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lkrva/com_types.h"

namespace lkrva::com {

/// True when both GUIDs have the same 16 bytes.
bool SameGuid(const GUID& a, const GUID& b) noexcept;

/// The registry form: upper-case hexadecimal in braces,
/// "{317D7E91-B5A1-4BA1-B91B-21C191095773}".
std::string FormatGuid(const GUID& guid);

/// Reads the registry form (braces required, hexadecimal digits of either
/// case). Throws std::invalid_argument naming the text when it is not one.
GUID ParseGuid(std::string_view text);

/// ParseGuid for text that may be anything (a registry value): nullopt
/// instead of an exception when it is not a GUID.
std::optional<GUID> TryParseGuid(std::string_view text) noexcept;

}  // namespace lkrva::com
