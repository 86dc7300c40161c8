// The registry file: where it lives, atomic locked changes, damaged files left alone.
#include "registry/file_registry_store.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "registry/registry.hpp"
#include "registry/registry_error.hpp"
#include "registry/registry_location.hpp"
#include "temp_dir.hpp"

namespace lkrva::registry {
namespace {

using lkrva::testing::ReadFile;
using lkrva::testing::TempDir;
using lkrva::testing::WriteFile;

// Sets or clears environment variables for one test and restores them.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct LocationCase {
  const char* lkrva_registry;
  const char* xdg_data_home;
  const char* home;
  const char* expected;
};

TEST(registry_location, follows_the_environment) {
  const LocationCase cases[] = {
      {"/tmp/mine.reg", "/xdg", "/home/u", "/tmp/mine.reg"},
      {nullptr, "/xdg", "/home/u", "/xdg/lkrva/registry.reg"},
      {"", "", "/home/u", "/home/u/.local/share/lkrva/registry.reg"},
      {nullptr, nullptr, "/home/u", "/home/u/.local/share/lkrva/registry.reg"},
  };
  for (const LocationCase& c : cases) {
    const ScopedEnv a("LKRVA_REGISTRY", c.lkrva_registry);
    const ScopedEnv b("XDG_DATA_HOME", c.xdg_data_home);
    const ScopedEnv h("HOME", c.home);
    EXPECT_EQ(RegistryFilePath(), c.expected);
  }
  const ScopedEnv a("LKRVA_REGISTRY", nullptr);
  const ScopedEnv b("XDG_DATA_HOME", nullptr);
  const ScopedEnv h("HOME", nullptr);
  EXPECT_THROW(RegistryFilePath(), RegistryError);
}

TEST(file_registry_store, creates_folder_and_file_on_first_change) {
  TempDir dir;
  const auto path = dir.path() / "deep" / "er" / "registry.reg";
  Registry registry(std::make_shared<FileRegistryStore>(path));
  EXPECT_FALSE(registry.HasKey("A"));
  EXPECT_FALSE(std::filesystem::exists(path)) << "reading alone writes nothing";
  registry.SetValue("A\\B", "", "v");
  EXPECT_EQ(ReadFile(path),
            "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\A]\n\n[HKEY_CLASSES_ROOT\\A\\B]\n@=\"v\"\n\n");
  EXPECT_EQ(Registry(std::make_shared<FileRegistryStore>(path)).GetValue("a\\b"), "v");
}

TEST(file_registry_store, open_default_uses_lkrva_registry) {
  TempDir dir;
  const ScopedEnv env("LKRVA_REGISTRY", (dir.path() / "r.reg").c_str());
  Registry::OpenDefault().SetValue("K", "", "v");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "r.reg"));
}

TEST(file_registry_store, a_damaged_file_is_reported_and_never_replaced) {
  TempDir dir;
  const auto path = dir.path() / "registry.reg";
  const std::string damaged = "REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n@=\"cut off";
  WriteFile(path, damaged);
  Registry registry(std::make_shared<FileRegistryStore>(path));
  try {
    registry.SetValue("B", "", "v");
    FAIL() << "a damaged file was accepted";
  } catch (const RegistryFileError& e) {
    EXPECT_NE(std::string(e.what()).find(path.string() + ":3: unterminated string"),
              std::string::npos)
        << e.what();
  }
  EXPECT_THROW(registry.DeleteKey("A"), RegistryFileError);
  EXPECT_THROW(registry.HasKey("A"), RegistryFileError);
  EXPECT_EQ(ReadFile(path), damaged);
  // Nothing but the file and its lock: no temporary file left behind.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

TEST(file_registry_store, unchanged_deletion_does_not_rewrite_the_file) {
  TempDir dir;
  const auto path = dir.path() / "registry.reg";
  const std::string hand_written = "REGEDIT4\r\n; kept as typed\r\n[HKEY_CLASSES_ROOT\\A]\r\n";
  WriteFile(path, hand_written);
  Registry registry(std::make_shared<FileRegistryStore>(path));
  EXPECT_EQ(registry.DeleteKey("Missing"), DeleteOutcome::kMissing);
  EXPECT_EQ(ReadFile(path), hand_written);
}

TEST(file_registry_store, concurrent_processes_lose_no_change) {
  TempDir dir;
  const auto path = dir.path() / "registry.reg";
  constexpr int kChildren = 4;
  constexpr int kKeysEach = 15;
  pid_t children[kChildren];
  for (int c = 0; c < kChildren; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      int status = 0;
      try {
        Registry registry(std::make_shared<FileRegistryStore>(path));
        for (int k = 0; k < kKeysEach; ++k) {
          registry.SetValue("P" + std::to_string(c) + "\\K" + std::to_string(k), "", "v");
        }
      } catch (...) {
        status = 1;
      }
      ::_exit(status);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const RegistryTree tree = Registry(std::make_shared<FileRegistryStore>(path)).Snapshot();
  for (int c = 0; c < kChildren; ++c) {
    EXPECT_EQ(tree.SubKeyNames("P" + std::to_string(c)).size(), std::size_t{kKeysEach});
  }
}

}  // namespace
}  // namespace lkrva::registry
