// The identities hosts know LKRVA by, under the names the type-library code
// uses; the values are those the published header declares.
#pragma once

#include "lkrva/lkrva.h"

namespace lkrva::typelib {

/// The type library LKRVA.
inline constexpr const GUID& kLibIdLkrva = LIBID_LKRVA;
/// The interface IKRVA.
inline constexpr const GUID& kIidIKrva = IID_IKRVA;
/// The class KRVA.
inline constexpr const GUID& kClsidKrva = CLSID_KRVA;

}  // namespace lkrva::typelib
