/* Basic COM types of LKRVA's binary interface.
 *
 * On Windows these come from the system headers; elsewhere this header
 * declares them with the same names and the same binary layout a Windows
 * build has: GUID is 16 bytes, HRESULT and ULONG are 32-bit, OLECHAR is a
 * 16-bit UTF-16 code unit and a BSTR points at the first character of a
 * length-prefixed UTF-16 string. Usable from C and C++.
 *
 * Calling convention: on x86-64 Linux there is one calling convention for
 * everything (System V), so STDMETHODCALLTYPE expands to nothing there; on
 * 32-bit Windows it is __stdcall, as COM requires. */
#ifndef LKRVA_COM_TYPES_H
#define LKRVA_COM_TYPES_H

#if defined(_WIN32)
/* windows.h first, so that its macros (GetClassInfo among them) rename the
 * interfaces' members alike wherever this header is included. */
#include <windows.h>
/* (a block of its own, so that include sorting keeps it first) */
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#else

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HRESULT;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int32_t BOOL;
#ifdef __cplusplus
typedef char16_t OLECHAR;
#else
typedef uint16_t OLECHAR;
#endif
typedef OLECHAR* BSTR;
typedef const OLECHAR* LPCOLESTR;

typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
#ifdef __cplusplus
#define REFGUID const GUID&
#define REFIID const IID&
#define REFCLSID const CLSID&
#else
#define REFGUID const GUID*
#define REFIID const IID*
#define REFCLSID const CLSID*
#endif

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#define STDMETHODCALLTYPE
#define STDAPICALLTYPE

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */

#ifdef __cplusplus
#include <cstddef>
static_assert(sizeof(GUID) == 16, "GUID is 16 bytes on every platform");
static_assert(sizeof(HRESULT) == 4, "HRESULT is 32-bit on every platform");
static_assert(sizeof(ULONG) == 4, "ULONG is 32-bit on every platform");
static_assert(sizeof(OLECHAR) == 2, "OLECHAR is a UTF-16 code unit");
#endif

#endif /* LKRVA_COM_TYPES_H */
