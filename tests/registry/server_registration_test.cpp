// Registering and unregistering the server: the registry file after each, and the failure rules.
#include "registry/server_registration.hpp"

#include <gtest/gtest.h>

#include "lkrva_server_fixture.hpp"
#include "registry/file_registry_store.hpp"
#include "registry/reg_file_format.hpp"
#include "registry/registry_error.hpp"
#include "temp_dir.hpp"

namespace lkrva::registry {
namespace {

using lkrva::testing::LkrvaServer;
using lkrva::testing::ReadFile;
using lkrva::testing::TempDir;

const std::string kClsidKey = "CLSID\\{317D7E91-B5A1-4BA1-B91B-21C191095773}";

std::string Golden(const char* name) {
  return ReadFile(std::filesystem::path(LKRVA_REGISTRY_GOLDEN_DIR) / name);
}

// Every occurrence of `from` replaced by `to`: the test's temporary folder
// becomes a fixed placeholder before comparing with a golden file.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class registry_server_registration : public ::testing::Test {
 protected:
  TempDir dir_;
  std::filesystem::path file_ = dir_.path() / "registry.reg";
  Registry registry_{std::make_shared<FileRegistryStore>(file_)};
  std::string module_ = (dir_.path() / "lib" / "liblkrva.so").string();

  std::string NormalisedFile() const {
    return ReplaceAll(ReadFile(file_), dir_.path().string(), "<DIR>");
  }
};

TEST_F(registry_server_registration, writes_exactly_the_expected_registry) {
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  EXPECT_EQ(NormalisedFile(), Golden("registered.reg"));
}

TEST_F(registry_server_registration, registering_twice_gives_the_same_file) {
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  const std::string once = ReadFile(file_);
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  EXPECT_EQ(ReadFile(file_), once);
}

TEST_F(registry_server_registration, unregistering_removes_everything_registration_wrote) {
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  ASSERT_EQ(UnregisterServer(registry_, LkrvaServer()), S_OK);
  // The CLSID, Interface and TypeLib parents stay, as empty keys, like
  // the system's own roots.
  EXPECT_EQ(ReadFile(file_), Golden("unregistered.reg"));
}

TEST_F(registry_server_registration, unregistering_when_nothing_is_registered_succeeds) {
  EXPECT_EQ(UnregisterServer(registry_, LkrvaServer()), S_OK);
  EXPECT_FALSE(std::filesystem::exists(file_)) << "nothing to delete, nothing written";
}

TEST_F(registry_server_registration, a_module_path_with_a_blank_is_written_in_full) {
  const std::string module = (dir_.path() / "Program Files" / "liblkrva.so").string();
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module), S_OK);
  EXPECT_EQ(registry_.GetValue(kClsidKey + "\\InprocServer32"), module);
  EXPECT_EQ(registry_.GetValue("TypeLib\\{F3E39089-8E65-431D-A671-42ABE193E6DA}\\1.0\\0\\win32"),
            module);
  EXPECT_EQ(registry_.GetValue("TypeLib\\{F3E39089-8E65-431D-A671-42ABE193E6DA}\\1.0\\HELPDIR"),
            (dir_.path() / "Program Files").string() + "/");
}

TEST_F(registry_server_registration, another_programs_subkey_keeps_the_class_key) {
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  registry_.SetValue(kClsidKey + "\\Implemented Categories", "", "theirs");
  ASSERT_EQ(UnregisterServer(registry_, LkrvaServer()), S_OK);
  EXPECT_EQ(registry_.SubKeyNames(kClsidKey), std::vector<std::string>{"Implemented Categories"});
  EXPECT_EQ(registry_.GetValue(kClsidKey), "KRVA") << "the key stays with its value";
  EXPECT_FALSE(registry_.HasKey("LKRVA.KRVA"));
}

TEST_F(registry_server_registration, an_interface_now_owned_by_another_library_is_left) {
  ASSERT_EQ(RegisterServer(registry_, LkrvaServer(), module_), S_OK);
  const std::string itf = "Interface\\{76BBF211-B048-4C9E-98DA-9B542223E873}";
  registry_.SetValue(itf + "\\TypeLib", "", "{00000000-0000-0000-0000-000000000001}");
  ASSERT_EQ(UnregisterServer(registry_, LkrvaServer()), S_OK);
  EXPECT_EQ(registry_.GetValue(itf), "IKRVA");
}

// A store whose n-th write fails, to stop registration at any step.
class FailingStore : public MemoryRegistryStore {
 public:
  explicit FailingStore(int writes_allowed) : writes_allowed_(writes_allowed) {}
  void Transact(const Change& change) override {
    MemoryRegistryStore::Transact([&](const std::optional<std::string>& text) {
      std::optional<std::string> next = change(text);
      if (next && writes_allowed_-- <= 0) throw RegistryError("disk full");
      return next;
    });
  }

 private:
  int writes_allowed_;
};

TEST(registry_server_registration_failure,
     first_failing_step_gives_e_fail_and_keeps_earlier_values) {
  // Write 0 is the type library; writes 1..8 are the eight values in order.
  const std::pair<std::string, std::string> steps[] = {
      {kClsidKey, ""},
      {kClsidKey + "\\InprocServer32", ""},
      {kClsidKey + "\\InprocServer32", "ThreadingModel"},
      {"LKRVA.KRVA", ""},
      {"LKRVA.KRVA\\Clsid", ""},
      {kClsidKey + "\\ProgID", ""},
      {kClsidKey + "\\Version", ""},
      {kClsidKey + "\\TypeLib", ""},
  };
  for (int allowed = 0; allowed <= 8; ++allowed) {
    auto store = std::make_shared<FailingStore>(allowed);
    Registry registry(store);
    EXPECT_EQ(RegisterServer(registry, LkrvaServer(), "/m/liblkrva.so"), E_FAIL) << allowed;
    const RegistryTree tree = store->text() ? ReadRegFile(*store->text(), "mem") : RegistryTree{};
    EXPECT_EQ(tree.HasKey("TypeLib\\{F3E39089-8E65-431D-A671-42ABE193E6DA}"), allowed > 0);
    for (int step = 0; step < 8; ++step) {
      EXPECT_EQ(tree.GetValue(steps[step].first, steps[step].second).has_value(),
                step < allowed - 1)
          << "allowed " << allowed << ", step " << step + 1;
    }
  }
}

TEST(registry_server_registration_failure, unregistration_ignores_failing_keys) {
  auto store = std::make_shared<FailingStore>(9);
  Registry registry(store);
  ASSERT_EQ(RegisterServer(registry, LkrvaServer(), "/m/liblkrva.so"), S_OK);
  // Every further write fails: unregistration still reports success.
  EXPECT_EQ(UnregisterServer(registry, LkrvaServer()), S_OK);
}

}  // namespace
}  // namespace lkrva::registry
