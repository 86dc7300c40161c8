// Writing and removing a type library's registration.
#include "registry/typelib_registration.hpp"

#include <cstdio>

#include "com/guid.hpp"

namespace lkrva::registry {

namespace {

constexpr const char* kAutomationMarshaller = "{00020424-0000-0000-C000-000000000046}";

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

std::string LibraryKey(const TypeLibRegistration& lib) {
  return "TypeLib\\" + com::FormatGuid(lib.libid);
}

}  // namespace

std::string TypeLibVersionKey(uint16_t major, uint16_t minor) {
  return Hex(major) + "." + Hex(minor);
}

std::string SysKindKey(int syskind) {
  switch (syskind) {
    case 0:
      return "win16";
    case 2:
      return "mac";
    case 3:
      return "win64";
    default:
      return "win32";
  }
}

void RegisterTypeLib(Registry& registry, const TypeLibRegistration& lib,
                     const std::string& module_path, const std::string& help_dir) {
  const std::string version = LibraryKey(lib) + "\\" + TypeLibVersionKey(lib.major, lib.minor);
  const std::string libid = com::FormatGuid(lib.libid);
  const std::string version_value = TypeLibVersionKey(lib.major, lib.minor);
  registry.Edit([&](RegistryTree& tree) {
    tree.SetValue(version, "", lib.help_string);
    tree.SetValue(version + "\\" + Hex(lib.lcid) + "\\" + SysKindKey(lib.syskind), "", module_path);
    tree.SetValue(version + "\\FLAGS", "", "0");
    tree.SetValue(version + "\\HELPDIR", "", help_dir);
    for (const auto& itf : lib.interfaces) {
      const std::string key = "Interface\\" + com::FormatGuid(itf.iid);
      tree.SetValue(key, "", itf.name);
      tree.SetValue(key + "\\ProxyStubClsid32", "", kAutomationMarshaller);
      tree.SetValue(key + "\\TypeLib", "", libid);
      tree.SetValue(key + "\\TypeLib", "Version", version_value);
    }
  });
}

void UnregisterTypeLib(Registry& registry, const TypeLibRegistration& lib) {
  const std::string library = LibraryKey(lib);
  const std::string version = library + "\\" + TypeLibVersionKey(lib.major, lib.minor);
  const std::string lcid = version + "\\" + Hex(lib.lcid);
  const std::string libid = com::FormatGuid(lib.libid);
  registry.Edit([&](RegistryTree& tree) {
    for (const auto& itf : lib.interfaces) {
      const std::string key = "Interface\\" + com::FormatGuid(itf.iid);
      const auto owner = tree.GetValue(key + "\\TypeLib", "");
      if (!owner || FoldCase(*owner) != FoldCase(libid)) continue;  // another library's now
      tree.DeleteKey(key + "\\ProxyStubClsid32");
      tree.DeleteKey(key + "\\TypeLib");
      tree.DeleteKey(key);
    }
    for (const std::string& key : {lcid + "\\" + SysKindKey(lib.syskind), lcid, version + "\\FLAGS",
                                   version + "\\HELPDIR", version, library}) {
      tree.DeleteKey(key);  // a key still holding subkeys stays, as it should
    }
  });
}

}  // namespace lkrva::registry
