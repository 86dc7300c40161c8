// The hash under which a type library files its names.
#pragma once

#include <cstdint>
#include <string_view>

namespace lkrva::typelib {

/// The name hash of the neutral/Western locale group for a non-Mac system
/// kind: letters fold to upper case, W folds to V and Y to U, '/' counts as
/// zero. Returns the full 32-bit value (0x0010xxxx); files keep its low word
/// and bucket names by its low seven bits. Throws std::invalid_argument for
/// a byte outside ASCII, which would need another locale's table.
uint32_t NameHash(std::string_view name);

}  // namespace lkrva::typelib
