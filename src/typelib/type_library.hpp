// A loaded type library: what its header, type infos and member blocks say.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "lkrva/com_types.h"

namespace lkrva::typelib {

/// A blob that is not a type library we can read: wrong magic, an offset
/// or length pointing outside the blob or its segment, a loop. what() names
/// the field that was wrong.
class TypeLibError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// TLIBATTR
struct LibAttr {
  GUID guid{};
  uint32_t lcid = 0;
  int syskind = 0;
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t flags = 0;
};

/// GetDocumentation's four answers.
struct Documentation {
  std::string name;
  std::string doc_string;  ///< "" when there is none
  uint32_t help_context = 0;
  std::string help_file;  ///< "" when there is none
};

/// TYPEDESC: a base type, a pointer/safe array of `target`, or a
/// user-defined type by `hreftype`.
struct TypeDesc {
  uint16_t vt = 0;
  std::shared_ptr<const TypeDesc> target;
  int32_t hreftype = -1;
};

struct ParamInfo {
  std::string name;  ///< "" for an unnamed parameter
  TypeDesc type;
  uint16_t flags = 0;  ///< PARAMFLAG_*
};

/// FUNCDESC plus the names GetNames gives.
struct FuncInfo {
  int32_t memid = 0;
  std::string name;
  int funckind = 0;
  int invkind = 0;
  int callconv = 0;
  int16_t c_params_opt = 0;
  uint16_t ovft = 0;   ///< byte offset in the vtable
  uint16_t flags = 0;  ///< FUNCFLAGS
  TypeDesc result;
  std::vector<ParamInfo> params;
  std::string help_string;
};

/// TYPEATTR
struct TypeAttr {
  GUID guid{};
  int typekind = 0;
  uint16_t c_funcs = 0;
  uint16_t c_vars = 0;
  uint16_t c_impl_types = 0;
  uint16_t cb_size_vft = 0;
  uint32_t cb_size_instance = 0;
  uint16_t cb_alignment = 0;
  uint32_t flags = 0;  ///< TYPEFLAG_*
  uint16_t major = 0;
  uint16_t minor = 0;
};

/// An implemented (or, for an interface, inherited) type.
struct ImplType {
  int32_t hreftype = -1;
  int flags = 0;  ///< IMPLTYPEFLAG_*
};

struct TypeInfo {
  TypeAttr attr;
  Documentation doc;
  std::vector<FuncInfo> funcs;
  std::vector<ImplType> impl_types;
};

/// A type that lives in another library, as an HREFTYPE names it.
struct ImportedType {
  bool by_guid = false;
  GUID guid{};        ///< the type's GUID when by_guid
  int32_t index = 0;  ///< its index in the other library otherwise
  int typekind = 0;
  GUID libid{};
  uint16_t major = 0;
  uint16_t minor = 0;
  std::string file;
};

/// A type library read from an MSFT blob. Everything is checked and copied
/// out while loading, so a loaded library never touches the blob again.
class TypeLibrary {
 public:
  /// Reads `size` bytes at `data`; throws TypeLibError for a damaged blob,
  /// never reading outside it.
  static TypeLibrary Load(const uint8_t* data, std::size_t size);

  const LibAttr& lib_attr() const { return lib_attr_; }
  /// index -1 documents the library, 0.. a type info.
  const Documentation& documentation(int index) const;
  std::size_t type_info_count() const { return types_.size(); }
  /// Throws TypeLibError for an index out of range.
  const TypeInfo& type_info(std::size_t index) const;
  /// nullptr when no type of this library has the GUID.
  const TypeInfo* type_info_of_guid(const GUID& guid) const;
  /// The local type an HREFTYPE names; nullptr for an imported one.
  const TypeInfo* local_type(int32_t hreftype) const;
  /// The imported type an HREFTYPE names; throws TypeLibError for a local
  /// or unknown one.
  const ImportedType& imported_type(int32_t hreftype) const;

 private:
  friend class MsftParser;
  LibAttr lib_attr_;
  Documentation lib_doc_;
  std::vector<TypeInfo> types_;
  std::vector<std::pair<int32_t, ImportedType>> imports_;
};

}  // namespace lkrva::typelib
