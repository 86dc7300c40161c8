// What transparameter stores in the module's parameter set, seen from inside.
#include <gtest/gtest.h>

#include <string>

#include "com/bstr.hpp"
#include "scripted_ui.hpp"
#include "server/class_factory.hpp"
#include "server/module_state.hpp"
#include "ui/host_ui.hpp"

namespace lkrva::server {
namespace {

using lkrva::testing::ScriptedUi;

/// Twelve BSTRs in transparameter's order, owned by the test.
struct Args {
  BSTR b[12];
  explicit Args(const char16_t* prefix) {
    static const char16_t* names[12] = {u"con",  u"tab", u"fil",  u"JS", u"JXJ", u"FWJ",
                                        u"CZJS", u"BHJ", u"BHFW", u"X",  u"Y",   u"JYQL"};
    for (int i = 0; i < 12; ++i) {
      const std::u16string text = std::u16string(prefix) + names[i];
      b[i] = com::AllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
    }
  }
  ~Args() {
    for (BSTR s : b) com::FreeString(s);
  }
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;
};

HRESULT Trans(IKRVA* k, const Args& a) {
  return k->transparameter(a.b[0], a.b[1], a.b[2], a.b[3], a.b[4], a.b[5], a.b[6], a.b[7], a.b[8],
                           a.b[9], a.b[10], a.b[11]);
}

std::string Texts(const params::ParameterSet& p) {
  return p.ADOConString + "|" + p.Tablename + "|" + p.FilterStr + "|" + p.JS + "|" + p.JXJ + "|" +
         p.FWJ + "|" + p.CZJS + "|" + p.X + "|" + p.Y + "|" + p.BHFW + "|" + p.BHJ + "|" + p.JYQL;
}

class ParameterSetTest : public ::testing::Test {
 protected:
  ScriptedUi ui;
  void SetUp() override {
    ReleaseState();  // as a fresh load
    const auto cb = ui.Callbacks();
    lkrva::ui::InstallHostCallbacks(&cb);
  }
  void TearDown() override { lkrva::ui::InstallHostCallbacks(nullptr); }
  IKRVA* NewObject() {
    IClassFactory* f = nullptr;
    EXPECT_EQ(GetClassObject(CLSID_KRVA, IID_IClassFactory, reinterpret_cast<void**>(&f)), S_OK);
    IKRVA* k = nullptr;
    EXPECT_EQ(f->CreateInstance(nullptr, IID_IKRVA, reinterpret_cast<void**>(&k)), S_OK);
    f->Release();
    return k;
  }
};

TEST_F(ParameterSetTest, a_cancelled_first_call_leaves_the_set_empty) {
  IKRVA* k = NewObject();
  ui.answers = {std::nullopt};
  EXPECT_EQ(Trans(k, Args(u"a")), S_FALSE);
  EXPECT_EQ(Texts(State().params), "|||||||||||");
  EXPECT_EQ(State().params.CPJ, 0);
  k->Release();
}

TEST_F(ParameterSetTest, two_objects_share_one_set_and_it_outlives_them) {
  IKRVA* first = NewObject();
  IKRVA* second = NewObject();
  ui.answers = {" -2.5 "};
  ASSERT_EQ(Trans(first, Args(u"a")), S_OK);
  first->Release();
  second->Release();
  EXPECT_EQ(State().params.CPJ, -2.5);
  // The fields in their own order: X, Y, BHFW, BHJ after CZJS.
  EXPECT_EQ(Texts(State().params), "acon|atab|afil|aJS|aJXJ|aFWJ|aCZJS|aX|aY|aBHFW|aBHJ|aJYQL");
}

TEST_F(ParameterSetTest, a_refused_entry_keeps_the_previous_set_and_a_second_call_replaces_it) {
  IKRVA* k = NewObject();
  ui.answers = {"3E1", "1,5", "0"};
  ASSERT_EQ(Trans(k, Args(u"a")), S_OK);
  EXPECT_EQ(Trans(k, Args(u"b")), S_FALSE);
  EXPECT_EQ(State().params.CPJ, 30);
  EXPECT_EQ(State().params.JS, "aJS");
  EXPECT_EQ(k->transparameter(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(State().params.CPJ, 0);
  EXPECT_EQ(Texts(State().params), "|||||||||||");
  k->Release();
}

TEST_F(ParameterSetTest, a_lone_surrogate_is_stored_as_a_question_mark) {
  IKRVA* k = NewObject();
  ui.answers = {"0"};
  const char16_t bad[] = {u'a', 0xD800, u'b'};
  BSTR b = com::AllocStringLen(bad, 3);
  EXPECT_EQ(k->transparameter(b, b, b, b, b, b, b, b, b, b, b, b), S_OK);
  EXPECT_EQ(State().params.JYQL, "a?b");
  com::FreeString(b);
  k->Release();
}

}  // namespace
}  // namespace lkrva::server
