// Registering and unregistering the in-process server: the class, its ProgID, its library.
#pragma once

#include <string>

#include "lkrva/com_types.h"
#include "registry/classes_root.hpp"
#include "registry/typelib_registration.hpp"

namespace lkrva::registry {

/// What registration writes, all of it taken from the server's type library.
struct ServerRegistration {
  TypeLibRegistration type_library;
  GUID clsid{};
  std::string description;  ///< the class's help string in the type library
  std::string prog_id;      ///< library name "." class name
  std::string threading_model = "Apartment";
};

/// DllRegisterServer. Registers the type library (module path, help
/// directory = the module's folder), then writes eight values in this
/// order, each as its own change:
///   CLSID\{clsid} = description; CLSID\{clsid}\InprocServer32 = module
///   path, and its ThreadingModel; <progid> = description;
///   <progid>\Clsid = {clsid}; CLSID\{clsid}\ProgID = progid;
///   CLSID\{clsid}\Version = "<major>.<minor>"; CLSID\{clsid}\TypeLib = {libid}.
/// The module path is written as InprocServerPath gives it: in full, blanks
/// and all, except on Windows. The first step that fails ends registration
/// with E_FAIL, keeping what was written. Never throws.
HRESULT RegisterServer(ClassesRoot& registry, const ServerRegistration& server,
                       const std::string& module_path) noexcept;

/// DllUnregisterServer, once the type library's attributes are known:
/// removes the type library's registration, then deletes the seven keys
/// TypeLib, Version, ProgID under CLSID\{clsid}, <progid>\Clsid, <progid>,
/// CLSID\{clsid}\InprocServer32, CLSID\{clsid} in that order, each by itself,
/// ignoring every failure (a missing key is skipped, a key with another
/// program's subkeys stays). Returns S_OK. Never throws.
HRESULT UnregisterServer(ClassesRoot& registry, const ServerRegistration& server) noexcept;

}  // namespace lkrva::registry
