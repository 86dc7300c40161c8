// The REGEDIT4 text form of the registry tree: what the registry file holds.
#pragma once

#include <string>
#include <string_view>

#include "registry/registry_tree.hpp"

namespace lkrva::registry {

/// Writes the tree as REGEDIT4 text: the "REGEDIT4" line, then every key
/// under HKEY_CLASSES_ROOT parent first, in case-insensitive name order, each
/// as a "[HKEY_CLASSES_ROOT\...]" line, its string values ("@" for the
/// default value first) and a blank line. Lines end in LF. The same tree
/// always gives the same text.
std::string WriteRegFile(const RegistryTree& tree);

/// Reads REGEDIT4 text. Accepts CRLF or LF, blank lines, ";" comments, key
/// lines under HKEY_CLASSES_ROOT (any case) and string values with the
/// escapes \\ and \". Anything else - another header, another hive, a
/// deletion line, a typed value (dword:, hex:), a value outside a key,
/// an unterminated string - throws RegistryFileError
/// "<source>:<line>: <what is wrong>".
RegistryTree ReadRegFile(std::string_view text, std::string_view source);

}  // namespace lkrva::registry
