/* Creating objects by their identity, as a COM host does: from a CLSID or a
 * ProgID, through the registry (docs/registration.md).
 *
 *   ProgID -> <ProgID>\Clsid -> CLSID\{clsid}\InprocServer32 (default value:
 *   the module path) -> the module loaded with dlopen() -> its
 *   DllGetClassObject(clsid, IID_IClassFactory) -> IClassFactory::
 *   CreateInstance(NULL, iid, &object) -> the factory released.
 *
 * These functions live in liblkrva_host.so, which hosts link against; they
 * never throw and never print. The registry is the file LKRVA_REGISTRY names,
 * or the default file, read afresh on every call. On every failure the
 * object pointer (or CLSID) is set to NULL (or all zero).
 *
 * Modules stay loaded while any object of theirs may be alive: a module is
 * unloaded only by LKRVA_FreeUnusedLibraries, and only when its
 * DllCanUnloadNow says S_OK. Usable from C and C++. */
#ifndef LKRVA_LKRVA_ACTIVATION_H
#define LKRVA_LKRVA_ACTIVATION_H

#include "lkrva/com_types.h"

#if defined(_WIN32)
#define LKRVA_HOST_API
#elif defined(LKRVA_BUILDING_HOST)
#define LKRVA_HOST_API __attribute__((visibility("default")))
#else
#define LKRVA_HOST_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes beyond those of lkrva/com_types.h, with COM's values. */
#ifndef REGDB_E_READREGDB
/* The registry could not be read: its file does not parse, or cannot be
 * opened or placed. */
#define REGDB_E_READREGDB ((HRESULT)0x80040150L)
#endif
#ifndef REGDB_E_CLASSNOTREG
/* The CLSID is not registered, or has no InprocServer32 module path. */
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#endif
#ifndef CO_E_CLASSSTRING
/* The ProgID is not registered, is not a valid key name, or its Clsid value
 * is not a braced CLSID. */
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3L)
#endif
#ifndef CO_E_DLLNOTFOUND
/* The registered module path names no file the loader can find. */
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8L)
#endif
#ifndef CO_E_ERRORINDLL
/* The module file exists but cannot be loaded (not a shared library, a
 * dependency missing), or it exports no DllGetClassObject. */
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9L)
#endif

/* The CLSID registered for a ProgID ("LKRVA.KRVA"), read from <progid>\Clsid.
 * S_OK; CO_E_CLASSSTRING; REGDB_E_READREGDB; E_POINTER when clsid is NULL;
 * E_INVALIDARG when progid is NULL. */
LKRVA_HOST_API HRESULT LKRVA_CLSIDFromProgID(const char* progid, CLSID* clsid);

/* A new object of class clsid, as interface iid, in *ppv. S_OK;
 * REGDB_E_CLASSNOTREG; CO_E_DLLNOTFOUND; CO_E_ERRORINDLL; REGDB_E_READREGDB;
 * E_POINTER when ppv is NULL; E_OUTOFMEMORY; otherwise whatever the module's
 * DllGetClassObject or CreateInstance returned (CLASS_E_CLASSNOTAVAILABLE
 * when the module does not serve clsid, E_NOINTERFACE when the object lacks
 * iid). clsid and iid must not be NULL. */
LKRVA_HOST_API HRESULT LKRVA_CreateInstance(REFCLSID clsid, REFIID iid, void** ppv);

/* LKRVA_CLSIDFromProgID, then LKRVA_CreateInstance; the codes of both. */
LKRVA_HOST_API HRESULT LKRVA_CreateInstanceFromProgID(const char* progid, REFIID iid, void** ppv);

/* Unloads every module loaded by the functions above whose DllCanUnloadNow
 * returns S_OK and that no activation is using right now. A module without
 * DllCanUnloadNow stays until the process ends. Safe to call at any time
 * from any thread. */
LKRVA_HOST_API void LKRVA_FreeUnusedLibraries(void);

#ifdef __cplusplus
}
#endif

#endif /* LKRVA_LKRVA_ACTIVATION_H */
