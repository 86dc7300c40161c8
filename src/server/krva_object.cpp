// TKRVA: identity, reference counting, aggregation and the three operations.
#include "server/krva_object.hpp"

#include <new>

#include "com/guid.hpp"
#include "com/module_lock.hpp"
#include "server/class_factory.hpp"
#include "server/module_state.hpp"
#include "server/operation_guard.hpp"
#include "server/parameter_prompt.hpp"
#include "server/runs.hpp"
#if defined(_WIN32)
#include "server/system_type_info.hpp"
#else
#include "server/type_info.hpp"
#endif
#include "ui/ui_selection.hpp"

namespace lkrva::server {

using com::SameGuid;

TKRVA::TKRVA(IUnknown* outer) : inner_(*this), controlling_(outer ? outer : &inner_) {
  com::Module().ObjectCreated();
}

TKRVA::~TKRVA() { com::Module().ObjectDestroyed(); }

HRESULT TKRVA::OwnUnknown::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (SameGuid(riid, IID_IUnknown)) {
    *ppv = static_cast<IUnknown*>(this);
  } else if (SameGuid(riid, IID_IKRVA)) {
    *ppv = static_cast<IKRVA*>(&owner_);
  } else if (SameGuid(riid, IID_ISupportErrorInfo)) {
    *ppv = static_cast<ISupportErrorInfo*>(&owner_);
  } else if (SameGuid(riid, IID_IProvideClassInfo)) {
    *ppv = static_cast<IProvideClassInfo*>(&owner_);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // Through the interface handed out, so an aggregated object counts on the outer one.
  static_cast<IUnknown*>(*ppv)->AddRef();
  return S_OK;
}

ULONG TKRVA::OwnUnknown::AddRef() { return owner_.refs_.Increment(); }

ULONG TKRVA::OwnUnknown::Release() {
  const ULONG left = owner_.refs_.Decrement();
  if (left == 0) delete &owner_;
  return left;
}

HRESULT TKRVA::QueryInterface(REFIID riid, void** ppv) {
  return controlling_->QueryInterface(riid, ppv);
}
ULONG TKRVA::AddRef() { return controlling_->AddRef(); }
ULONG TKRVA::Release() { return controlling_->Release(); }

HRESULT TKRVA::transparameter(BSTR ADOConString, BSTR Tablename, BSTR FilterStr, BSTR JS, BSTR JXJ,
                              BSTR FWJ, BSTR CZJS, BSTR BHJ, BSTR BHFW, BSTR X, BSTR Y, BSTR JYQL) {
  try {
    OperationGuard guard;
    if (guard.Refused()) return E_UNEXPECTED;
    const auto ui = ui::ActiveUserInterface();
    const ParameterTexts texts{ADOConString, Tablename, FilterStr, JS, JXJ, FWJ,
                               CZJS,         BHJ,       BHFW,      X,  Y,   JYQL};
    return AcceptParameters(*ui, State().params, texts) ? S_OK : S_FALSE;
  } catch (...) {
    // Nothing crosses the interface; the set is unchanged.
    return E_FAIL;
  }
}

HRESULT TKRVA::mathtable(double gtdjs) {
  try {
    OperationGuard guard;
    if (guard.Refused()) return E_UNEXPECTED;
    const auto ui = ui::ActiveUserInterface();
    RunWholeTable(State(), *ui, gtdjs);
  } catch (...) {
    // The run tells the user of its failures itself; the result stays S_OK.
  }
  return S_OK;
}

HRESULT TKRVA::mathrecord(double JS, double gtdjs, double* JXJ, double* FWJ, double* CZJS,
                          double* BHJ, double* BHFW, double* X, double* Y, double* JYQL) {
  try {
    OperationGuard guard;
    if (guard.Refused()) return E_UNEXPECTED;
    const auto ui = ui::ActiveUserInterface();
    const RecordOutputs outputs{JXJ, FWJ, CZJS, BHJ, BHFW, X, Y, JYQL};
    return RunSingleDepth(State(), *ui, JS, gtdjs, outputs) ? S_OK : S_FALSE;
  } catch (...) {
    return S_FALSE;
  }
}

HRESULT TKRVA::InterfaceSupportsErrorInfo(REFIID riid) {
  const bool ours = SameGuid(riid, IID_IUnknown) || SameGuid(riid, IID_IKRVA) ||
                    SameGuid(riid, IID_ISupportErrorInfo) || SameGuid(riid, IID_IProvideClassInfo);
  return ours ? S_OK : S_FALSE;
}

HRESULT TKRVA::GetClassInfo(ITypeInfo** ppTI) {
  if (ppTI == nullptr) return E_POINTER;
  *ppTI = nullptr;
  try {
#if defined(_WIN32)
    // The system's own type information, so that a host can take it to
    // ITypeLib and beyond.
    return SystemClassTypeInfo(CLSID_KRVA, ppTI);
#else
    const KrvaTypeLibrary& tlb = KrvaTypeLib();
    const typelib::TypeInfo* coclass = tlb.library->type_info_of_guid(CLSID_KRVA);
    if (coclass == nullptr) return E_FAIL;
    *ppTI = NewTypeInfo(tlb.library, *coclass);
    return S_OK;
#endif
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;  // the module's type library cannot be read
  }
}

}  // namespace lkrva::server
