// liblkrva.so loaded the way a host loads it: dlopen() and dlsym().
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "lkrva/lkrva.h"

namespace lkrva::testing {

/// The library's exports, resolved once per process and never unloaded.
struct LoadedLibrary {
  LKRVA_DllGetClassObjectFn DllGetClassObject;
  LKRVA_DllCanUnloadNowFn DllCanUnloadNow;
  LKRVA_SysAllocStringFn SysAllocString;
  LKRVA_SysAllocStringLenFn SysAllocStringLen;
  LKRVA_SysFreeStringFn SysFreeString;
  LKRVA_SysStringLenFn SysStringLen;
  LKRVA_SetUiCallbacksFn SetUiCallbacks;
  void* handle;

  static const LoadedLibrary& Get() {
    static const LoadedLibrary lib = Load();
    return lib;
  }

 private:
  static LoadedLibrary Load() {
    void* h = dlopen(LKRVA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (h == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    const auto sym = [h](const char* name) {
      void* p = dlsym(h, name);
      if (p == nullptr) throw std::runtime_error(std::string("missing export ") + name);
      return p;
    };
    LoadedLibrary lib{};
    lib.handle = h;
    lib.DllGetClassObject = reinterpret_cast<LKRVA_DllGetClassObjectFn>(sym("DllGetClassObject"));
    lib.DllCanUnloadNow = reinterpret_cast<LKRVA_DllCanUnloadNowFn>(sym("DllCanUnloadNow"));
    lib.SysAllocString = reinterpret_cast<LKRVA_SysAllocStringFn>(sym("LKRVA_SysAllocString"));
    lib.SysAllocStringLen =
        reinterpret_cast<LKRVA_SysAllocStringLenFn>(sym("LKRVA_SysAllocStringLen"));
    lib.SysFreeString = reinterpret_cast<LKRVA_SysFreeStringFn>(sym("LKRVA_SysFreeString"));
    lib.SysStringLen = reinterpret_cast<LKRVA_SysStringLenFn>(sym("LKRVA_SysStringLen"));
    lib.SetUiCallbacks = reinterpret_cast<LKRVA_SetUiCallbacksFn>(sym("LKRVA_SetUiCallbacks"));
    return lib;
  }
};

/// A BSTR made and freed by the library.
class Bstr {
 public:
  explicit Bstr(const char16_t* text) : b_(LoadedLibrary::Get().SysAllocString(text)) {}
  ~Bstr() { LoadedLibrary::Get().SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return b_; }

 private:
  BSTR b_;
};

}  // namespace lkrva::testing
