/* The published binary interface of the KRVA calculation server.
 *
 * Declares the identities (CLSID_KRVA, IID_IKRVA and the standard interface
 * identifiers), the interfaces a host calls (IUnknown, IClassFactory,
 * ISupportErrorInfo, IProvideClassInfo, ITypeInfo, IKRVA) and the functions that
 * liblkrva.so exports. Usable from C and C++: in C every interface is a
 * struct whose first member points at its table of functions (lpVtbl); in
 * C++ it is an abstract class whose virtual functions are laid out in the
 * same order, so either kind of host calls the same binary tables.
 *
 * Calling convention: x86-64 Linux has one calling convention (System V) for
 * every function, so STDMETHODCALLTYPE is empty there; a 32-bit Windows
 * build gets __stdcall from the system headers, as COM requires.
 *
 * Memory: BSTR arguments stay the caller's; allocate them with
 * LKRVA_SysAllocString / LKRVA_SysAllocStringLen and free them with
 * LKRVA_SysFreeString. See docs/host-interface.md for a complete host. */
#ifndef LKRVA_LKRVA_H
#define LKRVA_LKRVA_H

#include "lkrva/com_types.h"
#include "lkrva/lkrva_ui.h"

#if defined(_WIN32)
#define LKRVA_API
#elif defined(LKRVA_BUILDING_SERVER)
#define LKRVA_API __attribute__((visibility("default")))
#else
#define LKRVA_API
#endif

#ifdef __cplusplus
#define LKRVA_EXTERN_C extern "C"
#else
#define LKRVA_EXTERN_C
#endif

/* Identities. Defined in the header so a host that loads the library with
 * dlopen() needs no data symbols from it. */
#ifdef __cplusplus
#define LKRVA_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#else
#define LKRVA_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  static const GUID name __attribute__((unused)) = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#endif

/* {317D7E91-B5A1-4BA1-B91B-21C191095773} */
LKRVA_DEFINE_GUID(CLSID_KRVA, 0x317D7E91, 0xB5A1, 0x4BA1, 0xB9, 0x1B, 0x21, 0xC1, 0x91, 0x09, 0x57,
                  0x73);
/* {76BBF211-B048-4C9E-98DA-9B542223E873} */
LKRVA_DEFINE_GUID(IID_IKRVA, 0x76BBF211, 0xB048, 0x4C9E, 0x98, 0xDA, 0x9B, 0x54, 0x22, 0x23, 0xE8,
                  0x73);
/* {F3E39089-8E65-431D-A671-42ABE193E6DA} */
LKRVA_DEFINE_GUID(LIBID_LKRVA, 0xF3E39089, 0x8E65, 0x431D, 0xA6, 0x71, 0x42, 0xAB, 0xE1, 0x93, 0xE6,
                  0xDA);

#if !defined(_WIN32)
/* The standard interfaces; a Windows build takes these from the system. */
LKRVA_DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                  0x00, 0x46);
LKRVA_DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                  0x00, 0x46);
LKRVA_DEFINE_GUID(IID_IDispatch, 0x00020400, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                  0x00, 0x46);
LKRVA_DEFINE_GUID(IID_ISupportErrorInfo, 0xDF0B3D60, 0x548F, 0x101B, 0x8E, 0x65, 0x08, 0x00, 0x2B,
                  0x2B, 0xD1, 0x19);
LKRVA_DEFINE_GUID(IID_IProvideClassInfo, 0xB196B283, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00,
                  0x34, 0x1D, 0x07);
LKRVA_DEFINE_GUID(IID_ITypeInfo, 0x00020401, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                  0x00, 0x46);

/* ---- Type information, as IProvideClassInfo::GetClassInfo hands it out ----
 *
 * The structures have the members, order and sizes of the automation
 * structures of the same names on a 64-bit Windows build, so a host reads
 * them as it would there. Texts are BSTRs the host frees with
 * LKRVA_SysFreeString; a TYPEATTR or FUNCDESC goes back through
 * ReleaseTypeAttr or ReleaseFuncDesc of the type info that gave it. */
typedef LONG MEMBERID;
typedef DWORD HREFTYPE;
typedef DWORD LCID;
typedef uint16_t VARTYPE;
typedef int32_t TYPEKIND;
typedef int32_t FUNCKIND;
typedef int32_t INVOKEKIND;
typedef int32_t CALLCONV;

#define MEMBERID_NIL ((MEMBERID)-1)
/* TYPEKIND */
#define TKIND_ENUM 0
#define TKIND_RECORD 1
#define TKIND_MODULE 2
#define TKIND_INTERFACE 3
#define TKIND_DISPATCH 4
#define TKIND_COCLASS 5
#define TKIND_ALIAS 6
#define TKIND_UNION 7
/* The flags GetImplTypeFlags gives. */
#define IMPLTYPEFLAG_FDEFAULT 0x1
#define IMPLTYPEFLAG_FSOURCE 0x2
#define IMPLTYPEFLAG_FRESTRICTED 0x4
/* Result of a member or index the type has not. */
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802BL)

typedef struct TYPEDESC {
  union {
    struct TYPEDESC* lptdesc; /* VT_PTR, VT_SAFEARRAY: the type pointed at */
    void* lpadesc;            /* VT_CARRAY: never given by LKRVA */
    HREFTYPE hreftype;        /* VT_USERDEFINED */
  } u;
  VARTYPE vt;
} TYPEDESC;

typedef struct IDLDESC {
  uintptr_t dwReserved;
  uint16_t wIDLFlags;
} IDLDESC;

typedef struct PARAMDESC {
  void* pparamdescex; /* no default values: always NULL */
  uint16_t wParamFlags;
} PARAMDESC;

typedef struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  } u;
} ELEMDESC;

typedef struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  OLECHAR* lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
} TYPEATTR;

typedef struct FUNCDESC {
  MEMBERID memid;
  int32_t* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  int16_t cParams;
  int16_t cParamsOpt;
  int16_t oVft;
  int16_t cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
} FUNCDESC;

#ifdef __cplusplus
/* ---- C++ view: abstract classes, one virtual function per table slot. ---- */

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

/* ITypeInfo: the description of one type of LKRVA's type library. The table
 * has the 22 slots of the automation interface in their usual order; LKRVA
 * implements the slots that read the description and answers E_NOTIMPL in
 * the others (marked "not implemented" below), whose parameters it declares
 * as untyped pointers. Answers E_POINTER for a NULL result pointer and
 * TYPE_E_ELEMENTNOTFOUND for an index or member the type has not.
 *  - GetTypeAttr / ReleaseTypeAttr: the type's attributes.
 *  - GetFuncDesc / ReleaseFuncDesc: function `index` (interfaces only).
 *  - GetNames: the function's name, then its parameters' names.
 *  - GetRefTypeOfImplType, GetImplTypeFlags: the implemented (coclass) or
 *    inherited (interface) type `index` and its IMPLTYPEFLAG_* flags.
 *  - GetRefTypeInfo: the type info an HREFTYPE of this type names, when it
 *    lies in LKRVA's library (IKRVA); TYPE_E_ELEMENTNOTFOUND for others.
 *  - GetDocumentation: MEMBERID_NIL documents the type, a memid a function;
 *    any of the four result pointers may be NULL. */
struct ITypeInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(void** ppTComp) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE GetFuncDesc(unsigned index, FUNCDESC** ppFuncDesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVarDesc(unsigned index, void** ppVarDesc) = 0; /* n.i. */
  virtual HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, unsigned cMaxNames,
                                             unsigned* pcNames) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(unsigned index, HREFTYPE* pRefType) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplTypeFlags(unsigned index, int* pImplTypeFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(OLECHAR** rgszNames, unsigned cNames,
                                                  MEMBERID* pMemId) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE Invoke(void* pvInstance, MEMBERID memid, WORD wFlags,
                                           void* pDispParams, void* pVarResult, void* pExcepInfo,
                                           unsigned* puArgErr) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName,
                                                     BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                                     BSTR* pBstrHelpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID memid, INVOKEKIND invKind,
                                                BSTR* pBstrDllName, BSTR* pBstrName,
                                                WORD* pwOrdinal) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID memid, INVOKEKIND invKind,
                                                    void** ppv) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                   void** ppvObj) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE GetMops(MEMBERID memid,
                                            BSTR* pBstrMops) = 0; /* not implemented */
  virtual HRESULT STDMETHODCALLTYPE GetContainingTypeLib(void** ppTLib,
                                                         unsigned* pIndex) = 0; /* n.i. */
  virtual void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) = 0;
  virtual void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) = 0;
  virtual void STDMETHODCALLTYPE ReleaseVarDesc(void* pVarDesc) = 0; /* does nothing */
};

struct IClassFactory : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                   void** ppvObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};

struct ISupportErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

struct IProvideClassInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) = 0;
};

#else
/* ---- C view: a pointer to a table of functions, in the same order. ---- */

typedef struct ITypeInfo ITypeInfo;
typedef struct IUnknown IUnknown;
typedef struct IClassFactory IClassFactory;
typedef struct ISupportErrorInfo ISupportErrorInfo;
typedef struct IProvideClassInfo IProvideClassInfo;

/* ITypeInfo: see the C++ view above for what each slot does. */
typedef struct ITypeInfoVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(ITypeInfo* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(ITypeInfo* This);
  ULONG(STDMETHODCALLTYPE* Release)(ITypeInfo* This);
  HRESULT(STDMETHODCALLTYPE* GetTypeAttr)(ITypeInfo* This, TYPEATTR** ppTypeAttr);
  HRESULT(STDMETHODCALLTYPE* GetTypeComp)(ITypeInfo* This, void** ppTComp);
  HRESULT(STDMETHODCALLTYPE* GetFuncDesc)(ITypeInfo* This, unsigned index, FUNCDESC** ppFuncDesc);
  HRESULT(STDMETHODCALLTYPE* GetVarDesc)(ITypeInfo* This, unsigned index, void** ppVarDesc);
  HRESULT(STDMETHODCALLTYPE* GetNames)
  (ITypeInfo* This, MEMBERID memid, BSTR* rgBstrNames, unsigned cMaxNames, unsigned* pcNames);
  HRESULT(STDMETHODCALLTYPE* GetRefTypeOfImplType)
  (ITypeInfo* This, unsigned index, HREFTYPE* pRefType);
  HRESULT(STDMETHODCALLTYPE* GetImplTypeFlags)(ITypeInfo* This, unsigned index, int* pFlags);
  HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)
  (ITypeInfo* This, OLECHAR** rgszNames, unsigned cNames, MEMBERID* pMemId);
  HRESULT(STDMETHODCALLTYPE* Invoke)
  (ITypeInfo* This, void* pvInstance, MEMBERID memid, WORD wFlags, void* pDispParams,
   void* pVarResult, void* pExcepInfo, unsigned* puArgErr);
  HRESULT(STDMETHODCALLTYPE* GetDocumentation)
  (ITypeInfo* This, MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
   BSTR* pBstrHelpFile);
  HRESULT(STDMETHODCALLTYPE* GetDllEntry)
  (ITypeInfo* This, MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName, BSTR* pBstrName,
   WORD* pwOrdinal);
  HRESULT(STDMETHODCALLTYPE* GetRefTypeInfo)
  (ITypeInfo* This, HREFTYPE hRefType, ITypeInfo** ppTInfo);
  HRESULT(STDMETHODCALLTYPE* AddressOfMember)
  (ITypeInfo* This, MEMBERID memid, INVOKEKIND invKind, void** ppv);
  HRESULT(STDMETHODCALLTYPE* CreateInstance)
  (ITypeInfo* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObj);
  HRESULT(STDMETHODCALLTYPE* GetMops)(ITypeInfo* This, MEMBERID memid, BSTR* pBstrMops);
  HRESULT(STDMETHODCALLTYPE* GetContainingTypeLib)
  (ITypeInfo* This, void** ppTLib, unsigned* pIndex);
  void(STDMETHODCALLTYPE* ReleaseTypeAttr)(ITypeInfo* This, TYPEATTR* pTypeAttr);
  void(STDMETHODCALLTYPE* ReleaseFuncDesc)(ITypeInfo* This, FUNCDESC* pFuncDesc);
  void(STDMETHODCALLTYPE* ReleaseVarDesc)(ITypeInfo* This, void* pVarDesc);
} ITypeInfoVtbl;
struct ITypeInfo {
  const ITypeInfoVtbl* lpVtbl;
};

typedef struct IUnknownVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(IUnknown* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(IUnknown* This);
  ULONG(STDMETHODCALLTYPE* Release)(IUnknown* This);
} IUnknownVtbl;
struct IUnknown {
  const IUnknownVtbl* lpVtbl;
};

typedef struct IClassFactoryVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(IClassFactory* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(IClassFactory* This);
  ULONG(STDMETHODCALLTYPE* Release)(IClassFactory* This);
  HRESULT(STDMETHODCALLTYPE* CreateInstance)
  (IClassFactory* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObject);
  HRESULT(STDMETHODCALLTYPE* LockServer)(IClassFactory* This, BOOL fLock);
} IClassFactoryVtbl;
struct IClassFactory {
  const IClassFactoryVtbl* lpVtbl;
};

typedef struct ISupportErrorInfoVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)
  (ISupportErrorInfo* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(ISupportErrorInfo* This);
  ULONG(STDMETHODCALLTYPE* Release)(ISupportErrorInfo* This);
  HRESULT(STDMETHODCALLTYPE* InterfaceSupportsErrorInfo)(ISupportErrorInfo* This, REFIID riid);
} ISupportErrorInfoVtbl;
struct ISupportErrorInfo {
  const ISupportErrorInfoVtbl* lpVtbl;
};

typedef struct IProvideClassInfoVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)
  (IProvideClassInfo* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(IProvideClassInfo* This);
  ULONG(STDMETHODCALLTYPE* Release)(IProvideClassInfo* This);
  HRESULT(STDMETHODCALLTYPE* GetClassInfo)(IProvideClassInfo* This, ITypeInfo** ppTI);
} IProvideClassInfoVtbl;
struct IProvideClassInfo {
  const IProvideClassInfoVtbl* lpVtbl;
};
#endif /* __cplusplus */
#endif /* !_WIN32 */

/* IKRVA: derives directly from IUnknown (neither dual nor dispatch). Table:
 * QueryInterface, AddRef, Release, transparameter, mathtable, mathrecord.
 *
 * transparameter asks the user for the magnetic declination, then keeps the
 * twelve texts and the declination for later runs: S_OK when it stored them,
 * S_FALSE when the user cancelled or the entry was no number (nothing
 * changed). mathtable computes the whole table: S_OK on every path.
 * mathrecord computes down to depth JS and writes the eight outputs: S_OK
 * when it wrote them, S_FALSE when it did not. Any call made while another
 * call of the process is running on the same thread (from a UI callback)
 * gives E_UNEXPECTED and changes nothing; calls from other threads wait. */
#ifdef __cplusplus
struct IKRVA : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE transparameter(BSTR ADOConString, BSTR Tablename,
                                                   BSTR FilterStr, BSTR JS, BSTR JXJ, BSTR FWJ,
                                                   BSTR CZJS, BSTR BHJ, BSTR BHFW, BSTR X, BSTR Y,
                                                   BSTR JYQL) = 0;
  virtual HRESULT STDMETHODCALLTYPE mathtable(double gtdjs) = 0;
  virtual HRESULT STDMETHODCALLTYPE mathrecord(double JS, double gtdjs, double* JXJ, double* FWJ,
                                               double* CZJS, double* BHJ, double* BHFW, double* X,
                                               double* Y, double* JYQL) = 0;
};
#else
typedef struct IKRVA IKRVA;
typedef struct IKRVAVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(IKRVA* This, REFIID riid, void** ppvObject);
  ULONG(STDMETHODCALLTYPE* AddRef)(IKRVA* This);
  ULONG(STDMETHODCALLTYPE* Release)(IKRVA* This);
  HRESULT(STDMETHODCALLTYPE* transparameter)
  (IKRVA* This, BSTR ADOConString, BSTR Tablename, BSTR FilterStr, BSTR JS, BSTR JXJ, BSTR FWJ,
   BSTR CZJS, BSTR BHJ, BSTR BHFW, BSTR X, BSTR Y, BSTR JYQL);
  HRESULT(STDMETHODCALLTYPE* mathtable)(IKRVA* This, double gtdjs);
  HRESULT(STDMETHODCALLTYPE* mathrecord)
  (IKRVA* This, double JS, double gtdjs, double* JXJ, double* FWJ, double* CZJS, double* BHJ,
   double* BHFW, double* X, double* Y, double* JYQL);
} IKRVAVtbl;
struct IKRVA {
  const IKRVAVtbl* lpVtbl;
};
#endif

/* ---- Functions exported by liblkrva.so ---- */

/* The class factory of CLSID_KRVA, as the interface riid (IUnknown or
 * IClassFactory). Other CLSID: CLASS_E_CLASSNOTAVAILABLE and *ppv = NULL. */
LKRVA_EXTERN_C LKRVA_API HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid,
                                                                  void** ppv);
/* S_OK when no object, no server lock and no factory reference remains. */
LKRVA_EXTERN_C LKRVA_API HRESULT STDAPICALLTYPE DllCanUnloadNow(void);

/* Registers the library's type library and KRVA (docs/registration.md) in
 * the registry file (LKRVA_REGISTRY or the default), with this module's full
 * path. S_OK, or E_FAIL at the first step that fails (what was written
 * before it stays). Never shows or prints a message. */
LKRVA_EXTERN_C LKRVA_API HRESULT STDAPICALLTYPE DllRegisterServer(void);
/* Removes what DllRegisterServer wrote; a key another program added a
 * subkey to stays. S_OK, also when nothing was registered; E_FAIL only when
 * the module's own type library cannot be read. */
LKRVA_EXTERN_C LKRVA_API HRESULT STDAPICALLTYPE DllUnregisterServer(void);

/* BSTRs: UTF-16 text after a 32-bit byte-length prefix, NUL-terminated.
 * Allocation failure gives NULL; freeing NULL does nothing. */
LKRVA_EXTERN_C LKRVA_API BSTR LKRVA_SysAllocString(const OLECHAR* text);
LKRVA_EXTERN_C LKRVA_API BSTR LKRVA_SysAllocStringLen(const OLECHAR* text, uint32_t length);
LKRVA_EXTERN_C LKRVA_API void LKRVA_SysFreeString(BSTR text);
LKRVA_EXTERN_C LKRVA_API uint32_t LKRVA_SysStringLen(BSTR text);

/* Installs the host's user-interface callbacks (lkrva/lkrva_ui.h), copied;
 * NULL removes them. E_INVALIDARG when the version is unknown (0). */
LKRVA_EXTERN_C LKRVA_API HRESULT LKRVA_SetUiCallbacks(const LKRVA_UiCallbacks* callbacks);

/* Function-pointer types for hosts that resolve the exports with dlsym(). */
typedef HRESULT(STDAPICALLTYPE* LKRVA_DllGetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* LKRVA_DllCanUnloadNowFn)(void);
typedef HRESULT(STDAPICALLTYPE* LKRVA_DllRegisterServerFn)(void);
typedef HRESULT(STDAPICALLTYPE* LKRVA_DllUnregisterServerFn)(void);
typedef BSTR (*LKRVA_SysAllocStringFn)(const OLECHAR*);
typedef BSTR (*LKRVA_SysAllocStringLenFn)(const OLECHAR*, uint32_t);
typedef void (*LKRVA_SysFreeStringFn)(BSTR);
typedef uint32_t (*LKRVA_SysStringLenFn)(BSTR);
typedef HRESULT (*LKRVA_SetUiCallbacksFn)(const LKRVA_UiCallbacks*);

#endif /* LKRVA_LKRVA_H */
