// The in-memory tree: case-insensitive keys, parents, deletion rules.
#include "registry/registry_tree.hpp"

#include <gtest/gtest.h>

#include "registry/registry_error.hpp"

namespace lkrva::registry {
namespace {

TEST(registry_tree, keys_and_value_names_ignore_case_and_keep_first_spelling) {
  RegistryTree tree;
  tree.SetValue("CLSID\\{AB}\\InprocServer32", "ThreadingModel", "Apartment");
  tree.SetValue("clsid\\{ab}\\INPROCSERVER32", "threadingmodel", "Both");
  EXPECT_EQ(tree.GetValue("Clsid\\{Ab}\\InprocServer32", "THREADINGMODEL"), "Both");
  EXPECT_EQ(tree.SubKeyNames(""), std::vector<std::string>{"CLSID"});
  EXPECT_EQ(tree.root().children.at("CLSID").children.at("{AB}").children.begin()->second.name,
            "InprocServer32");
}

TEST(registry_tree, creating_a_key_creates_its_parents) {
  RegistryTree tree;
  tree.CreateKey("A\\B\\C");
  EXPECT_TRUE(tree.HasKey("A"));
  EXPECT_TRUE(tree.HasKey("a\\b"));
  EXPECT_TRUE(tree.HasKey("A\\B\\C"));
  EXPECT_FALSE(tree.GetValue("A", ""));
}

TEST(registry_tree, deletion_outcomes) {
  RegistryTree tree;
  tree.SetValue("A\\B", "", "x");
  EXPECT_EQ(tree.DeleteKey("A"), DeleteOutcome::kHasSubkeys);
  EXPECT_TRUE(tree.HasKey("A\\B"));
  EXPECT_EQ(tree.DeleteKey("A\\Missing"), DeleteOutcome::kMissing);
  EXPECT_EQ(tree.DeleteKey("Nowhere\\Missing"), DeleteOutcome::kMissing);
  EXPECT_EQ(tree.DeleteKey("a\\b"), DeleteOutcome::kDeleted);
  EXPECT_EQ(tree.DeleteKey("A"), DeleteOutcome::kDeleted);
  EXPECT_TRUE(tree.SubKeyNames("").empty());
}

TEST(registry_tree, malformed_paths_and_texts_are_refused) {
  RegistryTree tree;
  EXPECT_THROW(tree.CreateKey("A\\\\B"), RegistryError);
  EXPECT_THROW(tree.CreateKey("A\\"), RegistryError);
  EXPECT_THROW(tree.CreateKey("\\A"), RegistryError);
  EXPECT_THROW(tree.SetValue("A", "", "two\nlines"), RegistryError);
  EXPECT_THROW(tree.DeleteKey(""), RegistryError);
  EXPECT_TRUE(tree.SubKeyNames("").empty());
}

}  // namespace
}  // namespace lkrva::registry
