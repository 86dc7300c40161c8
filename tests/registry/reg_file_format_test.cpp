// REGEDIT4 text: the written form, round trips, and files that must be refused.
#include "registry/reg_file_format.hpp"

#include <gtest/gtest.h>

#include "registry/registry_error.hpp"

namespace lkrva::registry {
namespace {

TEST(registry_file_format, writes_sorted_keys_parents_first_default_value_first) {
  RegistryTree tree;
  tree.SetValue("b\\Sub", "Name", "say \"hi\" C:\\dir");
  tree.SetValue("b\\Sub", "", "default");
  tree.CreateKey("A");
  EXPECT_EQ(WriteRegFile(tree),
            "REGEDIT4\n\n"
            "[HKEY_CLASSES_ROOT\\A]\n\n"
            "[HKEY_CLASSES_ROOT\\b]\n\n"
            "[HKEY_CLASSES_ROOT\\b\\Sub]\n"
            "@=\"default\"\n"
            "\"Name\"=\"say \\\"hi\\\" C:\\\\dir\"\n\n");
}

TEST(registry_file_format, reads_back_what_it_writes) {
  RegistryTree tree;
  tree.SetValue("CLSID\\{X}\\InprocServer32", "", "/a dir/lib.so");
  tree.SetValue("CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment");
  tree.SetValue("Q", "", "back\\slash \"quoted\"");
  EXPECT_EQ(ReadRegFile(WriteRegFile(tree), "t.reg"), tree);
}

TEST(registry_file_format, accepts_crlf_comments_and_hive_case) {
  const RegistryTree tree =
      ReadRegFile("REGEDIT4\r\n\r\n; a comment\r\n[hkey_classes_root\\K]\r\n@=\"v\"\r\n", "t.reg");
  EXPECT_EQ(tree.GetValue("k", ""), "v");
}

struct BadFile {
  const char* text;
  const char* message;
};

TEST(registry_file_format, refuses_what_it_cannot_read_naming_file_and_line) {
  const BadFile cases[] = {
      {"", "t.reg: empty file"},
      {"Windows Registry Editor Version 5.00\n", "t.reg:1: the file does not start with REGEDIT4"},
      {"REGEDIT4\n@=\"x\"\n", "t.reg:2: value outside any key"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n", "t.reg:2: only HKEY_CLASSES_ROOT"},
      {"REGEDIT4\n[-HKEY_CLASSES_ROOT\\X]\n", "t.reg:2: key deletion"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X\n", "t.reg:2: key line does not end"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOTX]\n", "t.reg:2: malformed key line"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X\\\\Y]\n", "t.reg:2: key path has an empty component"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n\"n\"=dword:00000001\n", "t.reg:3: only string values"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n@=\"open\n", "t.reg:3: unterminated string"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n@=\"a\\n\"\n", "t.reg:3: unknown escape"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n@=\"a\" junk\n", "t.reg:3: unexpected text"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n\"n\" \"v\"\n", "t.reg:3: expected '='"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\nname=\"v\"\n", "t.reg:3: expected a quoted string"},
      {"REGEDIT4\n[HKEY_CLASSES_ROOT\\X]\n@=\"a\tb\"\n", "t.reg:3: value data contains a control"},
  };
  for (const BadFile& c : cases) {
    try {
      ReadRegFile(c.text, "t.reg");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const RegistryFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << e.what() << "\n  expected: " << c.message;
    }
  }
}

}  // namespace
}  // namespace lkrva::registry
