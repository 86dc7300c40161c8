// The functions liblkrva.so exports to hosts: class objects, registration, BSTRs, UI callbacks.
#include <stdexcept>
#include <string>

#include "com/bstr.hpp"
#include "lkrva/lkrva.h"
#include "server/class_factory.hpp"
#include "typelib/lkrva_identities.hpp"
#include "typelib/module_registration.hpp"
#include "ui/host_ui.hpp"

extern "C" {

LKRVA_API HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  try {
    return lkrva::server::GetClassObject(rclsid, riid, ppv);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

LKRVA_API HRESULT STDAPICALLTYPE DllCanUnloadNow(void) { return lkrva::server::CanUnloadNow(); }

// Both read the type library from this module's own file and never print.
LKRVA_API HRESULT STDAPICALLTYPE DllRegisterServer(void) {
  try {
    return lkrva::typelib::RegisterModule(lkrva::server::ModulePath(), lkrva::typelib::kClsidKrva);
  } catch (...) {
    return E_FAIL;
  }
}

LKRVA_API HRESULT STDAPICALLTYPE DllUnregisterServer(void) {
  try {
    return lkrva::typelib::UnregisterModule(lkrva::server::ModulePath(),
                                            lkrva::typelib::kClsidKrva);
  } catch (...) {
    return E_FAIL;  // without its own file the module cannot read its type library
  }
}

LKRVA_API BSTR LKRVA_SysAllocString(const OLECHAR* text) { return lkrva::com::AllocString(text); }

LKRVA_API BSTR LKRVA_SysAllocStringLen(const OLECHAR* text, uint32_t length) {
  return lkrva::com::AllocStringLen(text, length);
}

LKRVA_API void LKRVA_SysFreeString(BSTR text) { lkrva::com::FreeString(text); }

LKRVA_API uint32_t LKRVA_SysStringLen(BSTR text) { return lkrva::com::StringLen(text); }

LKRVA_API HRESULT LKRVA_SetUiCallbacks(const LKRVA_UiCallbacks* callbacks) {
  try {
    lkrva::ui::InstallHostCallbacks(callbacks);
    return S_OK;
  } catch (const std::invalid_argument&) {
    return E_INVALIDARG;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // extern "C"
