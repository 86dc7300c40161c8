// Activation by identity, and the table of modules it has loaded.
#include "registry/activation.hpp"

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "com/guid.hpp"
#include "lkrva/lkrva.h"
#include "lkrva/lkrva_activation.h"
#include "registry/file_registry_store.hpp"
#include "registry/registry_error.hpp"
#include "registry/registry_location.hpp"

namespace lkrva::registry {

namespace {

// Unload policy. A module is loaded on the first activation of one of its
// classes and then stays loaded: the objects it made live in its code, and
// only the module itself knows when none is left. It is unloaded only when
// the host asks (LKRVA_FreeUnusedLibraries) and the module's
// DllCanUnloadNow says S_OK at that moment - the rule COM hosts already
// follow. A module without DllCanUnloadNow is never unloaded. Nothing is
// unloaded at process exit: the modules' own destructors run then, and
// closing them earlier could pull code from under objects a host leaked.
struct LoadedModule {
  void* handle = nullptr;
  LKRVA_DllGetClassObjectFn get_class_object = nullptr;
  LKRVA_DllCanUnloadNowFn can_unload_now = nullptr;  // may be null
  int activations_running = 0;  // FreeUnusedModules leaves a module alone while > 0
};

// A regular file that dlopen() refused is a broken module; anything else
// (no such file, a folder, a bare name not on the search path) was not found.
HRESULT LoadFailure(const std::string& path) {
  struct stat info {};
  const bool is_file = path.find('/') != std::string::npos && ::stat(path.c_str(), &info) == 0 &&
                       S_ISREG(info.st_mode);
  return is_file ? CO_E_ERRORINDLL : CO_E_DLLNOTFOUND;
}

class ModuleTable {
 public:
  // Loads the module (or finds it loaded) and counts one running activation
  // on it, which Release() ends.
  HRESULT Acquire(const std::string& path, LoadedModule** module) {
    std::lock_guard lock(mutex_);
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return LoadFailure(path);
    for (const auto& loaded : modules_) {
      if (loaded->handle == handle) {
        ::dlclose(handle);  // the table's own reference keeps it loaded
        ++loaded->activations_running;
        *module = loaded.get();
        return S_OK;
      }
    }
    auto loaded = std::make_unique<LoadedModule>();
    loaded->handle = handle;
    loaded->get_class_object =
        reinterpret_cast<LKRVA_DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    if (loaded->get_class_object == nullptr) {
      ::dlclose(handle);
      return CO_E_ERRORINDLL;
    }
    loaded->can_unload_now =
        reinterpret_cast<LKRVA_DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    loaded->activations_running = 1;
    *module = loaded.get();
    modules_.push_back(std::move(loaded));
    return S_OK;
  }

  void Release(LoadedModule* module) {
    std::lock_guard lock(mutex_);
    --module->activations_running;
  }

  int FreeUnused() {
    std::lock_guard lock(mutex_);
    int unloaded = 0;
    std::erase_if(modules_, [&](const std::unique_ptr<LoadedModule>& module) {
      if (module->activations_running > 0 || module->can_unload_now == nullptr ||
          module->can_unload_now() != S_OK) {
        return false;
      }
      ::dlclose(module->handle);
      ++unloaded;
      return true;
    });
    return unloaded;
  }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<LoadedModule>> modules_;
};

// Never destroyed: modules stay loaded until the process ends (see above),
// and an activation on another thread may still run during exit.
ModuleTable& Modules() {
  static auto* table = new ModuleTable;
  return *table;
}

// One running activation on a module, ended when this goes out of scope.
class ModuleInUse {
 public:
  ModuleInUse() = default;
  ModuleInUse(const ModuleInUse&) = delete;
  ModuleInUse& operator=(const ModuleInUse&) = delete;
  ~ModuleInUse() {
    if (module_ != nullptr) Modules().Release(module_);
  }
  HRESULT Acquire(const std::string& path) { return Modules().Acquire(path, &module_); }
  LoadedModule& operator*() const { return *module_; }

 private:
  LoadedModule* module_ = nullptr;
};

// The result an exception stands for; called inside a catch block.
HRESULT CurrentExceptionResult() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const RegistryError&) {
    return REGDB_E_READREGDB;
  } catch (...) {
    return E_FAIL;
  }
}

bool IsKeyName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace

HRESULT ClsidFromProgId(const Registry& registry, std::string_view prog_id, CLSID* clsid) noexcept {
  if (clsid == nullptr) return E_POINTER;
  *clsid = CLSID{};
  if (!IsKeyName(prog_id)) return CO_E_CLASSSTRING;
  try {
    const auto text = registry.GetValue(std::string(prog_id) + "\\Clsid");
    const auto guid = text ? com::TryParseGuid(*text) : std::nullopt;
    if (!guid) return CO_E_CLASSSTRING;
    *clsid = *guid;
    return S_OK;
  } catch (...) {
    return CurrentExceptionResult();
  }
}

HRESULT InprocServerPath(const Registry& registry, const CLSID& clsid, std::string* path) noexcept {
  if (path == nullptr) return E_POINTER;
  try {
    auto value = registry.GetValue("CLSID\\" + com::FormatGuid(clsid) + "\\InprocServer32");
    if (!value || value->empty()) return REGDB_E_CLASSNOTREG;
    *path = std::move(*value);
    return S_OK;
  } catch (...) {
    return CurrentExceptionResult();
  }
}

HRESULT CreateInstanceFromModule(const std::string& module_path, const CLSID& clsid, const IID& iid,
                                 void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  try {
    ModuleInUse module;
    if (const HRESULT hr = module.Acquire(module_path); FAILED(hr)) return hr;
    IClassFactory* factory = nullptr;
    HRESULT hr =
        (*module).get_class_object(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (factory == nullptr) return E_UNEXPECTED;
    hr = factory->CreateInstance(nullptr, iid, object);
    factory->Release();
    // A factory that fails must leave the pointer null; make sure of it.
    if (FAILED(hr)) *object = nullptr;
    return hr;
  } catch (...) {
    return CurrentExceptionResult();
  }
}

HRESULT CreateInstance(const Registry& registry, const CLSID& clsid, const IID& iid,
                       void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  std::string path;
  if (const HRESULT hr = InprocServerPath(registry, clsid, &path); FAILED(hr)) return hr;
  return CreateInstanceFromModule(path, clsid, iid, object);
}

int FreeUnusedModules() noexcept {
  try {
    return Modules().FreeUnused();
  } catch (...) {
    return 0;
  }
}

Registry OpenRegistryForLookup() {
  std::filesystem::path file = RegistryFilePath();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec) && !ec) {
    return Registry(std::make_shared<MemoryRegistryStore>());
  }
  return Registry(std::make_shared<FileRegistryStore>(std::move(file)));
}

}  // namespace lkrva::registry

// ---- The C functions of lkrva/lkrva_activation.h ----

using lkrva::registry::OpenRegistryForLookup;

extern "C" LKRVA_HOST_API HRESULT LKRVA_CLSIDFromProgID(const char* progid, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = CLSID{};
  if (progid == nullptr) return E_INVALIDARG;
  try {
    return lkrva::registry::ClsidFromProgId(OpenRegistryForLookup(), progid, clsid);
  } catch (...) {
    return lkrva::registry::CurrentExceptionResult();
  }
}

extern "C" LKRVA_HOST_API HRESULT LKRVA_CreateInstance(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  try {
    return lkrva::registry::CreateInstance(OpenRegistryForLookup(), clsid, iid, ppv);
  } catch (...) {
    return lkrva::registry::CurrentExceptionResult();
  }
}

extern "C" LKRVA_HOST_API HRESULT LKRVA_CreateInstanceFromProgID(const char* progid, REFIID iid,
                                                                 void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (progid == nullptr) return E_INVALIDARG;
  try {
    const auto registry = OpenRegistryForLookup();
    CLSID clsid{};
    if (const HRESULT hr = lkrva::registry::ClsidFromProgId(registry, progid, &clsid); FAILED(hr)) {
      return hr;
    }
    return lkrva::registry::CreateInstance(registry, clsid, iid, ppv);
  } catch (...) {
    return lkrva::registry::CurrentExceptionResult();
  }
}

extern "C" LKRVA_HOST_API void LKRVA_FreeUnusedLibraries(void) {
  lkrva::registry::FreeUnusedModules();
}
