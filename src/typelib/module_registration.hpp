// Registering a module from the type library it carries: the entry points of DllRegisterServer and
// friends.
#pragma once

#include <string>

#include "lkrva/com_types.h"
#include "registry/classes_root.hpp"
#include "registry/registry.hpp"
#include "registry/server_registration.hpp"
#include "typelib/type_library.hpp"

namespace lkrva::typelib {

/// A class's names as its type library gives them.
struct ClassNames {
  std::string name;         ///< the class's type name: "KRVA"
  std::string description;  ///< its help string: "KRVA"
  std::string prog_id;      ///< library name "." class name: "LKRVA.KRVA"
};

/// The names of the class `clsid`; throws TypeLibError when the library
/// has no such class.
ClassNames ClassNamesOf(const TypeLibrary& lib, const GUID& clsid);

/// Everything registration writes for class `clsid` of `lib`: the library's
/// attributes and help string, its oleautomation/dual interfaces, and the
/// class's names. Throws TypeLibError when the class is missing.
registry::ServerRegistration ServerRegistrationOf(const TypeLibrary& lib, const GUID& clsid);

/// DllRegisterServer for the module file at `module_path`: loads the type
/// library it carries and registers class `clsid` in `registry`. E_FAIL
/// when the type library cannot be loaded or a registry step fails.
HRESULT RegisterModule(registry::ClassesRoot& registry, const std::string& module_path,
                       const GUID& clsid) noexcept;

/// DllUnregisterServer: E_FAIL only when the module's type library cannot
/// be read; otherwise the unregistration runs, ignoring each key's failure.
HRESULT UnregisterModule(registry::ClassesRoot& registry, const std::string& module_path,
                         const GUID& clsid) noexcept;

/// The same against the registry file of the environment (LKRVA_REGISTRY
/// or the default); E_FAIL when that cannot be opened. On Windows against
/// the system's registry (Win32ClassesRoot).
HRESULT RegisterModule(const std::string& module_path, const GUID& clsid) noexcept;
HRESULT UnregisterModule(const std::string& module_path, const GUID& clsid) noexcept;

}  // namespace lkrva::typelib
