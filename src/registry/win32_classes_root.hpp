// HKEY_CLASSES_ROOT of the Windows registry, and the system's type-library
// registration.
#pragma once

#include "registry/classes_root.hpp"

namespace lkrva::registry {

/// Registration's steps on the system: RegCreateKeyExA/RegSetValueExA
/// (8-bit REG_SZ values), RegDeleteKeyA one key at a time, and OLE
/// Automation's RegisterTypeLib and UnRegisterTypeLib.
class Win32ClassesRoot final : public ClassesRoot {
 public:
  void SetValue(std::string_view path, std::string_view name, std::string_view data) override;
  DeleteOutcome DeleteKey(std::string_view path) override;
  /// Loads the library from `module_path` (without registering it) and
  /// hands it to RegisterTypeLib with the full path and `help_dir`.
  void RegisterTypeLibrary(const TypeLibRegistration& lib, const std::string& module_path,
                           const std::string& help_dir) override;
  /// UnRegisterTypeLib with the library's LIBID, version, LCID and system
  /// kind, when OLEAUT32.DLL offers it; its result does not count.
  void UnregisterTypeLibrary(const TypeLibRegistration& lib) override;
};

}  // namespace lkrva::registry
