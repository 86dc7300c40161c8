// The register/unregister algorithms of the in-process server.
#include "registry/server_registration.hpp"

#include "com/guid.hpp"

namespace lkrva::registry {

HRESULT RegisterServer(ClassesRoot& registry, const ServerRegistration& server,
                       const std::string& module_path) noexcept {
  try {
    registry.RegisterTypeLibrary(server.type_library, module_path, ModuleFolder(module_path));
    const std::string clsid = com::FormatGuid(server.clsid);
    const std::string key = "CLSID\\" + clsid;
    const std::string version =
        std::to_string(server.type_library.major) + "." + std::to_string(server.type_library.minor);
    // One change per value: a failure part-way leaves the earlier values, as
    // the registration contract says.
    registry.SetValue(key, "", server.description);
    registry.SetValue(key + "\\InprocServer32", "", InprocServerPath(module_path));
    registry.SetValue(key + "\\InprocServer32", "ThreadingModel", server.threading_model);
    registry.SetValue(server.prog_id, "", server.description);
    registry.SetValue(server.prog_id + "\\Clsid", "", clsid);
    registry.SetValue(key + "\\ProgID", "", server.prog_id);
    registry.SetValue(key + "\\Version", "", version);
    registry.SetValue(key + "\\TypeLib", "", com::FormatGuid(server.type_library.libid));
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT UnregisterServer(ClassesRoot& registry, const ServerRegistration& server) noexcept {
  try {
    registry.UnregisterTypeLibrary(server.type_library);
  } catch (...) {
    // The type library's own unregistration result does not count.
  }
  try {
    const std::string key = "CLSID\\" + com::FormatGuid(server.clsid);
    const std::string keys[] = {key + "\\TypeLib",
                                key + "\\Version",
                                key + "\\ProgID",
                                server.prog_id + "\\Clsid",
                                server.prog_id,
                                key + "\\InprocServer32",
                                key};
    for (const std::string& k : keys) {
      try {
        registry.DeleteKey(k);
      } catch (...) {
        // Each key stands alone: one that cannot be deleted does not stop the rest.
      }
    }
  } catch (...) {
    // Out of memory building the key names: nothing more can be done.
  }
  return S_OK;
}

}  // namespace lkrva::registry
