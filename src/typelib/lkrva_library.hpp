// The contents of LKRVA's type library: library LKRVA, interface IKRVA, class KRVA.
#pragma once

#include "typelib/library_description.hpp"

namespace lkrva::typelib {

/// LKRVA's library for a system kind and pointer size: SYS_WIN32 with 4
/// (the layout hosts have always seen, and the one embedded in our library)
/// or SYS_WIN64 with 8 for a 64-bit Windows build.
LibraryDescription LkrvaLibrary(int syskind, uint32_t pointer_size);

}  // namespace lkrva::typelib
