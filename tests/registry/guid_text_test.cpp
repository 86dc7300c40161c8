// GUID text form: formatting and the parser's refusals.
#include "registry/guid_text.hpp"

#include <gtest/gtest.h>

namespace lkrva::registry {
namespace {

constexpr GUID kClsid = {
    0x317D7E91, 0xB5A1, 0x4BA1, {0xB9, 0x1B, 0x21, 0xC1, 0x91, 0x09, 0x57, 0x73}};

TEST(registry_guid_text, formats_upper_case_in_braces) {
  EXPECT_EQ(FormatGuid(kClsid), "{317D7E91-B5A1-4BA1-B91B-21C191095773}");
}

TEST(registry_guid_text, parses_any_case_and_round_trips) {
  const auto parsed = ParseGuid("{317d7e91-b5a1-4ba1-b91b-21c191095773}");
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(SameGuid(*parsed, kClsid));
}

TEST(registry_guid_text, refuses_malformed_text) {
  for (const char* bad :
       {"", "317D7E91-B5A1-4BA1-B91B-21C191095773", "{317D7E91-B5A1-4BA1-B91B-21C19109577}",
        "{317D7E91+B5A1-4BA1-B91B-21C191095773}", "{317D7E9G-B5A1-4BA1-B91B-21C191095773}",
        "{317D7E91-B5A1-4BA1-B91B-21C1910957733}"}) {
    EXPECT_FALSE(ParseGuid(bad)) << bad;
  }
}

}  // namespace
}  // namespace lkrva::registry
