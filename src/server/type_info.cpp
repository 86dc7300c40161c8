// The type information GetClassInfo hands to hosts, read from the loaded type library.
#include "server/type_info.hpp"

#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <vector>

#include "com/bstr.hpp"
#include "com/guid.hpp"
#include "com/module_lock.hpp"
#include "com/ref_count.hpp"
#include "text/ansi_text.hpp"

namespace lkrva::server {

namespace {

using typelib::TypeDesc;

/// A BSTR of a UTF-8 text; an empty text gives NULL as the automation
/// services give for an absent string.
BSTR NewBstr(const std::string& utf8) {
  if (utf8.empty()) return nullptr;
  const std::u16string text = text::Utf8ToUtf16(utf8);
  BSTR b = com::AllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
  if (b == nullptr) throw std::bad_alloc();
  return b;
}

/// A FUNCDESC and everything its pointers point at.
struct FuncDescBlock {
  FUNCDESC desc{};
  std::vector<ELEMDESC> params;
  std::deque<TYPEDESC> nested;  // a deque keeps the addresses of earlier entries

  void Fill(TYPEDESC& out, const TypeDesc& in) {
    out.vt = in.vt;
    if (in.target) {
      nested.emplace_back();
      out.u.lptdesc = &nested.back();
      Fill(nested.back(), *in.target);
    } else {
      out.u.hreftype = static_cast<HREFTYPE>(in.hreftype);
    }
  }
};

class TypeInfoObject final : public ITypeInfo {
 public:
  TypeInfoObject(std::shared_ptr<const typelib::TypeLibrary> lib, const typelib::TypeInfo& type)
      : lib_(std::move(lib)), type_(type) {
    com::Module().ObjectCreated();
  }
  ~TypeInfoObject() { com::Module().ObjectDestroyed(); }
  TypeInfoObject(const TypeInfoObject&) = delete;
  TypeInfoObject& operator=(const TypeInfoObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (com::SameGuid(riid, IID_IUnknown) || com::SameGuid(riid, IID_ITypeInfo)) {
      *ppv = static_cast<ITypeInfo*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Increment(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = refs_.Decrement();
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    auto* attr = new (std::nothrow) TYPEATTR{};
    if (attr == nullptr) return E_OUTOFMEMORY;
    const typelib::TypeAttr& a = type_.attr;
    attr->guid = a.guid;
    attr->lcid = lib_->lib_attr().lcid;
    attr->memidConstructor = MEMBERID_NIL;
    attr->memidDestructor = MEMBERID_NIL;
    attr->cbSizeInstance = a.cb_size_instance;
    attr->typekind = a.typekind;
    attr->cFuncs = a.c_funcs;
    attr->cVars = a.c_vars;
    attr->cImplTypes = a.c_impl_types;
    attr->cbSizeVft = a.cb_size_vft;
    attr->cbAlignment = a.cb_alignment;
    attr->wTypeFlags = static_cast<WORD>(a.flags);
    attr->wMajorVerNum = a.major;
    attr->wMinorVerNum = a.minor;
    *out = attr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(void** out) override { return NotImplemented(out); }

  HRESULT STDMETHODCALLTYPE GetFuncDesc(unsigned index, FUNCDESC** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (index >= type_.funcs.size()) return TYPE_E_ELEMENTNOTFOUND;
    try {
      const typelib::FuncInfo& f = type_.funcs[index];
      auto block = std::make_unique<FuncDescBlock>();
      FUNCDESC& d = block->desc;
      d.memid = f.memid;
      d.funckind = f.funckind;
      d.invkind = f.invkind;
      d.callconv = f.callconv;
      d.cParams = static_cast<int16_t>(f.params.size());
      d.cParamsOpt = f.c_params_opt;
      d.oVft = static_cast<int16_t>(f.ovft);
      d.wFuncFlags = f.flags;
      block->Fill(d.elemdescFunc.tdesc, f.result);
      block->params.resize(f.params.size());
      for (std::size_t i = 0; i < f.params.size(); ++i) {
        block->Fill(block->params[i].tdesc, f.params[i].type);
        block->params[i].u.paramdesc.wParamFlags = f.params[i].flags;
      }
      d.lprgelemdescParam = block->params.empty() ? nullptr : block->params.data();
      FUNCDESC* handed = &block->desc;
      const std::lock_guard lock(mutex_);
      func_descs_.emplace(handed, std::move(block));
      *out = handed;
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT STDMETHODCALLTYPE GetVarDesc(unsigned, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;  // LKRVA's types have no variables
  }

  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* names, unsigned max,
                                     unsigned* count) override {
    if (names == nullptr || count == nullptr) return E_POINTER;
    *count = 0;
    const typelib::FuncInfo* f = FuncOf(memid);
    if (f == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    try {
      std::vector<std::string> all{f->name};
      for (const auto& p : f->params) all.push_back(p.name);
      unsigned n = 0;
      for (; n < max && n < all.size(); ++n) names[n] = NewBstr(all[n]);
      *count = n;
      return S_OK;
    } catch (...) {
      for (unsigned i = 0; i < *count; ++i) com::FreeString(names[i]);
      *count = 0;
      return E_OUTOFMEMORY;
    }
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(unsigned index, HREFTYPE* out) override {
    if (out == nullptr) return E_POINTER;
    if (index >= type_.impl_types.size()) return TYPE_E_ELEMENTNOTFOUND;
    *out = static_cast<HREFTYPE>(type_.impl_types[index].hreftype);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(unsigned index, int* out) override {
    if (out == nullptr) return E_POINTER;
    if (index >= type_.impl_types.size()) return TYPE_E_ELEMENTNOTFOUND;
    *out = type_.impl_types[index].flags;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(OLECHAR**, unsigned, MEMBERID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(void*, MEMBERID, WORD, void*, void*, void*, unsigned*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* name, BSTR* doc, DWORD* context,
                                             BSTR* help_file) override {
    typelib::Documentation d;
    if (memid == MEMBERID_NIL) {
      d = type_.doc;
    } else {
      const typelib::FuncInfo* f = FuncOf(memid);
      if (f == nullptr) return TYPE_E_ELEMENTNOTFOUND;
      d.name = f->name;
      d.doc_string = f->help_string;
      d.help_file = type_.doc.help_file;
    }
    BSTR texts[3] = {nullptr, nullptr, nullptr};
    try {
      if (name != nullptr) texts[0] = NewBstr(d.name);
      if (doc != nullptr) texts[1] = NewBstr(d.doc_string);
      if (help_file != nullptr) texts[2] = NewBstr(d.help_file);
    } catch (...) {
      for (BSTR b : texts) com::FreeString(b);
      return E_OUTOFMEMORY;
    }
    if (name != nullptr) *name = texts[0];
    if (doc != nullptr) *doc = texts[1];
    if (help_file != nullptr) *help_file = texts[2];
    if (context != nullptr) *context = d.help_context;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE ref, ITypeInfo** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    const typelib::TypeInfo* t = lib_->local_type(static_cast<int32_t>(ref));
    if (t == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    try {
      *out = NewTypeInfo(lib_, *t);
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, void** out) override {
    return NotImplemented(out);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
    return NotImplemented(out);
  }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(void** out, unsigned*) override {
    return NotImplemented(out);
  }

  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }

  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* desc) override {
    std::unique_ptr<FuncDescBlock> gone;  // destroyed after the lock is let go
    const std::lock_guard lock(mutex_);
    const auto it = func_descs_.find(desc);
    if (it == func_descs_.end()) return;
    gone = std::move(it->second);
    func_descs_.erase(it);
  }

  void STDMETHODCALLTYPE ReleaseVarDesc(void*) override {}

 private:
  static HRESULT NotImplemented(void** out) {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }

  const typelib::FuncInfo* FuncOf(MEMBERID memid) const {
    for (const auto& f : type_.funcs) {
      if (f.memid == memid) return &f;
    }
    return nullptr;
  }

  com::RefCount refs_{1};
  std::shared_ptr<const typelib::TypeLibrary> lib_;
  const typelib::TypeInfo& type_;
  std::mutex mutex_;
  std::map<FUNCDESC*, std::unique_ptr<FuncDescBlock>> func_descs_;
};

}  // namespace

ITypeInfo* NewTypeInfo(std::shared_ptr<const typelib::TypeLibrary> lib,
                       const typelib::TypeInfo& type) {
  return new TypeInfoObject(std::move(lib), type);
}

}  // namespace lkrva::server
