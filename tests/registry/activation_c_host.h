/* The C host's functions, callable from the C++ tests. */
#ifndef LKRVA_TESTS_ACTIVATION_C_HOST_H
#define LKRVA_TESTS_ACTIVATION_C_HOST_H

#include "lkrva/com_types.h"

#ifdef __cplusplus
extern "C" {
#endif

HRESULT CHost_ClsidFromProgId(const char* progid, CLSID* clsid);
HRESULT CHost_CreateByClsid(const CLSID* clsid, const IID* iid, void** ppv);
HRESULT CHost_CreateByProgId(const char* progid, const IID* iid, void** ppv);

#ifdef __cplusplus
}
#endif

#endif /* LKRVA_TESTS_ACTIVATION_C_HOST_H */
