// Writing a type library in the MSFT format.
#pragma once

#include <cstdint>
#include <vector>

#include "typelib/library_description.hpp"

namespace lkrva::typelib {

/// The MSFT file describing `library`: every interface derives from IUnknown,
/// imported from stdole2.tlb (LIBID {00020430-...}, 2.0) by GUID; function
/// records carry no optional attributes; no custom data. Offsets, hashes,
/// counts and vtable offsets are computed for the library's pointer size.
/// The output is a pure function of `library`, so builds are reproducible.
/// Throws std::invalid_argument for a description the format cannot hold
/// (a non-ASCII or over-long name, a class naming a missing interface).
std::vector<uint8_t> WriteMsft(const LibraryDescription& library);

}  // namespace lkrva::typelib
