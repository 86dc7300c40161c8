// DllRegisterServer and DllUnregisterServer of the real liblkrva.so, against a registry file of
// the test's own (LKRVA_REGISTRY); the user's registry is never touched.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "lkrva/lkrva.h"

namespace lkrva::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Golden(const char* name) {
  return ReadFile(fs::path(LKRVA_REGISTRY_GOLDEN_DIR) / name);
}

/// The two exports of a library file, loaded once per path for the process.
struct Exports {
  LKRVA_DllRegisterServerFn reg;
  LKRVA_DllUnregisterServerFn unreg;
};

Exports Load(const std::string& path) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) throw std::runtime_error(dlerror());
  return {reinterpret_cast<LKRVA_DllRegisterServerFn>(dlsym(h, "DllRegisterServer")),
          reinterpret_cast<LKRVA_DllUnregisterServerFn>(dlsym(h, "DllUnregisterServer"))};
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "lkrva-reg-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    file_ = dir_ / "registry.reg";
    ::setenv("LKRVA_REGISTRY", file_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("LKRVA_REGISTRY");
    fs::remove_all(dir_);
  }
  /// The registry file with the library's folder written as <DIR>/lib.
  std::string Normalised(const fs::path& module) const {
    return ReplaceAll(ReadFile(file_), module.parent_path().string(), "<DIR>/lib");
  }

  fs::path dir_;
  fs::path file_;
  const fs::path built_ = LKRVA_LIBRARY_PATH;
};

TEST_F(Registration, the_library_exports_both_entry_points) {
  const Exports lib = Load(built_);
  ASSERT_NE(lib.reg, nullptr);
  ASSERT_NE(lib.unreg, nullptr);
}

TEST_F(Registration, registering_writes_exactly_the_expected_file_and_twice_changes_nothing) {
  const Exports lib = Load(built_);
  ASSERT_EQ(lib.reg(), S_OK);
  EXPECT_EQ(Normalised(built_), Golden("registered.reg"));
  const std::string once = ReadFile(file_);
  ASSERT_EQ(lib.reg(), S_OK);
  EXPECT_EQ(ReadFile(file_), once);
}

TEST_F(Registration, unregistering_twice_and_with_nothing_registered_succeeds) {
  const Exports lib = Load(built_);
  EXPECT_EQ(lib.unreg(), S_OK);  // nothing registered
  ASSERT_EQ(lib.reg(), S_OK);
  EXPECT_EQ(lib.unreg(), S_OK);
  EXPECT_EQ(ReadFile(file_), Golden("unregistered.reg"));
  EXPECT_EQ(lib.unreg(), S_OK);
  EXPECT_EQ(ReadFile(file_), Golden("unregistered.reg"));
}

TEST_F(Registration, a_module_path_with_a_blank_is_written_in_full) {
  const fs::path folder = dir_ / "my servers";
  fs::create_directories(folder);
  const fs::path copy = folder / "liblkrva.so";
  fs::copy_file(built_, copy);
  const Exports lib = Load(copy);
  ASSERT_EQ(lib.reg(), S_OK);
  EXPECT_EQ(Normalised(copy), Golden("registered.reg"));
  EXPECT_NE(ReadFile(file_).find("@=\"" + copy.string() + "\""), std::string::npos);
  EXPECT_EQ(lib.unreg(), S_OK);
  EXPECT_EQ(ReadFile(file_), Golden("unregistered.reg"));
}

TEST_F(Registration, a_registry_that_does_not_parse_fails_and_stays_as_it_was) {
  const std::string damaged = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\x\n";
  std::ofstream(file_, std::ios::binary) << damaged;
  const Exports lib = Load(built_);
  EXPECT_EQ(lib.reg(), E_FAIL);
  EXPECT_EQ(ReadFile(file_), damaged);
}

}  // namespace
}  // namespace lkrva::testing
