// GUIDs as the registry shows them: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lkrva/com_types.h"

namespace lkrva::registry {

/// Upper-case hexadecimal in braces, the form every registry key and value
/// of ours uses.
std::string FormatGuid(const GUID& guid);

/// Parses the braced form, any letter case. Anything else (missing braces,
/// wrong group lengths, stray characters) gives nullopt.
std::optional<GUID> ParseGuid(std::string_view text);

/// Byte-wise equality of two GUIDs.
bool SameGuid(const GUID& a, const GUID& b);

}  // namespace lkrva::registry
