// The bounds-checked MSFT reader: every offset is checked before it is followed.
#include <cstdio>
#include <cstring>
#include <string>

#include "typelib/msft_constants.hpp"
#include "typelib/type_library.hpp"

namespace lkrva::typelib {

namespace {

std::string Hex(int64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<long long>(v));
  return text;
}

[[noreturn]] void Fail(const std::string& what) {
  throw TypeLibError("damaged type library: " + what);
}

// A byte range of the blob with checked little-endian reads; offsets are
// relative to the range, so one class serves the file and every segment.
class Range {
 public:
  Range() = default;
  Range(const uint8_t* data, uint32_t length, std::string name)
      : data_(data), length_(length), name_(std::move(name)) {}

  bool present() const { return data_ != nullptr; }
  uint32_t length() const { return length_; }

  void Need(int64_t offset, int64_t bytes, const char* what) const {
    if (data_ == nullptr) Fail(std::string(what) + " refers to the absent " + name_ + " segment");
    if (offset < 0 || bytes < 0 || offset + bytes > static_cast<int64_t>(length_)) {
      Fail(std::string(what) + " at " + Hex(offset) + " (+" + std::to_string(bytes) +
           ") lies outside " + name_ + " (" + Hex(length_) + " bytes)");
    }
  }
  int32_t I32(int64_t offset, const char* what) const {
    Need(offset, 4, what);
    const uint8_t* p = data_ + offset;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
  }
  uint16_t U16(int64_t offset, const char* what) const {
    Need(offset, 2, what);
    const uint8_t* p = data_ + offset;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
  }
  uint8_t U8(int64_t offset, const char* what) const {
    Need(offset, 1, what);
    return data_[offset];
  }
  std::string Text(int64_t offset, int64_t bytes, const char* what) const {
    Need(offset, bytes, what);
    return std::string(reinterpret_cast<const char*>(data_ + offset),
                       static_cast<std::size_t>(bytes));
  }
  Range Sub(int64_t offset, int64_t bytes, std::string name, const char* what) const {
    Need(offset, bytes, what);
    return Range(data_ + offset, static_cast<uint32_t>(bytes), std::move(name));
  }

 private:
  const uint8_t* data_ = nullptr;
  uint32_t length_ = 0;
  std::string name_ = "the file";
};

constexpr const char* kSegmentNames[kSegmentCount] = {
    "TYPEINFO", "IMPINFO",  "IMPFILES",  "REFERENCES", "GUIDHASH", "GUID",   "NAMEHASH", "NAME",
    "STRING",   "TYPEDESC", "ARRAYDESC", "CUSTDATA",   "CDGUIDS",  "unused", "unused"};

constexpr int kMaxTypeDescDepth = 16;

}  // namespace

class MsftParser {
 public:
  MsftParser(const uint8_t* data, std::size_t size) {
    if (size > 0x7FFFFFFF) Fail("blob larger than 2 GiB");
    file_ = Range(data, static_cast<uint32_t>(size), "the file");
    for (uint32_t s = 0; s < kSegmentCount; ++s) segments_[s] = Range(nullptr, 0, kSegmentNames[s]);
  }

  TypeLibrary Parse() {
    file_.Need(0, kHeaderSize, "header");
    if (file_.Text(0, 4, "magic") != "MSFT") Fail("no MSFT signature");
    const int32_t varflags = file_.I32(0x14, "varflags");
    const int32_t type_count = file_.I32(0x20, "type info count");
    if (type_count < 0 || type_count > 0xFFFF) Fail("type info count " + Hex(type_count));
    const int64_t directory =
        kHeaderSize + 4 * static_cast<int64_t>(type_count) + ((varflags & 0x100) ? 4 : 0);
    file_.Need(directory, kSegmentCount * kDirectoryEntrySize, "segment directory");
    for (uint32_t s = 0; s < kSegmentCount; ++s) {
      const int64_t entry = directory + s * kDirectoryEntrySize;
      const int32_t offset = file_.I32(entry, "segment offset");
      const int32_t length = file_.I32(entry + 4, "segment length");
      if (s < 2 &&
          file_.I32(entry + 12, "directory marker") != static_cast<int32_t>(kDirectoryReserved)) {
        Fail("segment directory marker missing");
      }
      if (offset == -1) continue;
      segments_[s] = file_.Sub(offset, length, kSegmentNames[s], "segment");
    }
    if (static_cast<int64_t>(type_count) * kTypeInfoSize > seg(kSegTypeInfo).length()) {
      Fail("more type infos than the TYPEINFO segment holds");
    }

    TypeLibrary lib;
    lib.lib_attr_.guid = Guid(file_.I32(0x08, "library GUID"), "library GUID");
    lib.lib_attr_.lcid = static_cast<uint32_t>(file_.I32(0x10, "lcid"));
    lib.lib_attr_.syskind = varflags & 0xF;
    const int32_t version = file_.I32(0x18, "version");
    lib.lib_attr_.major = static_cast<uint16_t>(version);
    lib.lib_attr_.minor = static_cast<uint16_t>(static_cast<uint32_t>(version) >> 16);
    lib.lib_attr_.flags = static_cast<uint16_t>(file_.I32(0x1C, "library flags"));
    lib.lib_doc_.name = Name(file_.I32(0x38, "library name"), "library name");
    lib.lib_doc_.doc_string = String(file_.I32(0x24, "library help string"), "library help string");
    lib.lib_doc_.help_context = static_cast<uint32_t>(file_.I32(0x2C, "help context"));
    lib.lib_doc_.help_file = String(file_.I32(0x3C, "help file"), "help file");

    for (int32_t i = 0; i < type_count; ++i) lib.types_.push_back(ReadTypeInfo(i));
    ReadImports(lib);
    CheckReferences(lib);
    return lib;
  }

 private:
  const Range& seg(int s) const { return segments_[s]; }

  GUID Guid(int32_t offset, const char* what) const {
    if (offset < 0 || offset % static_cast<int32_t>(kGuidEntrySize) != 0) {
      Fail(std::string(what) + ": GUID offset " + Hex(offset));
    }
    const Range& g = seg(kSegGuid);
    g.Need(offset, kGuidEntrySize, what);
    GUID out{};
    out.Data1 = static_cast<uint32_t>(g.I32(offset, what));
    out.Data2 = g.U16(offset + 4, what);
    out.Data3 = g.U16(offset + 6, what);
    for (int i = 0; i < 8; ++i) out.Data4[i] = g.U8(offset + 8 + i, what);
    return out;
  }

  std::string Name(int32_t offset, const char* what) const {
    if (offset == -1) return {};
    const Range& n = seg(kSegName);
    const uint8_t length = n.U8(static_cast<int64_t>(offset) + 8, what);
    return n.Text(static_cast<int64_t>(offset) + 12, length, what);
  }

  std::string String(int32_t offset, const char* what) const {
    if (offset == -1) return {};
    const Range& s = seg(kSegString);
    const uint16_t length = s.U16(offset, what);
    return s.Text(static_cast<int64_t>(offset) + 2, length, what);
  }

  TypeDesc Type(int32_t encoded, int depth, const char* what) const {
    TypeDesc t;
    if (encoded < 0) {
      t.vt = static_cast<uint16_t>(encoded & 0x7FFF);
      return t;
    }
    if (depth > kMaxTypeDescDepth) Fail(std::string(what) + ": type descriptions nest too deep");
    if (encoded % static_cast<int32_t>(kTypeDescSize) != 0) {
      Fail(std::string(what) + ": TYPEDESC offset " + Hex(encoded));
    }
    const Range& d = seg(kSegTypeDesc);
    t.vt = static_cast<uint16_t>(d.U16(encoded, what) & 0x7FFF);
    const int32_t target = d.I32(static_cast<int64_t>(encoded) + 4, what);
    if (t.vt == kVtPtr || t.vt == kVtSafeArray) {
      t.target = std::make_shared<TypeDesc>(Type(target, depth + 1, what));
    } else if (t.vt == kVtUserDefined) {
      t.hreftype = target;
    } else if (t.vt == kVtCArray) {
      Fail(std::string(what) + ": C arrays are not supported");
    }
    return t;
  }

  TypeInfo ReadTypeInfo(int32_t index) const {
    const Range& ti = seg(kSegTypeInfo);
    const int64_t base = static_cast<int64_t>(index) * kTypeInfoSize;
    auto field = [&](int off, const char* what) { return ti.I32(base + off, what); };
    TypeInfo t;
    const int32_t kind = field(0x00, "typekind");
    t.attr.typekind = kind & 0xF;
    t.attr.cb_alignment = static_cast<uint16_t>((kind >> 11) & 0x1F);
    const int32_t elements = field(0x18, "element counts");
    t.attr.c_funcs = static_cast<uint16_t>(elements);
    t.attr.c_vars = static_cast<uint16_t>(static_cast<uint32_t>(elements) >> 16);
    t.attr.guid = Guid(field(0x2C, "type GUID"), "type GUID");
    t.attr.flags = static_cast<uint32_t>(field(0x30, "type flags"));
    t.doc.name = Name(field(0x34, "type name"), "type name");
    const int32_t version = field(0x38, "type version");
    t.attr.major = static_cast<uint16_t>(version);
    t.attr.minor = static_cast<uint16_t>(static_cast<uint32_t>(version) >> 16);
    t.doc.doc_string = String(field(0x3C, "type help string"), "type help string");
    t.doc.help_context = static_cast<uint32_t>(field(0x44, "type help context"));
    const int32_t sizes = field(0x4C, "impl count / vtable size");
    t.attr.c_impl_types = static_cast<uint16_t>(sizes);
    t.attr.cb_size_vft = static_cast<uint16_t>(static_cast<uint32_t>(sizes) >> 16);
    t.attr.cb_size_instance = static_cast<uint32_t>(field(0x50, "instance size"));
    const int32_t datatype1 = field(0x54, "datatype1");

    if (t.attr.typekind == kTkindCoclass) {
      ReadImplTypes(datatype1, t);
    } else if (t.attr.typekind == kTkindInterface && t.attr.c_impl_types > 0) {
      if (t.attr.c_impl_types != 1) Fail("an interface with more than one base");
      t.impl_types.push_back({datatype1, 0});
    }
    if (t.attr.c_funcs + t.attr.c_vars > 0) ReadMembers(field(0x04, "member offset"), t);
    return t;
  }

  void ReadImplTypes(int32_t offset, TypeInfo& t) const {
    const Range& refs = seg(kSegReferences);
    for (uint16_t i = 0; i < t.attr.c_impl_types; ++i) {
      // cImplTypes bounds the walk, so a looping chain cannot run away.
      if (offset < 0 || offset % static_cast<int32_t>(kRefRecordSize) != 0) {
        Fail("implemented-interface record offset " + Hex(offset));
      }
      ImplType impl;
      impl.hreftype = refs.I32(offset, "implemented interface");
      impl.flags = refs.I32(static_cast<int64_t>(offset) + 4, "implemented-interface flags");
      t.impl_types.push_back(impl);
      offset = refs.I32(static_cast<int64_t>(offset) + 12, "next implemented interface");
    }
  }

  void ReadMembers(int32_t memoffset, TypeInfo& t) const {
    const int64_t count = t.attr.c_funcs + t.attr.c_vars;
    const int32_t infolen = file_.I32(memoffset, "member block length");
    if (infolen < 0) Fail("negative member block length");
    const Range block = file_.Sub(static_cast<int64_t>(memoffset) + 4, infolen + 12 * count,
                                  "member block", "member block");
    const Range records = block.Sub(0, infolen, "member records", "member records");
    const int64_t arrays = infolen;
    int64_t sequential = 0;
    for (uint16_t k = 0; k < t.attr.c_funcs; ++k) {
      const int32_t recoff = block.I32(arrays + 8 * count + 4 * k, "member record offset");
      // Both ways to find a record (the offset array and walking) must agree.
      if (recoff != sequential) Fail("function record offsets out of sequence");
      FuncInfo f;
      f.memid = block.I32(arrays + 4 * k, "member id");
      f.name = Name(block.I32(arrays + 4 * count + 4 * k, "member name"), "member name");
      const int32_t length = records.I32(recoff, "function record") & 0xFFFF;
      const Range rec = records.Sub(recoff, length, "function record", "function record");
      rec.Need(0, kFuncRecordFixedSize, "function record");
      f.result = Type(rec.I32(0x04, "return type"), 0, "return type");
      f.flags = static_cast<uint16_t>(rec.I32(0x08, "function flags"));
      f.ovft = static_cast<uint16_t>(rec.U16(0x0C, "vtable offset") & ~1u);
      const int32_t fkccic = rec.I32(0x10, "function kinds");
      f.funckind = fkccic & 0x7;
      f.invkind = (fkccic >> 3) & 0xF;
      f.callconv = (fkccic >> 8) & 0xF;
      const uint16_t nparams = rec.U16(0x14, "parameter count");
      f.c_params_opt = static_cast<int16_t>(rec.U16(0x16, "optional parameter count"));
      const int64_t defaults = (fkccic & 0x1000) ? 4 * nparams : 0;
      const int64_t optional = length - static_cast<int64_t>(kFuncRecordFixedSize) -
                               kParamRecordSize * nparams - defaults;
      if (optional < 0 || optional % 4 != 0) Fail("function record too short for its parameters");
      if (optional >= 8)
        f.help_string = String(rec.I32(0x1C, "function help string"), "function help string");
      const int64_t params = length - static_cast<int64_t>(kParamRecordSize) * nparams;
      for (uint16_t i = 0; i < nparams; ++i) {
        const int64_t p = params + static_cast<int64_t>(kParamRecordSize) * i;
        ParamInfo param;
        param.type = Type(rec.I32(p, "parameter type"), 0, "parameter type");
        param.name = Name(rec.I32(p + 4, "parameter name"), "parameter name");
        param.flags = static_cast<uint16_t>(rec.I32(p + 8, "parameter flags"));
        f.params.push_back(std::move(param));
      }
      sequential += length;
      t.funcs.push_back(std::move(f));
    }
  }

  // Every HREFTYPE the library uses must name a local type info or an
  // IMPINFO entry; imported ones are resolved once here.
  void ReadImports(TypeLibrary& lib) const {
    for (const TypeInfo& t : lib.types_) {
      for (const ImplType& impl : t.impl_types) {
        if ((impl.hreftype & 3) != 1) continue;
        bool known = false;
        for (const auto& [href, imported] : lib.imports_) known = known || href == impl.hreftype;
        if (!known) lib.imports_.emplace_back(impl.hreftype, Import(impl.hreftype));
      }
    }
  }

  ImportedType Import(int32_t hreftype) const {
    const Range& imp = seg(kSegImpInfo);
    const int32_t at = hreftype & ~3;
    ImportedType out;
    const int32_t flags = imp.I32(at, "imported type");
    out.typekind = (flags >> 24) & 0xF;
    out.by_guid = (flags & 0x10000) != 0;
    const int32_t file = imp.I32(static_cast<int64_t>(at) + 4, "imported library");
    const int32_t target = imp.I32(static_cast<int64_t>(at) + 8, "imported type GUID");
    if (out.by_guid) {
      out.guid = Guid(target, "imported type GUID");
    } else {
      out.index = target;
    }
    const Range& files = seg(kSegImpFiles);
    out.libid = Guid(files.I32(file, "imported library GUID"), "imported library GUID");
    out.major = files.U16(static_cast<int64_t>(file) + 8, "imported library version");
    out.minor = files.U16(static_cast<int64_t>(file) + 10, "imported library version");
    const uint16_t name_length = static_cast<uint16_t>(
        files.U16(static_cast<int64_t>(file) + 12, "imported file name") >> 2);
    out.file = files.Text(static_cast<int64_t>(file) + 14, name_length, "imported file name");
    return out;
  }

  void CheckReferences(const TypeLibrary& lib) const {
    for (const TypeInfo& t : lib.types_) {
      for (const ImplType& impl : t.impl_types) {
        if (impl.hreftype == -1 && t.attr.typekind == kTkindInterface) continue;
        if ((impl.hreftype & 3) == 1) continue;  // checked by ReadImports
        if ((impl.hreftype & 3) != 0 || impl.hreftype < 0 ||
            impl.hreftype % static_cast<int32_t>(kTypeInfoSize) != 0 ||
            impl.hreftype / static_cast<int32_t>(kTypeInfoSize) >=
                static_cast<int32_t>(lib.types_.size())) {
          Fail("type reference " + Hex(impl.hreftype) + " names no type");
        }
      }
    }
  }

  Range file_;
  Range segments_[kSegmentCount];
};

TypeLibrary TypeLibrary::Load(const uint8_t* data, std::size_t size) {
  if (data == nullptr) Fail("no data");
  return MsftParser(data, size).Parse();
}

const Documentation& TypeLibrary::documentation(int index) const {
  if (index == -1) return lib_doc_;
  return type_info(static_cast<std::size_t>(index)).doc;
}

const TypeInfo& TypeLibrary::type_info(std::size_t index) const {
  if (index >= types_.size()) {
    throw TypeLibError("type info index " + std::to_string(index) + " out of range");
  }
  return types_[index];
}

const TypeInfo* TypeLibrary::type_info_of_guid(const GUID& guid) const {
  for (const TypeInfo& t : types_) {
    if (std::memcmp(&t.attr.guid, &guid, sizeof guid) == 0) return &t;
  }
  return nullptr;
}

const TypeInfo* TypeLibrary::local_type(int32_t hreftype) const {
  if (hreftype < 0 || (hreftype & 3) != 0) return nullptr;
  const auto index = static_cast<std::size_t>(hreftype) / kTypeInfoSize;
  return index < types_.size() ? &types_[index] : nullptr;
}

const ImportedType& TypeLibrary::imported_type(int32_t hreftype) const {
  for (const auto& [href, imported] : imports_) {
    if (href == hreftype) return imported;
  }
  throw TypeLibError("type reference " + Hex(hreftype) + " is not an imported type");
}

}  // namespace lkrva::typelib
