// A host's view of liblkrva.so: factory, objects, aggregation, unload check, prompt.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "loaded_library.hpp"
#include "scripted_ui.hpp"

namespace lkrva::testing {
namespace {

/// A host object that aggregates KRVA: counts its own references.
struct Outer final : IUnknown {
  std::atomic<ULONG> refs{1};
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

class Host : public ::testing::Test {
 protected:
  const LoadedLibrary& lib = LoadedLibrary::Get();
  ScriptedUi ui;

  void SetUp() override {
    const auto cb = ui.Callbacks();
    ASSERT_EQ(lib.SetUiCallbacks(&cb), S_OK);
  }
  void TearDown() override {
    lib.SetUiCallbacks(nullptr);
    // Every test gives back all it took.
    EXPECT_EQ(lib.DllCanUnloadNow(), S_OK);
  }

  IClassFactory* Factory() {
    void* p = nullptr;
    EXPECT_EQ(lib.DllGetClassObject(CLSID_KRVA, IID_IClassFactory, &p), S_OK);
    return static_cast<IClassFactory*>(p);
  }

  IKRVA* NewObject() {
    IClassFactory* f = Factory();
    void* p = nullptr;
    EXPECT_EQ(f->CreateInstance(nullptr, IID_IKRVA, &p), S_OK);
    f->Release();
    return static_cast<IKRVA*>(p);
  }

  HRESULT Trans(IKRVA* k, const char16_t* first = u"Provider=x") {
    Bstr a(first), t(u"survey"), js(u"JS");
    return k->transparameter(a, t, nullptr, js, js, js, js, js, js, js, js, js);
  }
};

TEST_F(Host, another_class_gets_no_factory) {
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(lib.DllGetClassObject(IID_IKRVA, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(lib.DllGetClassObject(CLSID_KRVA, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(Host, the_factory_answers_iunknown_and_iclassfactory_only) {
  void* p = nullptr;
  ASSERT_EQ(lib.DllGetClassObject(CLSID_KRVA, IID_IUnknown, &p), S_OK);
  static_cast<IUnknown*>(p)->Release();
  p = reinterpret_cast<void*>(1);
  EXPECT_EQ(lib.DllGetClassObject(CLSID_KRVA, IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
}

TEST_F(Host, create_instance_refuses_a_null_result) {
  IClassFactory* f = Factory();
  EXPECT_EQ(f->CreateInstance(nullptr, IID_IKRVA, nullptr), E_POINTER);
  f->Release();
}

TEST_F(Host, an_object_made_for_an_unsupported_interface_is_gone_at_once) {
  IClassFactory* f = Factory();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(f->CreateInstance(nullptr, IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  f->Release();
  EXPECT_EQ(lib.DllCanUnloadNow(), S_OK);  // no object left behind
}

TEST_F(Host, the_object_answers_exactly_four_interfaces_with_one_identity) {
  IKRVA* k = NewObject();
  IUnknown* identity = nullptr;
  ASSERT_EQ(k->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  for (const GUID* iid : {&IID_ISupportErrorInfo, &IID_IProvideClassInfo, &IID_IKRVA}) {
    IUnknown* itf = nullptr;
    ASSERT_EQ(k->QueryInterface(*iid, reinterpret_cast<void**>(&itf)), S_OK);
    IUnknown* back = nullptr;
    ASSERT_EQ(itf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, identity);
    back->Release();
    itf->Release();
  }
  for (const GUID* iid : {&IID_IDispatch, &IID_IClassFactory, &CLSID_KRVA}) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(k->QueryInterface(*iid, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
  }
  EXPECT_EQ(k->QueryInterface(IID_IKRVA, nullptr), E_POINTER);
  identity->Release();
  EXPECT_EQ(k->Release(), 0u);
}

TEST_F(Host, error_info_is_supported_for_its_own_interfaces) {
  IKRVA* k = NewObject();
  ISupportErrorInfo* sei = nullptr;
  ASSERT_EQ(k->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&sei)), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IKRVA), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  sei->Release();
  k->Release();
}

/// The text of a BSTR from the library, freed.
std::u16string Take(BSTR b) {
  std::u16string text = b ? std::u16string(b, LoadedLibrary::Get().SysStringLen(b)) : u"";
  LoadedLibrary::Get().SysFreeString(b);
  return text;
}

TEST_F(Host, class_info_describes_the_coclass_with_ikrva_as_default) {
  IKRVA* k = NewObject();
  IProvideClassInfo* pci = nullptr;
  ASSERT_EQ(k->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&pci)), S_OK);
  EXPECT_EQ(pci->GetClassInfo(nullptr), E_POINTER);
  ITypeInfo* ti = nullptr;
  ASSERT_EQ(pci->GetClassInfo(&ti), S_OK);
  pci->Release();
  k->Release();
  // The type info is an object of the library: it keeps the library loaded.
  EXPECT_EQ(lib.DllCanUnloadNow(), S_FALSE);

  void* same = nullptr;
  ASSERT_EQ(ti->QueryInterface(IID_ITypeInfo, &same), S_OK);
  EXPECT_EQ(same, ti);
  ti->Release();
  EXPECT_EQ(ti->QueryInterface(IID_IKRVA, &same), E_NOINTERFACE);

  TYPEATTR* attr = nullptr;
  ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(memcmp(&attr->guid, &CLSID_KRVA, sizeof(GUID)), 0);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_EQ(attr->cImplTypes, 1);
  EXPECT_EQ(attr->cFuncs, 0);
  ti->ReleaseTypeAttr(attr);

  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(ti->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(Take(name), u"KRVA");
  EXPECT_EQ(Take(doc), u"KRVA");

  int flags = 0;
  ASSERT_EQ(ti->GetImplTypeFlags(0, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  EXPECT_EQ(ti->GetImplTypeFlags(1, &flags), TYPE_E_ELEMENTNOTFOUND);
  HREFTYPE ref = 0;
  ASSERT_EQ(ti->GetRefTypeOfImplType(0, &ref), S_OK);
  ITypeInfo* itf = nullptr;
  ASSERT_EQ(ti->GetRefTypeInfo(ref, &itf), S_OK);
  EXPECT_EQ(ti->GetTypeComp(nullptr), E_NOTIMPL);
  EXPECT_EQ(ti->Release(), 0u);

  ASSERT_EQ(itf->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(memcmp(&attr->guid, &IID_IKRVA, sizeof(GUID)), 0);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr->cFuncs, 3);
  itf->ReleaseTypeAttr(attr);
  ASSERT_EQ(itf->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(Take(name), u"IKRVA");

  // The three functions in table order, after IUnknown's three slots.
  const char16_t* const expected[] = {u"transparameter", u"mathtable", u"mathrecord"};
  const int params[] = {12, 1, 10};
  for (unsigned i = 0; i < 3; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(itf->GetFuncDesc(i, &f), S_OK);
    EXPECT_EQ(f->cParams, params[i]) << i;
    EXPECT_EQ(f->oVft, static_cast<int16_t>((3 + i) * 4)) << i;  // the 32-bit table
    BSTR names[16] = {};
    unsigned count = 0;
    ASSERT_EQ(itf->GetNames(f->memid, names, 16, &count), S_OK);
    ASSERT_EQ(count, static_cast<unsigned>(params[i] + 1));
    EXPECT_EQ(Take(names[0]), expected[i]);
    for (unsigned n = 1; n < count; ++n) EXPECT_FALSE(Take(names[n]).empty());
    itf->ReleaseFuncDesc(f);
  }
  FUNCDESC* none = nullptr;
  EXPECT_EQ(itf->GetFuncDesc(3, &none), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_EQ(itf->Release(), 0u);
}

TEST_F(Host, aggregation_is_refused_for_any_interface_but_iunknown) {
  Outer outer;
  IClassFactory* f = Factory();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(f->CreateInstance(&outer, IID_IKRVA, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
  f->Release();
  EXPECT_EQ(outer.refs, 1u);
}

TEST_F(Host, an_aggregated_object_delegates_to_the_outer_one) {
  Outer outer;
  IClassFactory* f = Factory();
  IUnknown* inner = nullptr;
  ASSERT_EQ(f->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
  f->Release();
  ASSERT_NE(inner, nullptr);
  IKRVA* k = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IKRVA, reinterpret_cast<void**>(&k)), S_OK);
  EXPECT_EQ(outer.refs, 2u);  // the reference went to the outer object
  k->AddRef();
  EXPECT_EQ(outer.refs, 3u);
  k->Release();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(k->QueryInterface(IID_IKRVA, &p), E_NOINTERFACE);  // the outer object's answer
  EXPECT_EQ(p, nullptr);
  k->Release();
  EXPECT_EQ(outer.refs, 1u);
  EXPECT_EQ(lib.DllCanUnloadNow(), S_FALSE);
  EXPECT_EQ(inner->Release(), 0u);  // its own count: this destroys it
  EXPECT_EQ(lib.DllCanUnloadNow(), S_OK);
}

TEST_F(Host, can_unload_only_when_no_object_lock_or_factory_reference_remains) {
  IClassFactory* f = Factory();
  EXPECT_EQ(lib.DllCanUnloadNow(), S_FALSE);  // the host holds the factory
  void* p = nullptr;
  ASSERT_EQ(f->CreateInstance(nullptr, IID_IKRVA, &p), S_OK);
  ASSERT_EQ(f->LockServer(TRUE), S_OK);
  f->Release();
  EXPECT_EQ(lib.DllCanUnloadNow(), S_FALSE);  // an object and a lock
  static_cast<IKRVA*>(p)->Release();
  EXPECT_EQ(lib.DllCanUnloadNow(), S_FALSE);  // the lock
  f = Factory();
  ASSERT_EQ(f->LockServer(FALSE), S_OK);
  EXPECT_EQ(f->LockServer(FALSE), E_UNEXPECTED);  // unmatched: changes nothing
  f->Release();
  EXPECT_EQ(lib.DllCanUnloadNow(), S_OK);
}

TEST_F(Host, the_prompt_asks_for_the_declination_with_zero_offered) {
  IKRVA* k = NewObject();
  ui.answers = {std::nullopt};
  EXPECT_EQ(Trans(k), S_FALSE);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].caption, "系统提示");
  EXPECT_EQ(ui.prompts[0].prompt, "请输入磁偏角：");
  EXPECT_EQ(ui.prompts[0].default_text, "0");
  EXPECT_TRUE(ui.messages.empty());
  k->Release();
}

TEST_F(Host, entries_are_stored_or_refused_by_the_number_rules) {
  struct Case {
    std::optional<std::string> entry;
    HRESULT hr;
    bool message;
  };
  const Case cases[] = {
      {std::nullopt, S_FALSE, false},
      {"0", S_OK, false},
      {" -2.5 ", S_OK, false},
      {"3E1", S_OK, false},
      {"1,5", S_FALSE, true},
      {"abc", S_FALSE, true},
      {"", S_FALSE, true},
      {"   ", S_FALSE, true},
      {"1E400", S_FALSE, true},
  };
  IKRVA* k = NewObject();
  for (const Case& c : cases) {
    ui.messages.clear();
    ui.answers = {c.entry};
    EXPECT_EQ(Trans(k), c.hr) << c.entry.value_or("(cancel)");
    ASSERT_EQ(ui.messages.size(), c.message ? 1u : 0u) << c.entry.value_or("(cancel)");
    if (c.message) {
      EXPECT_EQ(ui.messages[0].text, "磁偏角为数字");
      EXPECT_EQ(ui.messages[0].title, "提示");
      EXPECT_EQ(ui.messages[0].flags, MB_ICONWARNING);
    }
  }
  k->Release();
}

TEST_F(Host, release_everything_and_create_again) {
  IKRVA* k = NewObject();
  ui.answers = {"1"};
  EXPECT_EQ(Trans(k), S_OK);
  k->Release();
  ASSERT_EQ(lib.DllCanUnloadNow(), S_OK);
  k = NewObject();
  ui.answers = {"2"};
  EXPECT_EQ(Trans(k), S_OK);
  k->Release();
}

TEST_F(Host, runs_end_cleanly_and_write_nothing_yet) {
  IKRVA* k = NewObject();
  EXPECT_EQ(k->mathtable(30), S_OK);
  double out[8] = {7, 7, 7, 7, 7, 7, 7, 7};
  EXPECT_EQ(k->mathrecord(100, 30, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6],
                          &out[7]),
            S_FALSE);
  for (double v : out) EXPECT_EQ(v, 7);
  k->Release();
}

TEST_F(Host, a_call_from_inside_a_message_box_is_refused) {
  IKRVA* k = NewObject();
  HRESULT nested_trans = S_OK, nested_table = S_OK, nested_record = S_OK;
  ui.on_message = [&] {
    nested_trans = Trans(k);
    nested_table = k->mathtable(30);
    double d = 0;
    nested_record = k->mathrecord(1, 30, &d, &d, &d, &d, &d, &d, &d, &d);
  };
  ui.answers = {"x"};
  EXPECT_EQ(Trans(k), S_FALSE);
  EXPECT_EQ(nested_trans, E_UNEXPECTED);
  EXPECT_EQ(nested_table, E_UNEXPECTED);
  EXPECT_EQ(nested_record, E_UNEXPECTED);
  EXPECT_EQ(ui.prompts.size(), 1u);  // the refused call asked nothing
  ui.on_message = nullptr;
  ui.answers = {"1"};
  EXPECT_EQ(Trans(k), S_OK);  // and the guard is free again
  k->Release();
}

TEST_F(Host, calls_from_two_threads_wait_for_each_other) {
  IKRVA* k = NewObject();
  std::mutex m;
  std::vector<std::string> events;
  std::atomic<int> prompts{0};
  std::thread second;
  ui.answers = {"1", "2"};
  ui.on_prompt = [&] {
    const int n = ++prompts;
    {
      std::lock_guard lock(m);
      events.push_back("prompt " + std::to_string(n));
    }
    if (n == 1) {
      second = std::thread([&] { EXPECT_EQ(Trans(k), S_OK); });
      // Long enough for the second call to reach the guard and wait there.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      std::lock_guard lock(m);
      events.push_back("end 1");
    }
  };
  EXPECT_EQ(Trans(k), S_OK);
  second.join();
  EXPECT_EQ(events, (std::vector<std::string>{"prompt 1", "end 1", "prompt 2"}));
  k->Release();
}

TEST_F(Host, ui_callbacks_of_an_unknown_version_are_refused) {
  LKRVA_UiCallbacks cb{};
  cb.version = 0;
  EXPECT_EQ(lib.SetUiCallbacks(&cb), E_INVALIDARG);
}

TEST_F(Host, bstrs_from_the_library_carry_their_length) {
  BSTR b = lib.SysAllocStringLen(u"abc", 2);
  EXPECT_EQ(lib.SysStringLen(b), 2u);
  EXPECT_EQ(b[2], 0);
  lib.SysFreeString(b);
  EXPECT_EQ(lib.SysAllocString(nullptr), nullptr);
  EXPECT_EQ(lib.SysStringLen(nullptr), 0u);
}

}  // namespace
}  // namespace lkrva::testing
