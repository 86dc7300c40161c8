// The MSFT writer: builds each segment, then places them and links offsets.
#include "typelib/msft_writer.hpp"

#include <map>
#include <stdexcept>
#include <string>

#include "typelib/byte_buffer.hpp"
#include "typelib/msft_constants.hpp"
#include "typelib/name_hash.hpp"

namespace lkrva::typelib {

namespace {

constexpr GUID kStdOleLibId = {
    0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr const char* kStdOleFile = "stdole2.tlb";
constexpr int32_t kHrefLibId = -2;        // GUID entry of this file's own LIBID
constexpr int32_t kHrefImportLib = 2;     // GUID entry of an imported LIBID
constexpr int32_t kIUnknownHref = 0 | 1;  // IMPINFO entry 0, marked imported

// Inline encoding of a base type; the high copy differs for a few types.
int32_t EncodeBase(uint16_t vt) {
  uint32_t high = vt;
  if (vt == kVtInt) high = kVtI4;
  if (vt == kVtUint) high = kVtUi4;
  if (vt == kVtVoid) high = 0;
  if (vt == kVtLpstr || vt == kVtLpwstr) return static_cast<int32_t>(0xFFFE0000u | vt);
  return static_cast<int32_t>(0x80000000u | high << 16 | vt);
}

uint32_t GuidBucket(const GUID& g) {
  const uint16_t words[8] = {static_cast<uint16_t>(g.Data1),
                             static_cast<uint16_t>(g.Data1 >> 16),
                             g.Data2,
                             g.Data3,
                             static_cast<uint16_t>(g.Data4[0] | g.Data4[1] << 8),
                             static_cast<uint16_t>(g.Data4[2] | g.Data4[3] << 8),
                             static_cast<uint16_t>(g.Data4[4] | g.Data4[5] << 8),
                             static_cast<uint16_t>(g.Data4[6] | g.Data4[7] << 8)};
  uint16_t x = 0;
  for (const uint16_t w : words) x ^= w;
  return x & (kGuidHashBuckets - 1);
}

std::string Fold(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// A segment and the heads of its hash buckets (-1 for an empty bucket);
// entries are prepended to their bucket's chain.
class HashedSegment {
 public:
  explicit HashedSegment(std::size_t buckets) : hash_(buckets, -1) {}
  ByteBuffer HashSegment() const {
    ByteBuffer out;
    for (const int32_t h : hash_) out.I32(h);
    return out;
  }
  const ByteBuffer& segment() const { return segment_; }

 protected:
  ByteBuffer segment_;
  std::vector<int32_t> hash_;
};

// GUID segment with its 32-bucket hash.
class GuidTable : public HashedSegment {
 public:
  GuidTable() : HashedSegment(kGuidHashBuckets) {}
  int32_t Add(const GUID& g, int32_t hreftype) {
    const auto offset = static_cast<int32_t>(segment_.size());
    const uint32_t bucket = GuidBucket(g);
    segment_.U32(g.Data1);
    segment_.U16(g.Data2);
    segment_.U16(g.Data3);
    for (const uint8_t b : g.Data4) segment_.U8(b);
    segment_.I32(hreftype);
    segment_.I32(hash_[bucket]);
    hash_[bucket] = offset;
    return offset;
  }
};

// NAME segment with its 128-bucket hash; each name stored once, compared
// without regard to case.
class NameTable : public HashedSegment {
 public:
  NameTable() : HashedSegment(kNameHashBuckets) {}
  int32_t Add(const std::string& name, int32_t hreftype, uint8_t flags) {
    const auto found = index_.find(Fold(name));
    if (found != index_.end()) return found->second;
    if (name.empty() || name.size() > 255) {
      throw std::invalid_argument("name length out of range: \"" + name + "\"");
    }
    const auto offset = static_cast<int32_t>(segment_.size());
    const uint32_t hash = NameHash(name);
    const uint32_t bucket = hash & (kNameHashBuckets - 1);
    segment_.I32(hreftype);
    segment_.I32(hash_[bucket]);
    segment_.U8(static_cast<uint8_t>(name.size()));
    segment_.U8(flags);
    segment_.U16(static_cast<uint16_t>(hash));
    segment_.Text(name);
    segment_.PadTo(4);
    hash_[bucket] = offset;
    index_.emplace(Fold(name), offset);
    ++count_;
    chars_ += static_cast<int32_t>(name.size());
    return offset;
  }
  int32_t count() const { return count_; }
  int32_t chars() const { return chars_; }

 private:
  std::map<std::string, int32_t> index_;
  int32_t count_ = 0;
  int32_t chars_ = 0;
};

// STRING segment: help strings, deduplicated.
class StringTable {
 public:
  int32_t Add(const std::string& text) {
    if (text.empty()) return -1;
    if (text.size() > 0xFFFF) throw std::invalid_argument("help string too long");
    const auto found = index_.find(text);
    if (found != index_.end()) return found->second;
    const auto offset = static_cast<int32_t>(segment_.size());
    segment_.U16(static_cast<uint16_t>(text.size()));
    segment_.Text(text);
    segment_.PadTo(4);
    while (segment_.size() - static_cast<uint32_t>(offset) < 8) segment_.U8('W');
    index_.emplace(text, offset);
    return offset;
  }
  const ByteBuffer& segment() const { return segment_; }

 private:
  ByteBuffer segment_;
  std::map<std::string, int32_t> index_;
};

// TYPEDESC segment: one entry per distinct pointer-to-base type.
class TypeDescTable {
 public:
  int32_t Encode(const TypeRef& type) {
    if (!type.pointer) return EncodeBase(type.vt);
    const auto found = index_.find(type.vt);
    if (found != index_.end()) return found->second;
    const auto offset = static_cast<int32_t>(segment_.size());
    segment_.U16(kVtPtr);
    segment_.U16(static_cast<uint16_t>(type.vt | 0x4000));  // VT_BYREF copy, informational
    segment_.I32(EncodeBase(type.vt));
    index_.emplace(type.vt, offset);
    return offset;
  }
  const ByteBuffer& segment() const { return segment_; }

 private:
  ByteBuffer segment_;
  std::map<uint16_t, int32_t> index_;
};

struct TypeInfoFields {
  int32_t typekind = 0;
  int32_t res2 = 0;
  int32_t res3 = -1;
  int32_t c_funcs = 0;
  int32_t posguid = -1;
  uint32_t flags = 0;
  int32_t name = -1;
  uint16_t major = 0;
  uint16_t minor = 0;
  int32_t doc = -1;
  uint16_t impl_types = 0;
  uint16_t size_vft = 0;
  int32_t size = 0;
  int32_t datatype1 = -1;
  int32_t datatype2 = 0;
  int32_t member_block = -1;  // index into the member blocks, -1 for none
};

ByteBuffer MemberBlock(const InterfaceDescription& itf, uint32_t pointer_size,
                       const std::vector<int32_t>& func_names,
                       const std::vector<std::vector<int32_t>>& param_names,
                       TypeDescTable& typedescs) {
  ByteBuffer records;
  std::vector<int32_t> offsets;
  for (std::size_t k = 0; k < itf.funcs.size(); ++k) {
    const FuncDescription& f = itf.funcs[k];
    const auto n = static_cast<uint32_t>(f.params.size());
    const uint32_t length = kFuncRecordFixedSize + kParamRecordSize * n;
    uint32_t pointers = 0;
    for (const auto& p : f.params) pointers += p.type.pointer ? 1 : 0;
    offsets.push_back(static_cast<int32_t>(records.size()));
    records.U32(length | static_cast<uint32_t>(k) << 16);
    records.I32(typedescs.Encode(f.result));
    records.I32(0);  // no FUNCFLAGS
    records.U16(static_cast<uint16_t>((3 + k) * pointer_size));
    // The in-memory FUNCDESC size; informational, kept as other writers do.
    records.U16(static_cast<uint16_t>(52 + 16 * n + 8 * pointers));
    records.U32(static_cast<uint32_t>(k) << 16 | kCallConvStdcall << 8 | kInvokeFunc << 3 |
                kFuncPureVirtual);
    records.U16(static_cast<uint16_t>(n));
    records.U16(0);  // no optional parameters
    for (uint32_t i = 0; i < n; ++i) {
      records.I32(typedescs.Encode(f.params[i].type));
      records.I32(param_names[k][i]);
      records.I32(f.params[i].flags);
    }
  }
  ByteBuffer block;
  block.U32(records.size());
  block.Append(records);
  for (const auto& f : itf.funcs) block.I32(f.memid);
  for (const int32_t name : func_names) block.I32(name);
  for (const int32_t off : offsets) block.I32(off);
  return block;
}

}  // namespace

std::vector<uint8_t> WriteMsft(const LibraryDescription& lib) {
  if (lib.pointer_size != 4 && lib.pointer_size != 8) {
    throw std::invalid_argument("pointer size must be 4 or 8");
  }
  const auto type_count = static_cast<uint32_t>(lib.interfaces.size() + lib.coclasses.size());
  GuidTable guids;
  NameTable names;
  StringTable strings;
  TypeDescTable typedescs;
  ByteBuffer references;
  ByteBuffer impinfo;
  ByteBuffer impfiles;
  std::vector<TypeInfoFields> infos;
  std::vector<ByteBuffer> blocks;

  const int32_t lib_guid = guids.Add(lib.libid, kHrefLibId);
  const int32_t lib_name = names.Add(lib.name, -1, 0);
  const int32_t lib_doc = strings.Add(lib.help_string);

  const int32_t align = static_cast<int32_t>(lib.pointer_size) << 11;
  for (std::size_t i = 0; i < lib.interfaces.size(); ++i) {
    const InterfaceDescription& itf = lib.interfaces[i];
    const auto offset = static_cast<int32_t>(i * kTypeInfoSize);
    TypeInfoFields t;
    t.typekind = static_cast<int32_t>(i << 16) | kTkindInterface | 0x20 | 0x200 | align;
    t.posguid = guids.Add(itf.iid, offset);
    if (i == 0) {
      // IUnknown comes from stdole2: its library, then the type itself.
      const int32_t stdole = guids.Add(kStdOleLibId, kHrefImportLib);
      const int32_t iunknown = guids.Add(kIidIUnknown, 0 + 1);
      impfiles.I32(stdole);
      impfiles.I32(0);  // lcid
      impfiles.U16(2);
      impfiles.U16(0);
      impfiles.U16(static_cast<uint16_t>(std::string_view(kStdOleFile).size() << 2 | 1));
      impfiles.Text(kStdOleFile);
      impfiles.PadTo(4);
      impinfo.I32(kTkindInterface << 24 | 0x10000);  // by GUID, entry #0
      impinfo.I32(0);
      impinfo.I32(iunknown);
    }
    t.name = names.Add(itf.name, offset, 0x38);
    t.flags = itf.flags;
    t.major = itf.major;
    t.minor = itf.minor;
    t.doc = strings.Add(itf.help_string);
    t.impl_types = 1;
    t.size_vft = static_cast<uint16_t>((3 + itf.funcs.size()) * lib.pointer_size);
    t.size = static_cast<int32_t>(lib.pointer_size);
    t.datatype1 = kIUnknownHref;
    t.datatype2 = 3 << 16 | 1;  // three inherited methods, one level below IUnknown
    t.c_funcs = static_cast<int32_t>(itf.funcs.size());
    std::vector<int32_t> func_names;
    std::vector<std::vector<int32_t>> param_names;
    for (std::size_t k = 0; k < itf.funcs.size(); ++k) {
      const FuncDescription& f = itf.funcs[k];
      func_names.push_back(names.Add(f.name, offset, 0));
      param_names.emplace_back();
      for (const auto& p : f.params) param_names.back().push_back(names.Add(p.name, -1, 0));
      // Allocation hints that loaders size their buffers by.
      const auto n = static_cast<int32_t>(f.params.size());
      t.res2 = (t.res2 == 0 ? 0x20 : t.res2) << 1;
      if (k < 2) t.res2 += n << 4;
      t.res3 = (t.res3 < 0 ? 0 : t.res3) + 0x38 + 0x10 * n;
    }
    if (!itf.funcs.empty()) {
      t.member_block = static_cast<int32_t>(blocks.size());
      blocks.push_back(MemberBlock(itf, lib.pointer_size, func_names, param_names, typedescs));
    }
    infos.push_back(t);
  }
  for (std::size_t j = 0; j < lib.coclasses.size(); ++j) {
    const CoclassDescription& cls = lib.coclasses[j];
    const std::size_t index = lib.interfaces.size() + j;
    const auto offset = static_cast<int32_t>(index * kTypeInfoSize);
    TypeInfoFields t;
    t.typekind = static_cast<int32_t>(index << 16) | kTkindCoclass | 0x20 | 0x2200;
    t.posguid = guids.Add(cls.clsid, offset);
    t.name = names.Add(cls.name, offset, 0x38);
    t.flags = cls.flags;
    t.major = cls.major;
    t.minor = cls.minor;
    t.doc = strings.Add(cls.help_string);
    t.impl_types = static_cast<uint16_t>(cls.implemented.size());
    t.size = static_cast<int32_t>(lib.pointer_size);
    t.datatype1 = cls.implemented.empty() ? -1 : static_cast<int32_t>(references.size());
    for (std::size_t r = 0; r < cls.implemented.size(); ++r) {
      const auto& impl = cls.implemented[r];
      if (impl.interface_index >= lib.interfaces.size()) {
        throw std::invalid_argument("class " + cls.name + " names a missing interface");
      }
      const bool last = r + 1 == cls.implemented.size();
      references.I32(static_cast<int32_t>(impl.interface_index * kTypeInfoSize));
      references.I32(impl.flags);
      references.I32(-1);
      references.I32(last ? -1 : static_cast<int32_t>(references.size() + 4));
    }
    infos.push_back(t);
  }

  // Placement: header, type-info offsets, directory, segments, member blocks.
  const uint32_t directory = kHeaderSize + 4 * type_count;
  uint32_t cursor = directory + kSegmentCount * kDirectoryEntrySize;
  struct Placed {
    int32_t offset = -1;
    uint32_t length = 0;
  };
  Placed placed[kSegmentCount];
  ByteBuffer body;
  const ByteBuffer guid_hash = guids.HashSegment();
  const ByteBuffer name_hash = names.HashSegment();
  const std::pair<Segment, const ByteBuffer*> order[] = {
      {kSegGuidHash, &guid_hash},          {kSegGuid, &guids.segment()},
      {kSegReferences, &references},       {kSegImpInfo, &impinfo},
      {kSegImpFiles, &impfiles},           {kSegNameHash, &name_hash},
      {kSegName, &names.segment()},        {kSegString, &strings.segment()},
      {kSegTypeDesc, &typedescs.segment()}};
  const uint32_t typeinfo_at = cursor;
  placed[kSegTypeInfo] = {static_cast<int32_t>(cursor), type_count * kTypeInfoSize};
  cursor += type_count * kTypeInfoSize;
  for (const auto& [segment, buffer] : order) {
    if (buffer->size() == 0) continue;
    placed[segment] = {static_cast<int32_t>(cursor), buffer->size()};
    cursor += buffer->size();
    body.Append(*buffer);
  }
  std::vector<int32_t> block_at;
  for (const ByteBuffer& block : blocks) {
    block_at.push_back(static_cast<int32_t>(cursor));
    cursor += block.size();
    body.Append(block);
  }
  const auto end_of_file = static_cast<int32_t>(cursor);

  ByteBuffer out;
  out.Text("MSFT");
  out.U32(0x00010002);
  out.I32(lib_guid);
  out.U32(lib.lcid);  // the locale the name hashes belong to
  out.U32(lib.lcid);
  out.U32(0x40u | static_cast<uint32_t>(lib.syskind));
  out.U32(static_cast<uint32_t>(lib.major) | static_cast<uint32_t>(lib.minor) << 16);
  out.U32(0);  // LIBFLAGS
  out.U32(type_count);
  out.I32(lib_doc);
  out.I32(0);  // help string context
  out.I32(0);  // help context
  out.I32(names.count());
  out.I32(names.chars());
  out.I32(lib_name);
  out.I32(-1);  // no help file
  out.I32(-1);  // no custom data
  out.U32(kGuidHashBuckets);
  out.U32(kNameHashBuckets);
  out.I32(-1);  // nothing derives from IDispatch
  out.U32(impinfo.size() / kImpInfoSize);
  for (uint32_t i = 0; i < type_count; ++i) out.U32(i * kTypeInfoSize);
  for (uint32_t s = 0; s < kSegmentCount; ++s) {
    out.I32(placed[s].offset);
    out.U32(placed[s].length);
    out.I32(-1);
    out.U32(kDirectoryReserved);
  }
  if (out.size() != typeinfo_at) throw std::logic_error("MSFT layout out of step");
  for (const TypeInfoFields& t : infos) {
    out.I32(t.typekind);
    out.I32(t.member_block >= 0 ? block_at[static_cast<std::size_t>(t.member_block)] : end_of_file);
    out.I32(t.res2);
    out.I32(t.c_funcs > 0 ? t.res3 : -1);
    out.I32(3);
    out.I32(0);
    out.I32(t.c_funcs);  // cVars (high word) is always zero here
    for (int r = 0; r < 4; ++r) out.I32(0);
    out.I32(t.posguid);
    out.U32(t.flags);
    out.I32(t.name);
    out.U32(static_cast<uint32_t>(t.major) | static_cast<uint32_t>(t.minor) << 16);
    out.I32(t.doc);
    out.I32(0);
    out.I32(0);
    out.I32(-1);  // no custom data
    out.U16(t.impl_types);
    out.U16(t.size_vft);
    out.I32(t.size);
    out.I32(t.datatype1);
    out.I32(t.datatype2);
    out.I32(0);
    out.I32(-1);
  }
  out.Append(body);
  return out.bytes();
}

}  // namespace lkrva::typelib
