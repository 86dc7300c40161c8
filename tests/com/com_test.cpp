// GUID text, BSTR layout and the module's counts.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "com/bstr.hpp"
#include "com/guid.hpp"
#include "com/module_lock.hpp"
#include "lkrva/lkrva.h"

namespace lkrva::com {
namespace {

TEST(guid, formats_as_the_registry_shows_it) {
  EXPECT_EQ(FormatGuid(CLSID_KRVA), "{317D7E91-B5A1-4BA1-B91B-21C191095773}");
  EXPECT_EQ(FormatGuid(IID_IKRVA), "{76BBF211-B048-4C9E-98DA-9B542223E873}");
  EXPECT_EQ(FormatGuid(LIBID_LKRVA), "{F3E39089-8E65-431D-A671-42ABE193E6DA}");
  EXPECT_EQ(FormatGuid(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
}

TEST(guid, parses_either_case_and_round_trips) {
  EXPECT_TRUE(SameGuid(ParseGuid("{317d7e91-b5a1-4ba1-b91b-21c191095773}"), CLSID_KRVA));
  EXPECT_TRUE(SameGuid(ParseGuid(FormatGuid(IID_IProvideClassInfo)), IID_IProvideClassInfo));
  EXPECT_FALSE(SameGuid(CLSID_KRVA, IID_IKRVA));
}

TEST(guid, refuses_malformed_text) {
  for (const char* bad :
       {"", "317D7E91-B5A1-4BA1-B91B-21C191095773", "{317D7E91-B5A1-4BA1-B91B-21C19109577}",
        "{317D7E91-B5A1-4BA1-B91B_21C191095773}", "{317D7E9G-B5A1-4BA1-B91B-21C191095773}",
        "{317D7E91-B5A1-4BA1-B91B-21C1910957733}"}) {
    EXPECT_THROW(ParseGuid(bad), std::invalid_argument) << bad;
  }
}

TEST(bstr, carries_its_byte_length_before_the_text_and_a_nul_after) {
  BSTR b = AllocString(u"磁偏角");
  ASSERT_NE(b, nullptr);
  std::uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(b) - 4, 4);
  EXPECT_EQ(prefix, 6u);
  EXPECT_EQ(StringLen(b), 3u);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(View(b), u"磁偏角");
  FreeString(b);
}

TEST(bstr, keeps_embedded_nuls_and_fills_a_null_source_with_zeros) {
  const char16_t text[] = {u'a', 0, u'b'};
  BSTR b = AllocStringLen(text, 3);
  EXPECT_EQ(View(b), std::u16string_view(text, 3));
  FreeString(b);
  BSTR zeros = AllocStringLen(nullptr, 2);
  EXPECT_EQ(View(zeros), std::u16string_view(u"\0\0", 2));
  FreeString(zeros);
}

TEST(bstr, null_is_an_empty_text_everywhere) {
  EXPECT_EQ(AllocString(nullptr), nullptr);
  EXPECT_EQ(StringLen(nullptr), 0u);
  EXPECT_TRUE(View(nullptr).empty());
  FreeString(nullptr);
  BSTR empty = AllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(StringLen(empty), 0u);
  FreeString(empty);
}

TEST(bstr, refuses_a_length_whose_bytes_overflow_the_prefix) {
  EXPECT_EQ(AllocStringLen(nullptr, 0x80000000u), nullptr);
}

TEST(module_lock, holds_the_module_while_anything_counts) {
  ModuleLock& m = Module();
  ASSERT_EQ(m.CanUnload(), S_OK);
  m.ObjectCreated();
  EXPECT_EQ(m.CanUnload(), S_FALSE);
  m.ObjectDestroyed();
  m.Lock();
  EXPECT_EQ(m.CanUnload(), S_FALSE);
  EXPECT_TRUE(m.Unlock());
  m.FactoryReferenced();
  EXPECT_EQ(m.CanUnload(), S_FALSE);
  m.FactoryReleased();
  EXPECT_EQ(m.CanUnload(), S_OK);
}

TEST(module_lock, an_unmatched_unlock_changes_nothing) {
  ModuleLock& m = Module();
  EXPECT_FALSE(m.Unlock());
  EXPECT_EQ(m.Locks(), 0);
  EXPECT_EQ(m.CanUnload(), S_OK);
}

}  // namespace
}  // namespace lkrva::com
