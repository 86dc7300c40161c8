// HKEY_CLASSES_ROOT as registration changes it: the seam between the
// registration steps and the place they are kept (the registry file here,
// the system's registry on Windows).
#pragma once

#include <string>
#include <string_view>

#include "registry/registry_tree.hpp"

namespace lkrva::registry {

struct TypeLibRegistration;

class ClassesRoot {
 public:
  virtual ~ClassesRoot() = default;
  /// Sets a REG_SZ value ("" names the default value), creating the key and
  /// its missing parents; an existing value is overwritten. Throws
  /// RegistryError.
  virtual void SetValue(std::string_view path, std::string_view name, std::string_view data) = 0;
  /// Deletes one key; a missing key or one with subkeys is left alone, and
  /// the outcome says which. Throws RegistryError when the store fails.
  virtual DeleteOutcome DeleteKey(std::string_view path) = 0;
  /// Records the type library `lib` of the module at `module_path`, with
  /// `help_dir` as its help folder. Throws RegistryError.
  virtual void RegisterTypeLibrary(const TypeLibRegistration& lib, const std::string& module_path,
                                   const std::string& help_dir) = 0;
  /// Removes the record of `lib`. Throws RegistryError.
  virtual void UnregisterTypeLibrary(const TypeLibRegistration& lib) = 0;
};

/// The path registration writes as InprocServer32's default value for the
/// module at `module_path`: the path itself; on Windows, when it contains a
/// blank, its short form (GetShortPathNameA), or the path itself when the
/// file system has no short form for it.
std::string InprocServerPath(const std::string& module_path);

/// The folder part of a module path, up to and including its last '/' (on
/// Windows its last '\' or '/'); "" when there is none: the help directory a
/// registration records.
std::string ModuleFolder(const std::string& module_path);

}  // namespace lkrva::registry
