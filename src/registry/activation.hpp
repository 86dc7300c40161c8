// Activation by identity: ProgID -> CLSID -> InprocServer32 -> module -> factory -> object.
#pragma once

#include <string>
#include <string_view>

#include "lkrva/com_types.h"
#include "registry/registry.hpp"

namespace lkrva::registry {

/// <prog_id>\Clsid, parsed. CO_E_CLASSSTRING when the ProgID is not a key
/// name (empty, a backslash or a control character in it), is not
/// registered, or its Clsid value is not a braced GUID; *clsid is then all
/// zero. REGDB_E_READREGDB when the registry cannot be read. Never throws.
HRESULT ClsidFromProgId(const Registry& registry, std::string_view prog_id, CLSID* clsid) noexcept;

/// The default value of CLSID\{clsid}\InprocServer32. REGDB_E_CLASSNOTREG
/// when the class or that value is missing or the value is empty. Never throws.
HRESULT InprocServerPath(const Registry& registry, const CLSID& clsid, std::string* path) noexcept;

/// Creates an object of class `clsid` from the module registered for it,
/// as interface `iid` (see lkrva/lkrva_activation.h for every result).
/// *object is null on every failure. Never throws.
HRESULT CreateInstance(const Registry& registry, const CLSID& clsid, const IID& iid,
                       void** object) noexcept;

/// The same from a module path, without the registry: load (or find) the
/// module, ask its DllGetClassObject for the class factory, create, release
/// the factory. The module stays loaded afterwards.
HRESULT CreateInstanceFromModule(const std::string& module_path, const CLSID& clsid, const IID& iid,
                                 void** object) noexcept;

/// Unloads the loaded modules whose DllCanUnloadNow says S_OK and that no
/// activation is using. Returns how many were unloaded. Never throws.
int FreeUnusedModules() noexcept;

/// The registry the C functions use: the file RegistryFilePath() names, or
/// an empty registry when that file does not exist yet (so a lookup never
/// creates folders). Throws RegistryError when no location can be worked out.
Registry OpenRegistryForLookup();

}  // namespace lkrva::registry
