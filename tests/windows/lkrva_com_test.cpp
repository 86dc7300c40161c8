// LKRVA.dll through COM, as a Windows host sees it: activation by CLSID and
// ProgID, QueryInterface, aggregation, the class factory, DllCanUnloadNow,
// the type library read by the system, the registry values of
// registration, and the three operations on a survey through ODBC.
//
//   lkrva_com_test com                     after regsvr32 of C:\...\LKRVA.dll
//   lkrva_com_test exports DLL             the exports of DLL, loaded directly
//   lkrva_com_test registration DLL        DllRegisterServer/DllUnregisterServer
//   lkrva_com_test runs CONNECTION TABLE DEPTH JXJ FWJ CZJS BHJ BHFW X Y JYQL
//                                          transparameter, mathtable, mathrecord
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "check.hpp"
#include "lkrva/lkrva.h"

namespace {

constexpr const char* kClsidText = "{317D7E91-B5A1-4BA1-B91B-21C191095773}";
constexpr const char* kIidText = "{76BBF211-B048-4C9E-98DA-9B542223E873}";
constexpr const char* kLibidText = "{F3E39089-8E65-431D-A671-42ABE193E6DA}";
const std::string kClassKey = std::string("CLSID\\") + kClsidText;
// {00020430-0000-0000-C000-000000000046}, OLE Automation's own library.
constexpr GUID kLibidStdole2 = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

#if defined(_WIN64)
constexpr SYSKIND kSysKind = SYS_WIN64;
constexpr const char* kSysKindKey = "win64";
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr const char* kSysKindKey = "win32";
#endif
constexpr short kSlot = sizeof(void*);

// ---- registry ----

std::optional<std::string> ReadValue(const std::string& path, const char* name = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::string(data);
}

std::string ValueOr(const std::string& path, const char* name = nullptr) {
  return ReadValue(path, name).value_or("<missing>");
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

/// The eight values of registration and the type library's keys, for the
/// module at `inproc_path` (InprocServer32) whose library was registered
/// from `typelib_path`.
void CheckRegistered(const std::string& inproc_path, const std::string& typelib_path) {
  CHECK_STR(ValueOr(kClassKey), "KRVA");
  CHECK_STR(ValueOr(kClassKey + "\\InprocServer32"), inproc_path);
  CHECK_STR(ValueOr(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  CHECK_STR(ValueOr("LKRVA.KRVA"), "KRVA");
  CHECK_STR(ValueOr("LKRVA.KRVA\\Clsid"), kClsidText);
  CHECK_STR(ValueOr(kClassKey + "\\ProgID"), "LKRVA.KRVA");
  CHECK_STR(ValueOr(kClassKey + "\\Version"), "1.0");
  CHECK_STR(ValueOr(kClassKey + "\\TypeLib"), kLibidText);
  // What RegisterTypeLib recorded.
  const std::string lib = std::string("TypeLib\\") + kLibidText + "\\1.0";
  CHECK_STR(ValueOr(lib), "LKRVA Library");
  CHECK_STR(ValueOr(lib + "\\0\\" + kSysKindKey), typelib_path);
  const std::string folder = typelib_path.substr(0, typelib_path.rfind('\\') + 1);
  const std::string helpdir = ValueOr(lib + "\\HELPDIR");
  CHECK(helpdir == folder || helpdir + "\\" == folder);
  CHECK_STR(ValueOr(std::string("Interface\\") + kIidText), "IKRVA");
  CHECK_STR(ValueOr(std::string("Interface\\") + kIidText + "\\TypeLib"), kLibidText);
}

void CheckUnregistered() {
  for (const std::string& key :
       {kClassKey + "\\TypeLib", kClassKey + "\\Version", kClassKey + "\\ProgID",
        std::string("LKRVA.KRVA\\Clsid"), std::string("LKRVA.KRVA"), kClassKey + "\\InprocServer32",
        kClassKey, std::string("TypeLib\\") + kLibidText + "\\1.0",
        std::string("Interface\\") + kIidText}) {
    if (KeyExists(key)) lkrva::wintest::Fail(__FILE__, __LINE__, key + " is still there");
  }
}

// ---- the type library, as the system reads it ----

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return "<null>";
  std::string out;
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

struct Doc {
  std::string name, doc;
  DWORD context = 0;
  bool has_help_file = false;
};

template <typename Owner>
Doc Documentation(Owner* owner, MEMBERID id) {
  BSTR name = nullptr, doc = nullptr, file = nullptr;
  Doc d;
  CHECK_HR(owner->GetDocumentation(id, &name, &doc, &d.context, &file), S_OK);
  d.name = Narrow(name);
  d.doc = doc ? Narrow(doc) : "";
  d.has_help_file = file != nullptr && SysStringLen(file) > 0;
  SysFreeString(name);
  SysFreeString(doc);
  SysFreeString(file);
  return d;
}

std::vector<std::string> Names(ITypeInfo* info, MEMBERID id) {
  BSTR names[16] = {};
  UINT count = 0;
  CHECK_HR(info->GetNames(id, names, 16, &count), S_OK);
  std::vector<std::string> out;
  for (UINT i = 0; i < count; ++i) {
    out.push_back(Narrow(names[i]));
    SysFreeString(names[i]);
  }
  return out;
}

struct ExpectedFunc {
  MEMBERID memid;
  short ovft;
  std::vector<std::string> names;  // the function, then its parameters
  VARTYPE param_vt;                // VT_BSTR, VT_R8, or VT_PTR for the outputs
  int inputs;                      // the first `inputs` parameters are [in], the rest [out]
};

void CheckInterface(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  CHECK_HR(info->GetTypeAttr(&attr), S_OK);
  if (attr == nullptr) return;
  CHECK(IsEqualGUID(attr->guid, IID_IKRVA));
  CHECK_EQ(attr->typekind, TKIND_INTERFACE);
  CHECK_EQ(attr->wTypeFlags, 0x100);  // TYPEFLAG_FOLEAUTOMATION only
  CHECK_EQ(attr->cFuncs, 3);
  CHECK_EQ(attr->cImplTypes, 1);
  CHECK_EQ(attr->cbSizeVft, 6 * kSlot);
  CHECK_EQ(attr->wMajorVerNum, 1);
  CHECK_EQ(attr->wMinorVerNum, 0);
  info->ReleaseTypeAttr(attr);
  const Doc doc = Documentation(info, MEMBERID_NIL);
  CHECK_STR(doc.name, "IKRVA");
  CHECK_STR(doc.doc, "Interface for KRVA Object");

  // The base interface: IUnknown of stdole2.
  HREFTYPE base = 0;
  CHECK_HR(info->GetRefTypeOfImplType(0, &base), S_OK);
  ITypeInfo* unknown = nullptr;
  CHECK_HR(info->GetRefTypeInfo(base, &unknown), S_OK);
  if (unknown != nullptr) {
    CHECK_STR(Documentation(unknown, MEMBERID_NIL).name, "IUnknown");
    ITypeLib* stdole = nullptr;
    UINT index = 0;
    CHECK_HR(unknown->GetContainingTypeLib(&stdole, &index), S_OK);
    if (stdole != nullptr) {
      TLIBATTR* la = nullptr;
      CHECK_HR(stdole->GetLibAttr(&la), S_OK);
      if (la != nullptr) {
        CHECK(IsEqualGUID(la->guid, kLibidStdole2));
        CHECK_EQ(la->wMajorVerNum, 2);
        stdole->ReleaseTLibAttr(la);
      }
      stdole->Release();
    }
    unknown->Release();
  }

  const std::vector<ExpectedFunc> funcs = {
      {1,
       static_cast<short>(3 * kSlot),
       {"transparameter", "ADOConString", "Tablename", "FilterStr", "JS", "JXJ", "FWJ", "CZJS",
        "BHJ", "BHFW", "X", "Y", "JYQL"},
       VT_BSTR,
       12},
      {2, static_cast<short>(4 * kSlot), {"mathtable", "gtdjs"}, VT_R8, 1},
      {3,
       static_cast<short>(5 * kSlot),
       {"mathrecord", "JS", "gtdjs", "JXJ", "FWJ", "CZJS", "BHJ", "BHFW", "X", "Y", "JYQL"},
       VT_R8,
       2},
  };
  for (UINT i = 0; i < funcs.size(); ++i) {
    const ExpectedFunc& e = funcs[i];
    FUNCDESC* f = nullptr;
    CHECK_HR(info->GetFuncDesc(i, &f), S_OK);
    if (f == nullptr) continue;
    CHECK_EQ(f->memid, e.memid);
    CHECK_EQ(f->oVft, e.ovft);
    CHECK_EQ(f->funckind, FUNC_PUREVIRTUAL);
    CHECK_EQ(f->invkind, INVOKE_FUNC);
    CHECK_EQ(f->callconv, CC_STDCALL);
    CHECK_EQ(f->elemdescFunc.tdesc.vt, VT_HRESULT);
    CHECK_EQ(f->wFuncFlags, 0);
    CHECK_EQ(f->cParamsOpt, 0);
    CHECK_EQ(static_cast<size_t>(f->cParams), e.names.size() - 1);
    for (int p = 0; p < f->cParams; ++p) {
      const ELEMDESC& param = f->lprgelemdescParam[p];
      if (p < e.inputs) {
        CHECK_EQ(param.tdesc.vt, e.param_vt);
        CHECK_EQ(param.paramdesc.wParamFlags, PARAMFLAG_FIN);
      } else {
        CHECK_EQ(param.tdesc.vt, VT_PTR);
        CHECK(param.tdesc.lptdesc != nullptr && param.tdesc.lptdesc->vt == VT_R8);
        CHECK_EQ(param.paramdesc.wParamFlags, PARAMFLAG_FOUT);
      }
    }
    info->ReleaseFuncDesc(f);
    if (Names(info, e.memid) != e.names) {
      lkrva::wintest::Fail(__FILE__, __LINE__, "names of " + e.names[0]);
    }
    const Doc fd = Documentation(info, e.memid);
    CHECK_STR(fd.name, e.names[0]);
    CHECK_STR(fd.doc, "");
  }
}

void CheckCoclass(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  CHECK_HR(info->GetTypeAttr(&attr), S_OK);
  if (attr == nullptr) return;
  CHECK(IsEqualGUID(attr->guid, CLSID_KRVA));
  CHECK_EQ(attr->typekind, TKIND_COCLASS);
  CHECK_EQ(attr->wTypeFlags, 0x2);  // TYPEFLAG_FCANCREATE only
  CHECK_EQ(attr->cImplTypes, 1);
  CHECK_EQ(attr->wMajorVerNum, 1);
  CHECK_EQ(attr->wMinorVerNum, 0);
  info->ReleaseTypeAttr(attr);
  const Doc doc = Documentation(info, MEMBERID_NIL);
  CHECK_STR(doc.name, "KRVA");
  CHECK_STR(doc.doc, "KRVA");
  INT flags = 0;
  CHECK_HR(info->GetImplTypeFlags(0, &flags), S_OK);
  CHECK_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE ref = 0;
  CHECK_HR(info->GetRefTypeOfImplType(0, &ref), S_OK);
  ITypeInfo* implemented = nullptr;
  CHECK_HR(info->GetRefTypeInfo(ref, &implemented), S_OK);
  if (implemented != nullptr) {
    CHECK_STR(Documentation(implemented, MEMBERID_NIL).name, "IKRVA");
    implemented->Release();
  }
}

void CheckTypeLibrary(const std::wstring& dll) {
  ITypeLib* lib = nullptr;
  CHECK_HR(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &lib), S_OK);
  if (lib == nullptr) return;
  TLIBATTR* attr = nullptr;
  CHECK_HR(lib->GetLibAttr(&attr), S_OK);
  if (attr != nullptr) {
    CHECK(IsEqualGUID(attr->guid, LIBID_LKRVA));
    CHECK_EQ(attr->lcid, 0u);
    CHECK_EQ(attr->syskind, kSysKind);
    CHECK_EQ(attr->wMajorVerNum, 1);
    CHECK_EQ(attr->wMinorVerNum, 0);
    // No flags of its own; the system marks a library it read from a file.
    if ((attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) != 0) {
      lkrva::wintest::Fail(__FILE__, __LINE__, "library flags " + std::to_string(attr->wLibFlags));
    }
    lib->ReleaseTLibAttr(attr);
  }
  const Doc doc = Documentation(lib, -1);
  CHECK_STR(doc.name, "LKRVA");
  CHECK_STR(doc.doc, "LKRVA Library");
  CHECK_EQ(doc.context, 0u);
  CHECK(!doc.has_help_file);
  CHECK_EQ(lib->GetTypeInfoCount(), 2u);
  TYPEKIND kind{};
  CHECK_HR(lib->GetTypeInfoType(0, &kind), S_OK);
  CHECK_EQ(kind, TKIND_INTERFACE);
  CHECK_HR(lib->GetTypeInfoType(1, &kind), S_OK);
  CHECK_EQ(kind, TKIND_COCLASS);
  ITypeInfo* info = nullptr;
  CHECK_HR(lib->GetTypeInfo(0, &info), S_OK);
  if (info != nullptr) {
    CheckInterface(info);
    info->Release();
  }
  CHECK_HR(lib->GetTypeInfo(1, &info), S_OK);
  if (info != nullptr) {
    CheckCoclass(info);
    info->Release();
  }
  lib->Release();
}

std::wstring Wide(const std::string& text) {
  std::wstring out(text.size() + 1, L'\0');
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return out;
}

// ---- an outer object for aggregation ----

struct Outer final : IUnknown {
  LONG refs = 1;
  IUnknown* inner = nullptr;
  int queries = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    ++queries;
    if (IsEqualGUID(riid, IID_IUnknown)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    if (inner != nullptr) return inner->QueryInterface(riid, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
};

// ---- phases ----

/// Activation and the object, through COM and the registration of regsvr32.
int ComPhase(const std::string& dll) {
  CHECK_HR(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  CheckRegistered(dll, dll);

  CLSID by_progid{};
  CHECK_HR(CLSIDFromProgID(L"LKRVA.KRVA", &by_progid), S_OK);
  CHECK(IsEqualGUID(by_progid, CLSID_KRVA));
  for (const CLSID* clsid : {&CLSID_KRVA, static_cast<const CLSID*>(&by_progid)}) {
    IKRVA* krva = nullptr;
    CHECK_HR(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IKRVA,
                              reinterpret_cast<void**>(&krva)),
             S_OK);
    if (krva == nullptr) continue;
    // QueryInterface: the four interfaces, one identity, nothing else.
    IUnknown* identity = nullptr;
    CHECK_HR(krva->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    for (const IID* iid :
         {&IID_IUnknown, &IID_IKRVA, &IID_ISupportErrorInfo, &IID_IProvideClassInfo}) {
      IUnknown* p = nullptr;
      CHECK_HR(krva->QueryInterface(*iid, reinterpret_cast<void**>(&p)), S_OK);
      if (p == nullptr) continue;
      IUnknown* back = nullptr;
      CHECK_HR(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
      CHECK(back == identity);
      if (back != nullptr) back->Release();
      p->Release();
    }
    for (const IID* iid : {&IID_IDispatch, &IID_IClassFactory, &IID_ITypeInfo}) {
      void* p = reinterpret_cast<void*>(1);
      CHECK_HR(krva->QueryInterface(*iid, &p), E_NOINTERFACE);
      CHECK(p == nullptr);
    }
    ISupportErrorInfo* errors = nullptr;
    CHECK_HR(krva->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)), S_OK);
    if (errors != nullptr) {
      CHECK_HR(errors->InterfaceSupportsErrorInfo(IID_IKRVA), S_OK);
      CHECK_HR(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
      errors->Release();
    }
    IProvideClassInfo* provide = nullptr;
    CHECK_HR(krva->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provide)), S_OK);
    if (provide != nullptr) {
      ITypeInfo* info = nullptr;
      CHECK_HR(provide->GetClassInfo(&info), S_OK);
      if (info != nullptr) {
        CheckCoclass(info);
        info->Release();
      }
      provide->Release();
    }
    identity->Release();
    CHECK_EQ(krva->Release(), 0u);
  }

  // Aggregation: only as IUnknown; the inner object's interfaces delegate.
  Outer outer;
  void* p = reinterpret_cast<void*>(1);
  CHECK_HR(CoCreateInstance(CLSID_KRVA, &outer, CLSCTX_INPROC_SERVER, IID_IKRVA, &p),
           CLASS_E_NOAGGREGATION);
  CHECK(p == nullptr);
  CHECK_HR(CoCreateInstance(CLSID_KRVA, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                            reinterpret_cast<void**>(&outer.inner)),
           S_OK);
  if (outer.inner != nullptr) {
    IKRVA* krva = nullptr;
    CHECK_HR(outer.inner->QueryInterface(IID_IKRVA, reinterpret_cast<void**>(&krva)), S_OK);
    CHECK_EQ(outer.refs, 2);  // the reference went to the outer object
    if (krva != nullptr) {
      IUnknown* controlling = nullptr;
      const int queries = outer.queries;
      CHECK_HR(krva->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&controlling)), S_OK);
      CHECK(controlling == &outer);
      CHECK_EQ(outer.queries, queries + 1);
      if (controlling != nullptr) controlling->Release();
      krva->Release();
    }
    CHECK_EQ(outer.refs, 1);
    CHECK_EQ(outer.inner->Release(), 0u);
  }

  // The class factory.
  IClassFactory* factory = nullptr;
  CHECK_HR(CoGetClassObject(CLSID_KRVA, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                            reinterpret_cast<void**>(&factory)),
           S_OK);
  if (factory != nullptr) {
    CHECK_HR(factory->CreateInstance(nullptr, IID_IKRVA, nullptr), E_POINTER);
    void* none = reinterpret_cast<void*>(1);
    CHECK_HR(factory->CreateInstance(nullptr, IID_IDispatch, &none), E_NOINTERFACE);
    CHECK(none == nullptr);
    // A server lock keeps the module loaded after the host let the factory
    // go, until the lock is taken back.
    const auto can_unload = reinterpret_cast<LKRVA_DllCanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("LKRVA.dll"), "DllCanUnloadNow")));
    CHECK(can_unload != nullptr);
    CHECK_HR(factory->LockServer(TRUE), S_OK);
    factory->Release();
    factory = nullptr;
    if (can_unload != nullptr) CHECK_HR(can_unload(), S_FALSE);
    CHECK_HR(CoGetClassObject(CLSID_KRVA, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)),
             S_OK);
    if (factory != nullptr) {
      if (can_unload != nullptr) CHECK_HR(can_unload(), S_FALSE);
      CHECK_HR(factory->LockServer(FALSE), S_OK);
      factory->Release();
    }
    if (can_unload != nullptr) CHECK_HR(can_unload(), S_OK);
  }

  CheckTypeLibrary(Wide(dll));
  CoUninitialize();
  return lkrva::wintest::Finish("com");
}

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

/// The exports of the DLL loaded by path: class objects and the unload check.
int ExportsPhase(const std::string& dll) {
  // LockServer locks the factory in COM, which needs an apartment.
  CHECK_HR(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  const HMODULE module = LoadLibraryA(dll.c_str());
  CHECK(module != nullptr);
  if (module == nullptr) return lkrva::wintest::Finish("exports");
  // The ordinals hosts have always found the exports at.
  const char* by_ordinal[] = {"DllUnregisterServer", "DllRegisterServer", "DllCanUnloadNow",
                              "DllGetClassObject"};
  for (int i = 0; i < 4; ++i) {
    CHECK(GetProcAddress(module, MAKEINTRESOURCEA(i + 1)) == GetProcAddress(module, by_ordinal[i]));
  }
  const auto get_class = Export<LKRVA_DllGetClassObjectFn>(module, "DllGetClassObject");
  const auto can_unload = Export<LKRVA_DllCanUnloadNowFn>(module, "DllCanUnloadNow");
  CHECK(get_class != nullptr && can_unload != nullptr);
  if (get_class == nullptr || can_unload == nullptr) return lkrva::wintest::Finish("exports");

  CHECK_HR(can_unload(), S_OK);
  void* none = reinterpret_cast<void*>(1);
  CHECK_HR(get_class(IID_IKRVA, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  CHECK(none == nullptr);
  none = reinterpret_cast<void*>(1);
  CHECK_HR(get_class(CLSID_KRVA, IID_IKRVA, &none), E_NOINTERFACE);
  CHECK(none == nullptr);

  IClassFactory* factory = nullptr;
  CHECK_HR(get_class(CLSID_KRVA, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  if (factory == nullptr) return lkrva::wintest::Finish("exports");
  CHECK_HR(can_unload(), S_FALSE);  // a host holds the factory
  IUnknown* object = nullptr;
  CHECK_HR(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
  CHECK_HR(factory->LockServer(TRUE), S_OK);
  factory->Release();
  CHECK_HR(can_unload(), S_FALSE);  // the object and the lock
  if (object != nullptr) object->Release();
  CHECK_HR(can_unload(), S_FALSE);  // the lock
  CHECK_HR(get_class(CLSID_KRVA, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  CHECK_HR(factory->LockServer(FALSE), S_OK);
  CHECK_HR(can_unload(), S_FALSE);  // the factory again
  factory->Release();
  CHECK_HR(can_unload(), S_OK);
  FreeLibrary(module);
  CoUninitialize();
  return lkrva::wintest::Finish("exports");
}

/// DllRegisterServer and DllUnregisterServer of the DLL loaded by path.
/// `fresh`: nothing is registered when the phase starts.
int RegistrationPhase(const std::string& dll) {
  const HMODULE module = LoadLibraryA(dll.c_str());
  CHECK(module != nullptr);
  if (module == nullptr) return lkrva::wintest::Finish("registration");
  const auto reg = Export<LKRVA_DllRegisterServerFn>(module, "DllRegisterServer");
  const auto unreg = Export<LKRVA_DllUnregisterServerFn>(module, "DllUnregisterServer");
  char loaded[MAX_PATH] = {};
  GetModuleFileNameA(module, loaded, MAX_PATH);

  // A path with a blank is written in its short form; the library keeps the full path.
  std::string inproc = loaded;
  if (inproc.find(' ') != std::string::npos) {
    char short_path[MAX_PATH] = {};
    CHECK(GetShortPathNameA(loaded, short_path, MAX_PATH) > 0);
    inproc = short_path;
    CHECK(inproc.find(' ') == std::string::npos);
  }

  // Registering twice writes the same values.
  for (int round = 0; round < 2; ++round) {
    CHECK_HR(reg(), S_OK);
    CheckRegistered(inproc, loaded);
  }
  CHECK_HR(unreg(), S_OK);
  CheckUnregistered();
  CHECK_HR(unreg(), S_OK);  // nothing registered: still S_OK

  // Another program's subkey keeps the class key, and only that.
  CHECK_HR(reg(), S_OK);
  HKEY foreign = nullptr;
  CHECK(RegCreateKeyA(HKEY_CLASSES_ROOT, (kClassKey + "\\Foreign").c_str(), &foreign) ==
        ERROR_SUCCESS);
  if (foreign != nullptr) RegCloseKey(foreign);
  CHECK_HR(unreg(), S_OK);
  CHECK(KeyExists(kClassKey + "\\Foreign"));
  CHECK(!KeyExists(kClassKey + "\\InprocServer32"));
  CHECK(!KeyExists(kClassKey + "\\ProgID"));
  CHECK(!KeyExists("LKRVA.KRVA"));
  RegDeleteKeyA(HKEY_CLASSES_ROOT, (kClassKey + "\\Foreign").c_str());
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey.c_str());
  CheckUnregistered();
  FreeLibrary(module);
  return lkrva::wintest::Finish("registration");
}

// ---- the operations on a survey ----

struct UiLog {
  int prompts = 0;
  std::vector<std::string> messages;
  int progress_steps = 0;
  bool finished = false;
  const char* answer = "-2.5";
};

int InputQuery(void* context, const char*, const char*, const char* default_text, char* answer,
               size_t size) {
  auto* log = static_cast<UiLog*>(context);
  ++log->prompts;
  CHECK_STR(default_text, "0");
  std::snprintf(answer, size, "%s", log->answer);
  return 1;
}

void MessageBoxCallback(void* context, const char* text, const char* title, uint32_t flags) {
  static_cast<UiLog*>(context)->messages.push_back(std::string(title) + ": " + text + " (" +
                                                   std::to_string(flags) + ")");
}

void Progress(void* context, int event, int32_t, const char*) {
  auto* log = static_cast<UiLog*>(context);
  if (event == LKRVA_PROGRESS_STEP) ++log->progress_steps;
  if (event == LKRVA_PROGRESS_FINISH) log->finished = true;
}

BSTR Text(const std::string& text) { return SysAllocString(Wide(text).c_str()); }

/// transparameter with the pinyin column names, then mathtable and
/// mathrecord; argv: connection, table, depth and mathrecord's eight
/// expected values (JXJ FWJ CZJS BHJ BHFW X Y JYQL).
int RunsPhase(int argc, char** argv) {
  if (argc != 13) {
    std::printf("runs needs CONNECTION TABLE DEPTH and eight values\n");
    return 2;
  }
  CHECK_HR(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  IKRVA* krva = nullptr;
  CHECK_HR(CoCreateInstance(CLSID_KRVA, nullptr, CLSCTX_INPROC_SERVER, IID_IKRVA,
                            reinterpret_cast<void**>(&krva)),
           S_OK);
  if (krva == nullptr) return lkrva::wintest::Finish("runs");

  // The host answers the prompt and receives the messages itself.
  UiLog log;
  const auto set_ui =
      Export<LKRVA_SetUiCallbacksFn>(GetModuleHandleA("LKRVA.dll"), "LKRVA_SetUiCallbacks");
  CHECK(set_ui != nullptr);
  if (set_ui == nullptr) return lkrva::wintest::Finish("runs");
  LKRVA_UiCallbacks callbacks{LKRVA_UI_CALLBACKS_VERSION, &log, InputQuery, MessageBoxCallback,
                              Progress};
  CHECK_HR(set_ui(&callbacks), S_OK);

  std::vector<BSTR> texts;
  for (const std::string& t :
       {std::string(argv[2]), std::string(argv[3]), std::string(), std::string("JS"),
        std::string("JXJ"), std::string("FWJ"), std::string("CZJS"), std::string("BHJ"),
        std::string("BHFW"), std::string("X"), std::string("Y"), std::string("JYQL")}) {
    texts.push_back(Text(t));
  }
  CHECK_HR(krva->transparameter(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5],
                                texts[6], texts[7], texts[8], texts[9], texts[10], texts[11]),
           S_OK);
  CHECK_EQ(log.prompts, 1);
  CHECK_HR(krva->mathtable(30), S_OK);
  CHECK(log.messages.empty());
  CHECK(log.progress_steps > 0);
  CHECK(log.finished);
  for (const std::string& m : log.messages) std::printf("message: %s\n", m.c_str());

  // mathrecord on a second object: the parameter set is the module's.
  IKRVA* second = nullptr;
  CHECK_HR(CoCreateInstance(CLSID_KRVA, nullptr, CLSCTX_INPROC_SERVER, IID_IKRVA,
                            reinterpret_cast<void**>(&second)),
           S_OK);
  if (second != nullptr) {
    double out[8] = {};
    const double depth = std::strtod(argv[4], nullptr);
    CHECK_HR(second->mathrecord(depth, 30, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5],
                                &out[6], &out[7]),
             S_OK);
    for (int i = 0; i < 8; ++i) {
      const double expected = std::strtod(argv[5 + i], nullptr);
      // The expected values are printed with 15 significant digits.
      if (!(std::fabs(out[i] - expected) <= 1e-13 * std::fmax(1.0, std::fabs(expected)))) {
        char text[128];
        std::snprintf(text, sizeof text, "mathrecord value %d is %.17g, not %s", i, out[i],
                      argv[5 + i]);
        lkrva::wintest::Fail(__FILE__, __LINE__, text);
      }
    }
    second->Release();
  }

  // A table that is not there: S_OK all the same, and one warning that the
  // data could not be opened.
  log.messages.clear();
  BSTR missing = Text("no_such_table");
  CHECK_HR(krva->transparameter(texts[0], missing, texts[2], texts[3], texts[4], texts[5], texts[6],
                                texts[7], texts[8], texts[9], texts[10], texts[11]),
           S_OK);
  CHECK_HR(krva->mathtable(30), S_OK);
  CHECK_EQ(log.messages.size(), 1u);
  if (!log.messages.empty()) CHECK_STR(log.messages[0], "警告: 数据初始化失败！ (48)");
  SysFreeString(missing);

  for (BSTR b : texts) SysFreeString(b);
  CHECK_HR(set_ui(nullptr), S_OK);
  krva->Release();
  CoUninitialize();
  return lkrva::wintest::Finish("runs");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string phase = argc > 1 ? argv[1] : "";
  if (phase == "com" && argc == 3) return ComPhase(argv[2]);
  if (phase == "exports" && argc == 3) return ExportsPhase(argv[2]);
  if (phase == "registration" && argc == 3) return RegistrationPhase(argv[2]);
  if (phase == "runs") return RunsPhase(argc, argv);
  std::printf("usage: lkrva_com_test com|exports|registration DLL, or runs ...\n");
  return 2;
}
