// TKRVA: the calculation object a host holds, reached through IKRVA.
#pragma once

#include "com/ref_count.hpp"
#include "lkrva/lkrva.h"

namespace lkrva::server {

/// Holds nothing of its own: every operation works on the module's state.
/// Answers QueryInterface for IUnknown, ISupportErrorInfo,
/// IProvideClassInfo and IKRVA only. Made inside an outer object, its
/// interfaces pass QueryInterface, AddRef and Release on to the outer one,
/// while its own IUnknown (Inner()) works on its own count.
class TKRVA final : public IKRVA, public ISupportErrorInfo, public IProvideClassInfo {
 public:
  /// Reference count 0; counts in the module's objects until destroyed.
  explicit TKRVA(IUnknown* outer);
  ~TKRVA();
  TKRVA(const TKRVA&) = delete;
  TKRVA& operator=(const TKRVA&) = delete;

  /// The object's own IUnknown, the one the factory hands to an outer object.
  IUnknown* Inner() { return &inner_; }
  /// References on the object's own count.
  ULONG References() const { return refs_.Value(); }

  // IUnknown of every interface: to the controlling unknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IKRVA
  HRESULT STDMETHODCALLTYPE transparameter(BSTR ADOConString, BSTR Tablename, BSTR FilterStr,
                                           BSTR JS, BSTR JXJ, BSTR FWJ, BSTR CZJS, BSTR BHJ,
                                           BSTR BHFW, BSTR X, BSTR Y, BSTR JYQL) override;
  HRESULT STDMETHODCALLTYPE mathtable(double gtdjs) override;
  HRESULT STDMETHODCALLTYPE mathrecord(double JS, double gtdjs, double* JXJ, double* FWJ,
                                       double* CZJS, double* BHJ, double* BHFW, double* X,
                                       double* Y, double* JYQL) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;

 private:
  /// The non-delegating IUnknown.
  class OwnUnknown final : public IUnknown {
   public:
    explicit OwnUnknown(TKRVA& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    TKRVA& owner_;
  };

  OwnUnknown inner_;
  IUnknown* controlling_;
  com::RefCount refs_;
};

}  // namespace lkrva::server
