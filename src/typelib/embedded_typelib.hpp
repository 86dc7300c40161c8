// Finding the type library a module file carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "typelib/type_library.hpp"

namespace lkrva::typelib {

/// The ELF section our libraries keep their type library in.
inline constexpr const char* kTypeLibSection = ".lkrva_typelib";

/// The type-library bytes stored in the module file at `module_path`: the
/// contents of its kTypeLibSection section, found through the file's ELF
/// section headers (32- or 64-bit, little-endian), every header and offset
/// checked against the file size. A raw MSFT file is returned as it is, as
/// LoadTypeLib accepts one. Throws TypeLibError when the file cannot be
/// read, is not ELF or MSFT, or carries no such section. On Windows the
/// bytes of the module's resource of type "TYPELIB" with identifier 1.
std::vector<uint8_t> FindEmbeddedTypeLib(const std::string& module_path);

/// FindEmbeddedTypeLib, then TypeLibrary::Load: what LoadTypeLib does with
/// a module path.
TypeLibrary LoadTypeLibFromModule(const std::string& module_path);

}  // namespace lkrva::typelib
