// The functions liblkrva.so exports to hosts: class objects, BSTRs, UI callbacks.
//
// Registration (DllRegisterServer, DllUnregisterServer) is exported from its
// own source next to this one; lkrva.map lets every Dll* name through.
#include <stdexcept>

#include "com/bstr.hpp"
#include "lkrva/lkrva.h"
#include "server/class_factory.hpp"
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
