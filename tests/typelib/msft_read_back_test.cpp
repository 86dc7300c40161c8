// LKRVA's type library written, read back and checked field by field, win32 and win64.
#include <gtest/gtest.h>

#include <cstring>

#include "typelib/lkrva_identities.hpp"
#include "typelib/lkrva_library.hpp"
#include "typelib/msft_constants.hpp"
#include "typelib/msft_writer.hpp"
#include "typelib/type_library.hpp"

namespace lkrva::typelib {
namespace {

bool Same(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

constexpr GUID kIidIUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kStdOle = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct Layout {
  int syskind;
  uint32_t pointer;
};

class typelib_read_back : public ::testing::TestWithParam<Layout> {
 protected:
  TypeLibrary Load() {
    blob_ = WriteMsft(LkrvaLibrary(GetParam().syskind, GetParam().pointer));
    return TypeLibrary::Load(blob_.data(), blob_.size());
  }
  std::vector<uint8_t> blob_;
};

TEST_P(typelib_read_back, library_attributes_and_documentation) {
  const TypeLibrary lib = Load();
  EXPECT_TRUE(Same(lib.lib_attr().guid, kLibIdLkrva));
  EXPECT_EQ(lib.lib_attr().lcid, 0u);
  EXPECT_EQ(lib.lib_attr().syskind, GetParam().syskind);
  EXPECT_EQ(lib.lib_attr().major, 1);
  EXPECT_EQ(lib.lib_attr().minor, 0);
  EXPECT_EQ(lib.lib_attr().flags, 0);
  EXPECT_EQ(lib.documentation(-1).name, "LKRVA");
  EXPECT_EQ(lib.documentation(-1).doc_string, "LKRVA Library");
  EXPECT_EQ(lib.documentation(-1).help_file, "");
  EXPECT_EQ(lib.documentation(-1).help_context, 0u);
  ASSERT_EQ(lib.type_info_count(), 2u);
  EXPECT_EQ(lib.documentation(0).name, "IKRVA");
  EXPECT_EQ(lib.documentation(1).name, "KRVA");
  EXPECT_THROW(lib.type_info(2), TypeLibError);
}

TEST_P(typelib_read_back, interface_ikrva) {
  const TypeLibrary lib = Load();
  const TypeInfo* itf = lib.type_info_of_guid(kIidIKrva);
  ASSERT_EQ(itf, &lib.type_info(0));
  EXPECT_EQ(itf->attr.typekind, kTkindInterface);
  EXPECT_EQ(itf->attr.flags, kTypeFlagOleAutomation);
  EXPECT_EQ(itf->attr.major, 1);
  EXPECT_EQ(itf->attr.minor, 0);
  EXPECT_EQ(itf->doc.doc_string, "Interface for KRVA Object");
  EXPECT_EQ(itf->attr.c_funcs, 3);
  EXPECT_EQ(itf->attr.c_vars, 0);
  EXPECT_EQ(itf->attr.cb_size_vft, 6 * GetParam().pointer);
  EXPECT_EQ(itf->attr.cb_size_instance, GetParam().pointer);
  ASSERT_EQ(itf->impl_types.size(), 1u);
  EXPECT_EQ(lib.local_type(itf->impl_types[0].hreftype), nullptr);
  const ImportedType& base = lib.imported_type(itf->impl_types[0].hreftype);
  EXPECT_TRUE(base.by_guid);
  EXPECT_TRUE(Same(base.guid, kIidIUnknown));
  EXPECT_TRUE(Same(base.libid, kStdOle));
  EXPECT_EQ(base.major, 2);
  EXPECT_EQ(base.minor, 0);
  EXPECT_EQ(base.file, "stdole2.tlb");
  EXPECT_EQ(base.typekind, kTkindInterface);
}

struct ExpectedFunc {
  int32_t memid;
  const char* name;
  uint16_t slot;
  std::vector<std::string> params;
  std::size_t first_out;  // parameters from here on are [out] double*
  uint16_t in_vt;
};

TEST_P(typelib_read_back, functions_with_parameter_names_types_and_flags) {
  const TypeLibrary lib = Load();
  const ExpectedFunc expected[] = {
      {1,
       "transparameter",
       3,
       {"ADOConString", "Tablename", "FilterStr", "JS", "JXJ", "FWJ", "CZJS", "BHJ", "BHFW", "X",
        "Y", "JYQL"},
       12,
       kVtBstr},
      {2, "mathtable", 4, {"gtdjs"}, 1, kVtR8},
      {3,
       "mathrecord",
       5,
       {"JS", "gtdjs", "JXJ", "FWJ", "CZJS", "BHJ", "BHFW", "X", "Y", "JYQL"},
       2,
       kVtR8},
  };
  const TypeInfo& itf = lib.type_info(0);
  ASSERT_EQ(itf.funcs.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    const FuncInfo& f = itf.funcs[k];
    const ExpectedFunc& e = expected[k];
    EXPECT_EQ(f.memid, e.memid);
    EXPECT_EQ(f.name, e.name);
    EXPECT_EQ(f.ovft, e.slot * GetParam().pointer) << e.name;
    EXPECT_EQ(f.funckind, kFuncPureVirtual);
    EXPECT_EQ(f.invkind, kInvokeFunc);
    EXPECT_EQ(f.callconv, kCallConvStdcall);
    EXPECT_EQ(f.flags, 0);
    EXPECT_EQ(f.c_params_opt, 0);
    EXPECT_EQ(f.help_string, "");
    EXPECT_EQ(f.result.vt, kVtHresult);
    ASSERT_EQ(f.params.size(), e.params.size());
    for (std::size_t i = 0; i < f.params.size(); ++i) {
      const ParamInfo& p = f.params[i];
      EXPECT_EQ(p.name, e.params[i]);
      if (i < e.first_out) {
        EXPECT_EQ(p.type.vt, e.in_vt) << e.name << " " << p.name;
        EXPECT_EQ(p.flags, kParamFlagIn);
      } else {
        EXPECT_EQ(p.type.vt, kVtPtr) << p.name;
        ASSERT_TRUE(p.type.target);
        EXPECT_EQ(p.type.target->vt, kVtR8);
        EXPECT_EQ(p.flags, kParamFlagOut);
      }
    }
  }
}

TEST_P(typelib_read_back, coclass_krva) {
  const TypeLibrary lib = Load();
  const TypeInfo* cls = lib.type_info_of_guid(kClsidKrva);
  ASSERT_EQ(cls, &lib.type_info(1));
  EXPECT_EQ(cls->attr.typekind, kTkindCoclass);
  EXPECT_EQ(cls->attr.flags, kTypeFlagCanCreate);
  EXPECT_EQ(cls->doc.name, "KRVA");
  EXPECT_EQ(cls->doc.doc_string, "KRVA");
  EXPECT_EQ(cls->attr.major, 1);
  EXPECT_EQ(cls->attr.c_funcs, 0);
  ASSERT_EQ(cls->impl_types.size(), 1u);
  EXPECT_EQ(cls->impl_types[0].flags, kImplTypeFlagDefault);
  EXPECT_EQ(lib.local_type(cls->impl_types[0].hreftype), &lib.type_info(0));
  EXPECT_EQ(lib.type_info_of_guid(kLibIdLkrva), nullptr);
}

TEST_P(typelib_read_back, output_is_reproducible) {
  Load();
  EXPECT_EQ(WriteMsft(LkrvaLibrary(GetParam().syskind, GetParam().pointer)), blob_);
}

INSTANTIATE_TEST_SUITE_P(layouts, typelib_read_back,
                         ::testing::Values(Layout{kSysWin32, 4}, Layout{kSysWin64, 8}),
                         [](const auto& param_info) {
                           return param_info.param.syskind == kSysWin32 ? "win32" : "win64";
                         });

TEST(typelib_layout, win32_and_win64_differ_only_in_pointer_sized_fields) {
  const auto w32 = WriteMsft(LkrvaLibrary(kSysWin32, 4));
  const auto w64 = WriteMsft(LkrvaLibrary(kSysWin64, 8));
  ASSERT_EQ(w32.size(), w64.size());
  EXPECT_EQ(std::memcmp(w32.data(), "MSFT", 4), 0);
  EXPECT_EQ(w32[0x14], 0x41);
  EXPECT_EQ(w64[0x14], 0x43);
}

}  // namespace
}  // namespace lkrva::typelib
