// LKRVA's interface and class, written out as the type library describes them.
#include "typelib/lkrva_library.hpp"

#include "typelib/lkrva_identities.hpp"
#include "typelib/msft_constants.hpp"

namespace lkrva::typelib {

namespace {

constexpr TypeRef kHresult{kVtHresult, false};
constexpr TypeRef kBstr{kVtBstr, false};
constexpr TypeRef kDouble{kVtR8, false};
constexpr TypeRef kDoublePtr{kVtR8, true};

std::vector<ParamDescription> Params(std::initializer_list<const char*> names, TypeRef type,
                                     uint16_t flags) {
  std::vector<ParamDescription> params;
  for (const char* name : names) params.push_back({name, type, flags});
  return params;
}

}  // namespace

LibraryDescription LkrvaLibrary(int syskind, uint32_t pointer_size) {
  LibraryDescription lib;
  lib.name = "LKRVA";
  lib.libid = kLibIdLkrva;
  lib.help_string = "LKRVA Library";
  lib.major = 1;
  lib.minor = 0;
  lib.lcid = 0;
  lib.syskind = syskind;
  lib.pointer_size = pointer_size;

  InterfaceDescription ikrva;
  ikrva.name = "IKRVA";
  ikrva.iid = kIidIKrva;
  ikrva.help_string = "Interface for KRVA Object";
  ikrva.major = 1;
  ikrva.minor = 0;
  ikrva.flags = kTypeFlagOleAutomation;
  ikrva.funcs.push_back({1, "transparameter", kHresult,
                         Params({"ADOConString", "Tablename", "FilterStr", "JS", "JXJ", "FWJ",
                                 "CZJS", "BHJ", "BHFW", "X", "Y", "JYQL"},
                                kBstr, kParamFlagIn)});
  ikrva.funcs.push_back({2, "mathtable", kHresult, Params({"gtdjs"}, kDouble, kParamFlagIn)});
  std::vector<ParamDescription> record = Params({"JS", "gtdjs"}, kDouble, kParamFlagIn);
  for (auto& p :
       Params({"JXJ", "FWJ", "CZJS", "BHJ", "BHFW", "X", "Y", "JYQL"}, kDoublePtr, kParamFlagOut)) {
    record.push_back(p);
  }
  ikrva.funcs.push_back({3, "mathrecord", kHresult, record});
  lib.interfaces.push_back(ikrva);

  CoclassDescription krva;
  krva.name = "KRVA";
  krva.clsid = kClsidKrva;
  krva.help_string = "KRVA";
  krva.major = 1;
  krva.minor = 0;
  krva.flags = kTypeFlagCanCreate;
  krva.implemented.push_back({0, kImplTypeFlagDefault});
  lib.coclasses.push_back(krva);
  return lib;
}

}  // namespace lkrva::typelib
