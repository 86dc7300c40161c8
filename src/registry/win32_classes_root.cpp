// Registration on the Windows registry and OLE Automation.
#include "registry/win32_classes_root.hpp"

#include <windows.h>
// after windows.h, which it builds on
#include <oleauto.h>

#include <string>

#include "registry/registry_error.hpp"
#include "registry/typelib_registration.hpp"

namespace lkrva::registry {

namespace {

/// An open registry key, closed on every path.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (h_ != nullptr) ::RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &h_; }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

/// Text in the ANSI code page as UTF-16, for the OLE Automation functions.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) throw RegistryError("cannot convert \"" + text + "\" to UTF-16");
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Describe(std::string_view path) { return "HKEY_CLASSES_ROOT\\" + std::string(path); }

}  // namespace

void Win32ClassesRoot::SetValue(std::string_view path, std::string_view name,
                                std::string_view data) {
  const std::string key_path(path);
  Key key;
  LONG rc = ::RegCreateKeyExA(HKEY_CLASSES_ROOT, key_path.c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.out(), nullptr);
  if (rc != ERROR_SUCCESS) {
    throw RegistryError("cannot create " + Describe(path) + " (error " + std::to_string(rc) + ")");
  }
  const std::string value_name(name);
  const std::string value(data);
  rc = ::RegSetValueExA(key.get(), value_name.empty() ? nullptr : value_name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
  if (rc != ERROR_SUCCESS) {
    throw RegistryError("cannot set " + Describe(path) + " " + value_name + " (error " +
                        std::to_string(rc) + ")");
  }
}

DeleteOutcome Win32ClassesRoot::DeleteKey(std::string_view path) {
  const std::string key_path(path);
  {
    Key key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key_path.c_str(), 0, KEY_READ, key.out()) !=
        ERROR_SUCCESS) {
      return DeleteOutcome::kMissing;
    }
    DWORD subkeys = 0;
    const LONG rc = ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      throw RegistryError("cannot read " + Describe(path) + " (error " + std::to_string(rc) + ")");
    }
    // Another program's subkey keeps the key; the system would refuse too.
    if (subkeys > 0) return DeleteOutcome::kHasSubkeys;
  }
  const LONG rc = ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key_path.c_str());
  if (rc == ERROR_FILE_NOT_FOUND) return DeleteOutcome::kMissing;
  if (rc != ERROR_SUCCESS) {
    throw RegistryError("cannot delete " + Describe(path) + " (error " + std::to_string(rc) + ")");
  }
  return DeleteOutcome::kDeleted;
}

void Win32ClassesRoot::RegisterTypeLibrary(const TypeLibRegistration&,
                                           const std::string& module_path,
                                           const std::string& help_dir) {
  std::wstring path = Wide(module_path);
  std::wstring help = Wide(help_dir);
  ITypeLib* lib = nullptr;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib);
  if (FAILED(hr)) throw RegistryError("cannot load the type library of " + module_path);
  hr = ::RegisterTypeLib(lib, path.data(), help.empty() ? nullptr : help.data());
  lib->Release();
  if (FAILED(hr)) throw RegistryError("cannot register the type library of " + module_path);
}

void Win32ClassesRoot::UnregisterTypeLibrary(const TypeLibRegistration& lib) {
  using UnRegisterFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
  const HMODULE oleaut = ::GetModuleHandleA("oleaut32.dll");
  if (oleaut == nullptr) return;
  const auto unregister = reinterpret_cast<UnRegisterFn>(
      reinterpret_cast<void*>(::GetProcAddress(oleaut, "UnRegisterTypeLib")));
  if (unregister == nullptr) return;
  unregister(lib.libid, lib.major, lib.minor, lib.lcid, static_cast<SYSKIND>(lib.syskind));
}

}  // namespace lkrva::registry
