// The class factory of KRVA and the way hosts reach it.
#pragma once

#include "lkrva/lkrva.h"

namespace lkrva::server {

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
  /// Counts a lock (TRUE) or takes one back (FALSE); an unlock with no lock
  /// held gives E_UNEXPECTED and changes nothing.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

/// DllGetClassObject: the factory for CLSID_KRVA as `riid`; for any other
/// class a null pointer and CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

/// DllCanUnloadNow: S_OK when no object, lock or factory reference remains.
HRESULT CanUnloadNow();

}  // namespace lkrva::server
