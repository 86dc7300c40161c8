// Activation by identity: objects created through the registry from a CLSID or
// a ProgID, as a host sees it through lkrva/lkrva_activation.h.
#include "lkrva/lkrva_activation.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "activation_c_host.h"
#include "com/guid.hpp"
#include "fake_server_identities.hpp"
#include "lkrva/lkrva.h"
#include "lkrva_server_fixture.hpp"
#include "registry/file_registry_store.hpp"
#include "registry/server_registration.hpp"
#include "temp_dir.hpp"

namespace lkrva::registry {
namespace {

using lkrva::testing::kFakeClsid;
using lkrva::testing::kOtherClsid;
using lkrva::testing::kUnknownIid;
using lkrva::testing::TempDir;
using lkrva::testing::WriteFile;

const std::string kFakeServer = LKRVA_FAKE_SERVER_PATH;
const std::string kModuleWithoutEntry = LKRVA_FAKE_NO_ENTRY_PATH;

std::string ClsidKey(const GUID& clsid) { return "CLSID\\" + com::FormatGuid(clsid); }

// Whether the process has the module loaded now, without loading it.
bool IsLoaded(const std::string& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  ::dlclose(handle);
  return true;
}

// The fake server's count of live objects; -1 when it is not loaded.
long FakeLiveObjects() {
  void* handle = ::dlopen(kFakeServer.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return -1;
  auto live = reinterpret_cast<lkrva::testing::FakeLiveObjectsFn>(
      ::dlsym(handle, "FakeServer_LiveObjects"));
  const long count = live != nullptr ? live() : -1;
  ::dlclose(handle);
  return count;
}

// Every test gets its own registry file through LKRVA_REGISTRY, and gives
// the variable back as it found it.
class registry_activation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = ::getenv("LKRVA_REGISTRY")) saved_ = old;
    PointRegistryAt(file_);
  }
  void TearDown() override {
    LKRVA_FreeUnusedLibraries();
    if (saved_) {
      ::setenv("LKRVA_REGISTRY", saved_->c_str(), 1);
    } else {
      ::unsetenv("LKRVA_REGISTRY");
    }
  }

  static void PointRegistryAt(const std::filesystem::path& file) {
    ::setenv("LKRVA_REGISTRY", file.c_str(), 1);
  }

  void RegisterInproc(const GUID& clsid, const std::string& module) {
    registry_.SetValue(ClsidKey(clsid) + "\\InprocServer32", "", module);
  }
  void RegisterProgId(const std::string& prog_id, const std::string& clsid_text) {
    registry_.SetValue(prog_id + "\\Clsid", "", clsid_text);
  }

  TempDir dir_;
  std::filesystem::path file_ = dir_.path() / "registry.reg";
  Registry registry_{std::make_shared<FileRegistryStore>(file_)};
  std::optional<std::string> saved_;
};

TEST_F(registry_activation, creates_an_object_by_clsid_and_keeps_its_module_while_it_lives) {
  RegisterInproc(kFakeClsid, kFakeServer);
  IUnknown* object = nullptr;
  ASSERT_EQ(LKRVA_CreateInstance(kFakeClsid, IID_IUnknown, reinterpret_cast<void**>(&object)),
            S_OK);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(FakeLiveObjects(), 1) << "one object, and the factory was released";

  LKRVA_FreeUnusedLibraries();
  ASSERT_TRUE(IsLoaded(kFakeServer)) << "an object is alive: its module stays";
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);

  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(FakeLiveObjects(), 0);
  LKRVA_FreeUnusedLibraries();
  EXPECT_FALSE(IsLoaded(kFakeServer)) << "nothing left: DllCanUnloadNow lets it go";
}

TEST_F(registry_activation, creates_an_object_by_progid) {
  RegisterInproc(kFakeClsid, kFakeServer);
  RegisterProgId("Fake.Server", com::FormatGuid(kFakeClsid));

  CLSID clsid{};
  ASSERT_EQ(LKRVA_CLSIDFromProgID("Fake.Server", &clsid), S_OK);
  EXPECT_TRUE(com::SameGuid(clsid, kFakeClsid));

  // Key names are compared without regard to case, ProgIDs included.
  for (const char* prog_id : {"Fake.Server", "FAKE.server"}) {
    SCOPED_TRACE(prog_id);
    IUnknown* object = nullptr;
    ASSERT_EQ(
        LKRVA_CreateInstanceFromProgID(prog_id, IID_IUnknown, reinterpret_cast<void**>(&object)),
        S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(FakeLiveObjects(), 1);
    object->Release();
    EXPECT_EQ(FakeLiveObjects(), 0);
  }
}

TEST_F(registry_activation, a_host_in_c_reaches_the_same_functions) {
  RegisterInproc(kFakeClsid, kFakeServer);
  RegisterProgId("Fake.Server", com::FormatGuid(kFakeClsid));

  CLSID clsid{};
  ASSERT_EQ(CHost_ClsidFromProgId("Fake.Server", &clsid), S_OK);
  EXPECT_TRUE(com::SameGuid(clsid, kFakeClsid));
  void* object = nullptr;
  ASSERT_EQ(CHost_CreateByClsid(&kFakeClsid, &IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
  ASSERT_EQ(CHost_CreateByProgId("Fake.Server", &IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(CHost_CreateByProgId("Fake.Nothing", &IID_IUnknown, &object), CO_E_CLASSSTRING);
  EXPECT_EQ(object, nullptr);
}

// What CLSID\{clsid}\InprocServer32 holds in a failure case.
enum class Inproc { kNoClassKey, kNoInprocKey, kEmpty, kNowhere, kTextFile, kWithoutEntry, kFake };

struct FailureCase {
  const char* what;
  Inproc inproc;
  GUID clsid;
  GUID iid;
  HRESULT expected;
};

TEST_F(registry_activation, each_failure_gives_its_code_and_a_null_object) {
  const FailureCase cases[] = {
      {"unknown CLSID", Inproc::kNoClassKey, kFakeClsid, IID_IUnknown, REGDB_E_CLASSNOTREG},
      {"class without InprocServer32", Inproc::kNoInprocKey, kFakeClsid, IID_IUnknown,
       REGDB_E_CLASSNOTREG},
      {"empty InprocServer32", Inproc::kEmpty, kFakeClsid, IID_IUnknown, REGDB_E_CLASSNOTREG},
      {"InprocServer32 pointing nowhere", Inproc::kNowhere, kFakeClsid, IID_IUnknown,
       CO_E_DLLNOTFOUND},
      {"InprocServer32 naming a text file", Inproc::kTextFile, kFakeClsid, IID_IUnknown,
       CO_E_ERRORINDLL},
      {"module without DllGetClassObject", Inproc::kWithoutEntry, kFakeClsid, IID_IUnknown,
       CO_E_ERRORINDLL},
      {"module that does not serve the class", Inproc::kFake, kOtherClsid, IID_IUnknown,
       CLASS_E_CLASSNOTAVAILABLE},
      {"interface the object lacks", Inproc::kFake, kFakeClsid, kUnknownIid, E_NOINTERFACE},
  };
  const std::filesystem::path text_file = dir_.path() / "not-a-library.so";
  WriteFile(text_file, "just text\n");

  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(file_);
    switch (c.inproc) {
      case Inproc::kNoClassKey:
        break;
      case Inproc::kNoInprocKey:
        registry_.SetValue(ClsidKey(c.clsid), "", "A class");
        break;
      case Inproc::kEmpty:
        RegisterInproc(c.clsid, "");
        break;
      case Inproc::kNowhere:
        RegisterInproc(c.clsid, (dir_.path() / "missing" / "libnothing.so").string());
        break;
      case Inproc::kTextFile:
        RegisterInproc(c.clsid, text_file.string());
        break;
      case Inproc::kWithoutEntry:
        RegisterInproc(c.clsid, kModuleWithoutEntry);
        break;
      case Inproc::kFake:
        RegisterInproc(c.clsid, kFakeServer);
        break;
    }
    void* object = &object;  // anything but null
    EXPECT_EQ(LKRVA_CreateInstance(c.clsid, c.iid, &object), c.expected);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(FakeLiveObjects(), 0) << "the object that lacked the interface is gone";
}

TEST_F(registry_activation, progids_that_name_no_class_give_co_e_classstring) {
  RegisterInproc(kFakeClsid, kFakeServer);
  RegisterProgId("Fake.BadClsid", "not a guid");
  registry_.SetValue("Fake.NoClsid", "", "A ProgID key without its Clsid");
  RegisterProgId("Fake.Nested\\Inner", com::FormatGuid(kFakeClsid));

  // A backslash would walk into other keys; a control character is no key name.
  for (const char* prog_id :
       {"Fake.Unknown", "", "Fake.BadClsid", "Fake.NoClsid", "Fake.Nested\\Inner", "Fake\tTab"}) {
    SCOPED_TRACE(prog_id);
    CLSID clsid = kFakeClsid;
    EXPECT_EQ(LKRVA_CLSIDFromProgID(prog_id, &clsid), CO_E_CLASSSTRING);
    EXPECT_TRUE(com::SameGuid(clsid, CLSID{}));
    void* object = &object;
    EXPECT_EQ(LKRVA_CreateInstanceFromProgID(prog_id, IID_IUnknown, &object), CO_E_CLASSSTRING);
    EXPECT_EQ(object, nullptr);
  }
}

TEST_F(registry_activation, null_arguments_are_refused) {
  CLSID clsid{};
  void* object = nullptr;
  EXPECT_EQ(LKRVA_CLSIDFromProgID("Fake.Server", nullptr), E_POINTER);
  EXPECT_EQ(LKRVA_CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
  EXPECT_EQ(LKRVA_CreateInstance(kFakeClsid, IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(LKRVA_CreateInstanceFromProgID("Fake.Server", IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(LKRVA_CreateInstanceFromProgID(nullptr, IID_IUnknown, &object), E_INVALIDARG);
}

TEST_F(registry_activation, every_call_reads_the_registry_lkrva_registry_names_now) {
  RegisterInproc(kFakeClsid, kFakeServer);
  void* object = nullptr;
  ASSERT_EQ(LKRVA_CreateInstance(kFakeClsid, IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();

  // A registry that does not exist yet: nothing is registered, and looking
  // creates neither the file nor its folder.
  const std::filesystem::path elsewhere = dir_.path() / "other" / "registry.reg";
  PointRegistryAt(elsewhere);
  EXPECT_EQ(LKRVA_CreateInstance(kFakeClsid, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(std::filesystem::exists(elsewhere.parent_path()));
}

TEST_F(registry_activation, a_damaged_registry_file_is_reported_and_left_alone) {
  const std::string damaged = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\Fake.Server\n";
  WriteFile(file_, damaged);
  void* object = &object;
  EXPECT_EQ(LKRVA_CreateInstance(kFakeClsid, IID_IUnknown, &object), REGDB_E_READREGDB);
  EXPECT_EQ(object, nullptr);
  CLSID clsid = kFakeClsid;
  EXPECT_EQ(LKRVA_CLSIDFromProgID("Fake.Server", &clsid), REGDB_E_READREGDB);
  EXPECT_TRUE(com::SameGuid(clsid, CLSID{}));
  EXPECT_EQ(lkrva::testing::ReadFile(file_), damaged);
}

TEST_F(registry_activation, creates_krva_by_progid_once_liblkrva_is_registered) {
#ifndef LKRVA_SERVER_LIBRARY_PATH
  GTEST_SKIP() << "liblkrva.so is not part of this build (no lkrva_server target)";
#else
  ASSERT_EQ(RegisterServer(registry_, lkrva::testing::LkrvaServer(), LKRVA_SERVER_LIBRARY_PATH),
            S_OK);
  IUnknown* object = nullptr;
  ASSERT_EQ(
      LKRVA_CreateInstanceFromProgID("LKRVA.KRVA", IID_IUnknown, reinterpret_cast<void**>(&object)),
      S_OK);
  ASSERT_NE(object, nullptr);
  IKRVA* krva = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IKRVA, reinterpret_cast<void**>(&krva)), S_OK);
  ASSERT_NE(krva, nullptr);
  krva->Release();
  EXPECT_EQ(object->Release(), 0u);
#endif
}

}  // namespace
}  // namespace lkrva::registry
