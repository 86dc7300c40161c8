// The class factory of KRVA and the way hosts reach it.
#pragma once

#include <memory>
#include <string>

#include "lkrva/lkrva.h"
#include "typelib/module_registration.hpp"
#include "typelib/type_library.hpp"

namespace lkrva::server {

/// The full path of this module's file as the loader knows it (made
/// absolute when the loader was given a relative one). Throws
/// std::runtime_error when the loader cannot tell.
std::string ModulePath();

/// What the class factory knows of KRVA from the module's type library.
struct KrvaTypeLibrary {
  std::shared_ptr<const typelib::TypeLibrary> library;
  typelib::ClassNames names;  ///< class name and description of KRVA
};

/// The module's type library and KRVA's names in it, read from the module
/// file on first need and kept while the module is loaded. Throws
/// typelib::TypeLibError (or std::runtime_error) when it cannot be read;
/// a later call tries again.
const KrvaTypeLibrary& KrvaTypeLib();

/// The one factory of the module; lives as long as the module. AddRef and
/// Release count factory references for DllCanUnloadNow and never destroy it.
class KrvaFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  /// E_POINTER for a null result; otherwise the result is nulled first. An
  /// outer object with any interface but IUnknown: CLASS_E_NOAGGREGATION.
  /// A new TKRVA answers QueryInterface for `riid`; holding no reference
  /// afterwards (an interface it lacks), it is destroyed at once.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  /// Counts a lock (TRUE) or takes one back (FALSE) in the module's count.
  /// On Windows it also locks the factory in the system's COM
  /// (CoLockObjectExternal, the last unlock releasing it) and gives COM's
  /// result. Elsewhere an unlock with no lock held gives E_UNEXPECTED and
  /// changes nothing.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

/// DllGetClassObject: the factory for CLSID_KRVA as `riid`; for any other
/// class a null pointer and CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

/// DllCanUnloadNow: S_OK when no object, lock or factory reference remains.
HRESULT CanUnloadNow();

}  // namespace lkrva::server
