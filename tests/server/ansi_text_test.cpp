// UTF-16 to 8-bit text: UTF-8, a legacy Chinese set, and the locale's own.
#include "text/ansi_text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace lkrva::text {
namespace {

TEST(ansi_text, converts_by_character_set) {
  struct Case {
    const char* name;
    std::u16string in;
    const char* charset;
    std::string out;
  };
  const Case cases[] = {
      {"plain ascii", u"JS", "UTF-8", "JS"},
      {"chinese in utf-8", u"磁偏角", "UTF-8", "\xE7\xA3\x81\xE5\x81\x8F\xE8\xA7\x92"},
      {"a surrogate pair", u"\U0001F600", "UTF-8", "\xF0\x9F\x98\x80"},
      {"a lone high surrogate", std::u16string{u'a', char16_t(0xD83D)}, "UTF-8", "a?"},
      {"a lone low surrogate", std::u16string{char16_t(0xDE00), u'b'}, "UTF-8", "?b"},
      {"chinese in gb2312", u"磁偏角", "GB2312", "\xB4\xC5\xC6\xAB\xBD\xC7"},
      {"beyond gb2312", u"a€\U0001F600b", "GB2312", "a??b"},
      {"beyond ascii", u"é中", "ANSI_X3.4-1968", "??"},
      {"empty", u"", "GB2312", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToCharset(c.in, c.charset), c.out) << c.name;
}

TEST(ansi_text, an_unknown_character_set_is_an_error) {
  EXPECT_THROW(Utf16ToCharset(u"x", "NO-SUCH-SET"), std::runtime_error);
}

TEST(ansi_text, utf8_round_trips_and_bad_bytes_become_replacement_characters) {
  EXPECT_EQ(Utf8ToUtf16("磁偏角为数字"), u"磁偏角为数字");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b\xC0\x80"),
            u"a\uFFFDb\uFFFD\uFFFD");
}

// Run by ctest a second time under a private zh_CN.GB2312 locale.
TEST(ansi_text, the_locale_character_set_is_read_from_the_environment) {
  const char* expected = std::getenv("LKRVA_EXPECT_CHARSET");
  if (expected == nullptr) GTEST_SKIP() << "run under tests/with-charset-locale.sh";
  EXPECT_EQ(LocaleCharset(), expected);
  EXPECT_EQ(Utf16ToLocaleText(u"磁偏角€"), "\xB4\xC5\xC6\xAB\xBD\xC7?");
}

}  // namespace
}  // namespace lkrva::text
