// GUIDs as registry values hold them: what the registry layer accepts from a file.
#include <gtest/gtest.h>

#include "com/guid.hpp"

namespace lkrva::registry {
namespace {

constexpr GUID kClsid = {
    0x317D7E91, 0xB5A1, 0x4BA1, {0xB9, 0x1B, 0x21, 0xC1, 0x91, 0x09, 0x57, 0x73}};

TEST(registry_guid, a_value_of_any_case_reads_back) {
  const auto parsed = com::TryParseGuid("{317d7e91-b5a1-4ba1-b91b-21c191095773}");
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(com::SameGuid(*parsed, kClsid));
  EXPECT_EQ(com::FormatGuid(*parsed), "{317D7E91-B5A1-4BA1-B91B-21C191095773}");
}

TEST(registry_guid, a_value_that_is_no_guid_reads_as_none) {
  for (const char* bad :
       {"", "317D7E91-B5A1-4BA1-B91B-21C191095773", "{317D7E91-B5A1-4BA1-B91B-21C19109577}",
        "{317D7E91+B5A1-4BA1-B91B-21C191095773}", "{317D7E9G-B5A1-4BA1-B91B-21C191095773}",
        "{317D7E91-B5A1-4BA1-B91B-21C1910957733}"}) {
    EXPECT_FALSE(com::TryParseGuid(bad)) << bad;
  }
}

}  // namespace
}  // namespace lkrva::registry
