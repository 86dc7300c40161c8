// Creating KRVA objects for hosts, and the module's unload check.
#include "server/class_factory.hpp"

#include <exception>
#include <memory>
#include <string>

#include "com/guid.hpp"
#include "com/module_lock.hpp"
#include "server/krva_object.hpp"
#include "ui/ui_selection.hpp"

namespace lkrva::server {

using com::SameGuid;

namespace {

KrvaFactory g_factory;

/// Tells the user why an object could not be made, as an error box.
void ReportCreationFailure(const std::string& why) noexcept {
  try {
    ui::ActiveUserInterface()->ShowMessage(why, "KRVA", ui::kIconError);
  } catch (...) {
    // Nothing more can be done; the result code still says it failed.
  }
}

}  // namespace

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

HRESULT KrvaFactory::LockServer(BOOL lock) {
  if (lock) {
    com::Module().Lock();
    return S_OK;
  }
  return com::Module().Unlock() ? S_OK : E_UNEXPECTED;
}

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
