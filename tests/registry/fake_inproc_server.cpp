// A tiny in-process server for the activation tests: one class with IUnknown
// only, its factory, DllGetClassObject and DllCanUnloadNow, and a count of
// live objects.
#include <atomic>
#include <cstring>
#include <new>

#include "fake_server_identities.hpp"
#include "lkrva/lkrva.h"

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

bool Same(REFIID a, REFIID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

class Object final : public IUnknown {
 public:
  Object() { ++g_objects; }
  ~Object() { --g_objects; }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (!Same(riid, IID_IUnknown)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IUnknown*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// One static factory; its references count as a reason to stay loaded.
class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (!Same(riid, IID_IUnknown) && !Same(riid, IID_IClassFactory)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) Object;
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
  ULONG references() const { return refs_; }

 private:
  std::atomic<ULONG> refs_{0};
};

Factory g_factory;

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!Same(rclsid, lkrva::testing::kFakeClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT DllCanUnloadNow() {
  return (g_objects == 0 && g_locks == 0 && g_factory.references() == 0) ? S_OK : S_FALSE;
}

extern "C" long FakeServer_LiveObjects() { return g_objects; }
