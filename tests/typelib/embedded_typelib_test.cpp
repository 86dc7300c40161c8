// The type library found in a module file, and registration from it.
#include "typelib/embedded_typelib.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "com/guid.hpp"
#include "registry/file_registry_store.hpp"
#include "typelib/lkrva_identities.hpp"
#include "typelib/lkrva_library.hpp"
#include "typelib/module_registration.hpp"
#include "typelib/msft_constants.hpp"
#include "typelib/msft_writer.hpp"

namespace lkrva::typelib {
namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class typelib_module : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "lkrva-tlb-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path.string();
  }
  std::filesystem::path dir_;
};

TEST_F(typelib_module, the_module_carries_the_win32_library) {
  EXPECT_EQ(FindEmbeddedTypeLib(LKRVA_TEST_MODULE), WriteMsft(LkrvaLibrary(kSysWin32, 4)));
  const TypeLibrary lib = LoadTypeLibFromModule(LKRVA_TEST_MODULE);
  const ClassNames names = ClassNamesOf(lib, kClsidKrva);
  EXPECT_EQ(names.name, "KRVA");
  EXPECT_EQ(names.description, "KRVA");
  EXPECT_EQ(names.prog_id, "LKRVA.KRVA");
  EXPECT_THROW(ClassNamesOf(lib, kIidIKrva), TypeLibError);
}

TEST_F(typelib_module, a_raw_type_library_file_is_accepted) {
  const auto blob = WriteMsft(LkrvaLibrary(kSysWin64, 8));
  EXPECT_EQ(LoadTypeLibFromModule(Write("LKRVA.tlb", blob)).lib_attr().syskind, kSysWin64);
}

TEST_F(typelib_module, damaged_module_files_are_rejected) {
  const auto module = FileBytes(LKRVA_TEST_MODULE);
  ASSERT_GT(module.size(), 0x40u);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {{"missing file", {}}, {"not ELF", {'h', 'e', 'l', 'l', 'o'}}};
  cases.push_back({"ELF header only", {module.begin(), module.begin() + 0x30}});
  cases.push_back({"section headers cut off", {module.begin(), module.end() - 16}});
  auto bad_shoff = module;
  bad_shoff[0x28 + 7] = 0x7F;  // e_shoff far beyond the end
  cases.push_back({"section headers out of range", bad_shoff});
  for (const Case& c : cases) {
    const std::string path =
        c.bytes.empty() ? (dir_ / "absent.so").string() : Write("bad.so", c.bytes);
    EXPECT_THROW(FindEmbeddedTypeLib(path), TypeLibError) << c.what;
  }
  // A library without the section: this test program's own ELF file.
  EXPECT_THROW(FindEmbeddedTypeLib("/proc/self/exe"), TypeLibError);
}

TEST_F(typelib_module, registration_from_the_module_matches_its_library) {
  registry::Registry reg(std::make_shared<registry::FileRegistryStore>(dir_ / "r.reg"));
  ASSERT_EQ(RegisterModule(reg, LKRVA_TEST_MODULE, kClsidKrva), S_OK);
  const std::string clsid = "CLSID\\" + com::FormatGuid(kClsidKrva);
  EXPECT_EQ(reg.GetValue(clsid), "KRVA");
  EXPECT_EQ(reg.GetValue(clsid + "\\InprocServer32"), LKRVA_TEST_MODULE);
  EXPECT_EQ(reg.GetValue("LKRVA.KRVA\\Clsid"), com::FormatGuid(kClsidKrva));
  EXPECT_EQ(reg.GetValue("Interface\\" + com::FormatGuid(kIidIKrva)), "IKRVA");
  EXPECT_EQ(UnregisterModule(reg, LKRVA_TEST_MODULE, kClsidKrva), S_OK);
  EXPECT_FALSE(reg.HasKey(clsid));
  EXPECT_FALSE(reg.HasKey("LKRVA.KRVA"));
  EXPECT_EQ(RegisterModule(reg, (dir_ / "absent.so").string(), kClsidKrva), E_FAIL);
  EXPECT_EQ(UnregisterModule(reg, (dir_ / "absent.so").string(), kClsidKrva), E_FAIL);
}

}  // namespace
}  // namespace lkrva::typelib
