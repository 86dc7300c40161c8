// ITypeInfo over a type of the module's own type library.
#pragma once

#include <memory>

#include "lkrva/lkrva.h"
#include "typelib/type_library.hpp"

namespace lkrva::server {

/// A new ITypeInfo (one reference, the caller's) describing `type`, which
/// lives in `lib`; it keeps the library alive and counts as an object of the
/// module for DllCanUnloadNow. Throws std::bad_alloc.
ITypeInfo* NewTypeInfo(std::shared_ptr<const typelib::TypeLibrary> lib,
                       const typelib::TypeInfo& type);

}  // namespace lkrva::server
