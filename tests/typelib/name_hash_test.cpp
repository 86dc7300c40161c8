// The name hash against values known from existing type libraries.
#include "typelib/name_hash.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lkrva::typelib {
namespace {

TEST(typelib_name_hash, matches_known_values) {
  const std::pair<const char*, uint32_t> cases[] = {{"LKRVA", 0x1071BD},
                                                    {"IKRVA", 0x10BC14},
                                                    {"KRVA", 0x10FE09},
                                                    {"x", 0x10106F},
                                                    {"s1", 0x105F05}};
  for (const auto& [name, hash] : cases) EXPECT_EQ(NameHash(name), hash) << name;
}

TEST(typelib_name_hash, ignores_case_and_folds_w_and_y) {
  EXPECT_EQ(NameHash("mathtable"), NameHash("MATHTABLE"));
  EXPECT_EQ(NameHash("W"), NameHash("v"));
  EXPECT_EQ(NameHash("y"), NameHash("U"));
  EXPECT_THROW(NameHash("\xC3\xA9"), std::invalid_argument);
}

}  // namespace
}  // namespace lkrva::typelib
