// What a type library says, as the writer takes it: a library of IUnknown-based interfaces and
// classes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lkrva/com_types.h"

namespace lkrva::typelib {

/// A parameter or result type: a base automation type, or a pointer to one.
struct TypeRef {
  uint16_t vt = 0;
  bool pointer = false;
};

struct ParamDescription {
  std::string name;
  TypeRef type;
  uint16_t flags = 0;  ///< PARAMFLAG_*
};

/// One pure-virtual, stdcall method returning `result`.
struct FuncDescription {
  int32_t memid = 0;
  std::string name;
  TypeRef result;
  std::vector<ParamDescription> params;
};

/// An interface derived directly from IUnknown (imported from stdole2.tlb).
struct InterfaceDescription {
  std::string name;
  GUID iid{};
  std::string help_string;
  uint16_t major = 0;
  uint16_t minor = 0;
  uint32_t flags = 0;  ///< TYPEFLAG_*
  std::vector<FuncDescription> funcs;
};

struct CoclassDescription {
  struct Implemented {
    std::size_t interface_index = 0;  ///< into LibraryDescription::interfaces
    int flags = 0;                    ///< IMPLTYPEFLAG_*
  };
  std::string name;
  GUID clsid{};
  std::string help_string;
  uint16_t major = 0;
  uint16_t minor = 0;
  uint32_t flags = 0;
  std::vector<Implemented> implemented;
};

/// The whole library. Its types are stored interfaces first, then classes.
/// `syskind` and `pointer_size` choose the layout: SYS_WIN32 with 4-byte
/// vtable slots, or SYS_WIN64 with 8-byte ones.
struct LibraryDescription {
  std::string name;
  GUID libid{};
  std::string help_string;
  uint16_t major = 0;
  uint16_t minor = 0;
  uint32_t lcid = 0;
  int syskind = 1;
  uint32_t pointer_size = 4;
  std::vector<InterfaceDescription> interfaces;
  std::vector<CoclassDescription> coclasses;
};

}  // namespace lkrva::typelib
