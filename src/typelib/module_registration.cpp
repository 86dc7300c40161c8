// Registration facts taken from a loaded type library, and the module-level entry points.
#include "typelib/module_registration.hpp"

#include "typelib/embedded_typelib.hpp"
#include "typelib/msft_constants.hpp"
#if defined(_WIN32)
#include "registry/win32_classes_root.hpp"
#endif

namespace lkrva::typelib {

ClassNames ClassNamesOf(const TypeLibrary& lib, const GUID& clsid) {
  const TypeInfo* cls = lib.type_info_of_guid(clsid);
  if (cls == nullptr || cls->attr.typekind != kTkindCoclass) {
    throw TypeLibError("the type library " + lib.documentation(-1).name + " has no such class");
  }
  return {cls->doc.name, cls->doc.doc_string, lib.documentation(-1).name + "." + cls->doc.name};
}

registry::ServerRegistration ServerRegistrationOf(const TypeLibrary& lib, const GUID& clsid) {
  registry::ServerRegistration server;
  const LibAttr& attr = lib.lib_attr();
  server.type_library.libid = attr.guid;
  server.type_library.major = attr.major;
  server.type_library.minor = attr.minor;
  server.type_library.lcid = attr.lcid;
  server.type_library.syskind = attr.syskind;
  server.type_library.help_string = lib.documentation(-1).doc_string;
  for (std::size_t i = 0; i < lib.type_info_count(); ++i) {
    const TypeInfo& t = lib.type_info(i);
    // Only interfaces the automation marshaller can carry are recorded.
    const bool automation = t.attr.typekind == kTkindDispatch ||
                            (t.attr.typekind == kTkindInterface &&
                             (t.attr.flags & (kTypeFlagOleAutomation | kTypeFlagDual)) != 0);
    if (automation) server.type_library.interfaces.push_back({t.attr.guid, t.doc.name});
  }
  const ClassNames names = ClassNamesOf(lib, clsid);
  server.clsid = clsid;
  server.description = names.description;
  server.prog_id = names.prog_id;
  return server;
}

HRESULT RegisterModule(registry::ClassesRoot& registry, const std::string& module_path,
                       const GUID& clsid) noexcept {
  try {
    const TypeLibrary lib = LoadTypeLibFromModule(module_path);
    return registry::RegisterServer(registry, ServerRegistrationOf(lib, clsid), module_path);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT UnregisterModule(registry::ClassesRoot& registry, const std::string& module_path,
                         const GUID& clsid) noexcept {
  registry::ServerRegistration server;
  try {
    server = ServerRegistrationOf(LoadTypeLibFromModule(module_path), clsid);
  } catch (...) {
    return E_FAIL;  // the library's attributes could not be read
  }
  return registry::UnregisterServer(registry, server);
}

#if defined(_WIN32)

HRESULT RegisterModule(const std::string& module_path, const GUID& clsid) noexcept {
  registry::Win32ClassesRoot registry;
  return RegisterModule(registry, module_path, clsid);
}

HRESULT UnregisterModule(const std::string& module_path, const GUID& clsid) noexcept {
  registry::Win32ClassesRoot registry;
  return UnregisterModule(registry, module_path, clsid);
}

#else

HRESULT RegisterModule(const std::string& module_path, const GUID& clsid) noexcept {
  try {
    registry::Registry registry = registry::Registry::OpenDefault();
    return RegisterModule(registry, module_path, clsid);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT UnregisterModule(const std::string& module_path, const GUID& clsid) noexcept {
  try {
    registry::Registry registry = registry::Registry::OpenDefault();
    return UnregisterModule(registry, module_path, clsid);
  } catch (...) {
    return E_FAIL;
  }
}

#endif  // _WIN32

}  // namespace lkrva::typelib
