/* A host written in C: the activation functions through their C signatures. */
#include "activation_c_host.h"

#include "lkrva/lkrva_activation.h"

HRESULT CHost_ClsidFromProgId(const char* progid, CLSID* clsid) {
  return LKRVA_CLSIDFromProgID(progid, clsid);
}

HRESULT CHost_CreateByClsid(const CLSID* clsid, const IID* iid, void** ppv) {
  return LKRVA_CreateInstance(clsid, iid, ppv);
}

HRESULT CHost_CreateByProgId(const char* progid, const IID* iid, void** ppv) {
  return LKRVA_CreateInstanceFromProgID(progid, iid, ppv);
}
