// GetClassInfo on Windows: the type information of the system's own
// type-library services.
#pragma once

#include "lkrva/com_types.h"

namespace lkrva::server {

/// The type information of `clsid` in the type library of this module's
/// file, as the system's LoadTypeLibEx reads it (without registering it).
/// The library is loaded on first need and kept while the module is loaded.
/// S_OK with one reference for the caller; otherwise the system's error
/// and a null pointer.
HRESULT SystemClassTypeInfo(REFCLSID clsid, ITypeInfo** out);

}  // namespace lkrva::server
