// Creating KRVA objects for hosts, and the module's unload check.
#include "server/class_factory.hpp"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "com/guid.hpp"
#include "com/module_lock.hpp"
#include "server/krva_object.hpp"
#include "typelib/embedded_typelib.hpp"
#include "typelib/lkrva_identities.hpp"
#include "ui/ui_selection.hpp"

namespace lkrva::server {

using com::SameGuid;

namespace {

KrvaFactory g_factory;

std::mutex g_typelib_mutex;
std::unique_ptr<const KrvaTypeLibrary> g_typelib;  // set once, kept until unload

/// Tells the user why an object could not be made, as an error box titled
/// with the class name (the type library's, when it can be read).
void ReportCreationFailure(const std::string& why) noexcept {
  try {
    std::string caption = "KRVA";
    try {
      caption = KrvaTypeLib().names.name;
    } catch (...) {
      // the fixed name will do
    }
    ui::ActiveUserInterface()->ShowMessage(why, caption, ui::kIconError);
  } catch (...) {
    // Nothing more can be done; the result code still says it failed.
  }
}

}  // namespace

#if defined(_WIN32)

std::string ModulePath() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&g_factory), &module)) {
    throw std::runtime_error("the loader does not know this module's file");
  }
  // GetModuleFileNameA fills the buffer and cuts the path when it is too small.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) throw std::runtime_error("the loader does not know this module's file");
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

#else

std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr ||
      info.dli_fname[0] == '\0') {
    throw std::runtime_error("the loader does not know this module's file");
  }
  return std::filesystem::absolute(info.dli_fname).string();
}

#endif  // _WIN32

const KrvaTypeLibrary& KrvaTypeLib() {
  const std::lock_guard lock(g_typelib_mutex);
  if (!g_typelib) {
    auto lib =
        std::make_shared<const typelib::TypeLibrary>(typelib::LoadTypeLibFromModule(ModulePath()));
    typelib::ClassNames names = typelib::ClassNamesOf(*lib, typelib::kClsidKrva);
    g_typelib = std::make_unique<const KrvaTypeLibrary>(KrvaTypeLibrary{lib, std::move(names)});
  }
  return *g_typelib;
}

HRESULT KrvaFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (SameGuid(riid, IID_IUnknown) || SameGuid(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG KrvaFactory::AddRef() {
  com::Module().FactoryReferenced();
  return static_cast<ULONG>(com::Module().FactoryReferences());
}

ULONG KrvaFactory::Release() {
  if (com::Module().FactoryReferences() <= 0) return 0;  // an extra Release changes nothing
  com::Module().FactoryReleased();
  return static_cast<ULONG>(com::Module().FactoryReferences());
}

HRESULT KrvaFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr && !SameGuid(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  TKRVA* object = nullptr;
  try {
    object = new TKRVA(outer);
  } catch (const std::exception& e) {
    ReportCreationFailure(e.what());
    return E_UNEXPECTED;
  } catch (...) {
    ReportCreationFailure("the object could not be made");
    return E_UNEXPECTED;
  }
  const HRESULT hr = object->Inner()->QueryInterface(riid, ppv);
  if (object->References() == 0) delete object;  // nobody holds it: gone at once
  return hr;
}

#if defined(_WIN32)

HRESULT KrvaFactory::LockServer(BOOL lock) {
  // The system's COM keeps the factory alive while it is locked, and lets go
  // of it with the last unlock; the lock keeps the module loaded as a live
  // object does. What COM says is the answer.
  const HRESULT hr = ::CoLockObjectExternal(static_cast<IClassFactory*>(this), lock, TRUE);
  if (lock) {
    com::Module().Lock();
  } else {
    com::Module().Unlock();
  }
  return hr;
}

#else

HRESULT KrvaFactory::LockServer(BOOL lock) {
  if (lock) {
    com::Module().Lock();
    return S_OK;
  }
  return com::Module().Unlock() ? S_OK : E_UNEXPECTED;
}

#endif  // _WIN32

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (!SameGuid(clsid, CLSID_KRVA)) {
    *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return g_factory.QueryInterface(riid, ppv);
}

HRESULT CanUnloadNow() { return com::Module().CanUnload(); }

}  // namespace lkrva::server
