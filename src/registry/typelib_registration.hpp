// The registry keys that record a type library and the interfaces it describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lkrva/com_types.h"
#include "registry/registry.hpp"

namespace lkrva::registry {

/// What a type-library registration needs to know about the library; the
/// type-library layer fills it from a loaded library.
struct TypeLibRegistration {
  struct Interface {
    GUID iid;
    std::string name;
  };
  GUID libid{};
  uint16_t major = 0;
  uint16_t minor = 0;
  uint32_t lcid = 0;
  int syskind = 1;          ///< 0 win16, 1 win32, 2 mac, 3 win64
  std::string help_string;  ///< the library's help string
  /// The interfaces marshalled through the library (oleautomation or dual).
  std::vector<Interface> interfaces;
};

/// "1.0": major and minor in lower-case hexadecimal joined by a point, the
/// form of a type library's version key.
std::string TypeLibVersionKey(uint16_t major, uint16_t minor);

/// "win32", "win64", "win16" or "mac".
std::string SysKindKey(int syskind);

/// Writes TypeLib\{LIBID}\<ver> = help string, ...\<lcid>\<syskind> =
/// module path, ...\FLAGS = "0", ...\HELPDIR = help_dir, and for each
/// interface Interface\{IID} = name with ProxyStubClsid32 = the automation
/// marshaller {00020424-0000-0000-C000-000000000046} and TypeLib = {LIBID}
/// (value Version = <ver>), as one transaction. Throws RegistryError.
void RegisterTypeLib(Registry& registry, const TypeLibRegistration& lib,
                     const std::string& module_path, const std::string& help_dir);

/// Removes what RegisterTypeLib wrote, key by key from the leaves up. An
/// interface key is removed only while its TypeLib still names this library,
/// and keys that hold another program's subkeys stay. Throws RegistryError
/// when the registry cannot be read or written.
void UnregisterTypeLib(Registry& registry, const TypeLibRegistration& lib);

}  // namespace lkrva::registry
