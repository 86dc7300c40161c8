// The entry's editing rules, key sequence by key sequence.
#include "ui/entry_editor.hpp"

#include <gtest/gtest.h>

#include <string>

namespace lkrva::ui {
namespace {

struct Case {
  const char* name;
  std::string keys;
  EntryEditor::Outcome outcome;
  std::string text;
};

EntryEditor::Outcome Type(EntryEditor& e, const std::string& keys) {
  auto outcome = EntryEditor::Outcome::kEditing;
  for (const char c : keys) {
    outcome = e.Feed(static_cast<unsigned char>(c));
    if (outcome != EntryEditor::Outcome::kEditing) break;
  }
  return outcome;
}

TEST(entry_editor, follows_the_dialog_rules) {
  using O = EntryEditor::Outcome;
  const Case cases[] = {
      {"enter accepts the untouched default", "\r", O::kAccepted, "0"},
      {"typing replaces the selection", "-2.5\r", O::kAccepted, "-2.5"},
      {"backspace deletes the selection", "\x7f\r", O::kAccepted, ""},
      {"backspace deletes a whole UTF-8 character", "a磁\x7f\r", O::kAccepted, "a"},
      {"ctrl-u clears",
       "12\x15"
       "3\n",
       O::kAccepted, "3"},
      {"ctrl-c cancels", "12\x03", O::kCancelled, "12"},
      {"ctrl-d on an empty entry cancels", "\x7f\x04", O::kCancelled, ""},
      {"ctrl-d on a non-empty entry is ignored", "5\x04\r", O::kAccepted, "5"},
      {"other control bytes are ignored",
       "1\x01\x02"
       "2\r",
       O::kAccepted, "12"},
  };
  for (const Case& c : cases) {
    EntryEditor e("0", 255);
    EXPECT_EQ(Type(e, c.keys), c.outcome) << c.name;
    EXPECT_EQ(e.Text(), c.text) << c.name;
  }
}

TEST(entry_editor, stops_at_the_character_limit_counting_characters_not_bytes) {
  EntryEditor e("0", 3);
  EXPECT_EQ(Type(e, "磁偏角度x"), EntryEditor::Outcome::kEditing);
  EXPECT_EQ(e.Text(), "磁偏角");
  EXPECT_TRUE(e.Refused());
  e.Feed(0x7f);
  Type(e, "1");
  EXPECT_FALSE(e.Refused());
  EXPECT_EQ(e.Text(), "磁偏1");
}

}  // namespace
}  // namespace lkrva::ui
