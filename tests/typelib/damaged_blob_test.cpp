// Damaged type libraries: rejected with TypeLibError, never read past (ASan watches).
#include <gtest/gtest.h>

#include <cstring>

#include "typelib/lkrva_library.hpp"
#include "typelib/msft_constants.hpp"
#include "typelib/msft_writer.hpp"
#include "typelib/type_library.hpp"

namespace lkrva::typelib {
namespace {

std::vector<uint8_t> Good() { return WriteMsft(LkrvaLibrary(kSysWin32, 4)); }

void Put32(std::vector<uint8_t>& blob, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    blob[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& blob, std::size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, blob.data() + at, 4);
  return v;
}

// Loads from an exactly-sized heap copy, so a read past the end is an ASan
// error rather than a silent read of neighbouring bytes.
void ExpectRejected(const std::vector<uint8_t>& blob, const std::string& what,
                    const char* message = "damaged type library") {
  const auto copy = std::make_unique<uint8_t[]>(blob.size() + (blob.empty() ? 1 : 0));
  if (!blob.empty()) std::memcpy(copy.get(), blob.data(), blob.size());
  try {
    TypeLibrary::Load(copy.get(), blob.size());
    ADD_FAILURE() << what << ": accepted";
  } catch (const TypeLibError& e) {
    EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << what << ": " << e.what();
  }
}

TEST(typelib_damaged, every_truncation_is_rejected) {
  const auto blob = Good();
  for (std::size_t size = 0; size < blob.size(); ++size) {
    ExpectRejected(std::vector<uint8_t>(blob.begin(), blob.begin() + static_cast<long>(size)),
                   "truncated to " + std::to_string(size));
  }
}

struct Corruption {
  const char* what;
  std::size_t at;  // file offset of the INT to overwrite
  uint32_t value;
  const char* message;
};

TEST(typelib_damaged, corrupted_fields_are_rejected_naming_the_field) {
  const auto blob = Good();
  const std::size_t directory = kHeaderSize + 8;
  const std::size_t typeinfo = Get32(blob, directory);  // TYPEINFO segment offset
  const std::size_t member_block = Get32(blob, typeinfo + 4);
  const Corruption cases[] = {
      {"magic", 0, 0x5446534E, "no MSFT signature"},
      {"type count", 0x20, 0x7FFF, "lies outside"},
      {"negative type count", 0x20, 0xFFFFFFFF, "type info count"},
      {"library GUID offset", 0x08, 0x1000, "library GUID"},
      {"unaligned GUID offset", 0x08, 5, "GUID offset"},
      {"library name", 0x38, 0x7FFFFFF0, "library name"},
      {"library help string", 0x24, 0x400000, "library help string"},
      {"directory marker", directory + 12, 0, "marker"},
      {"segment length", directory + 5 * 16 + 4, 0x100000, "segment"},
      {"segment offset", directory + 7 * 16, 0xFFFFFF00, "segment"},
      {"member block", typeinfo + 4, 0x7FFFFFF0, "member block"},
      {"member block length", member_block, 0x10000, "member block"},
      {"first record offset", member_block + 4 + Get32(blob, member_block) + 8 * 3, 8,
       "out of sequence"},
      {"function record length", member_block + 4, 0x0000FFFF, "function record"},
      {"base interface href", typeinfo + 0x54, 0x1001, "imported type"},
      {"implemented interface href", typeinfo + kTypeInfoSize + 0x54, 0x40, "implemented"},
      {"coclass impl count", typeinfo + kTypeInfoSize + 0x4C, 0x0000FFFF, "implemented"},
  };
  for (const Corruption& c : cases) {
    auto bad = blob;
    ASSERT_LE(c.at + 4, bad.size()) << c.what;
    Put32(bad, c.at, c.value);
    ExpectRejected(bad, c.what, c.message);
  }
}

TEST(typelib_damaged, flipping_any_single_byte_never_crashes) {
  // Not every flipped byte is an error (a help string may just change), but
  // none may crash or read out of bounds; sanitizers check the second part.
  const auto blob = Good();
  for (std::size_t at = 0; at < blob.size(); ++at) {
    auto bad = blob;
    bad[at] ^= 0xA5;
    const auto copy = std::make_unique<uint8_t[]>(bad.size());
    std::memcpy(copy.get(), bad.data(), bad.size());
    try {
      TypeLibrary::Load(copy.get(), bad.size());
    } catch (const TypeLibError&) {
    }
  }
}

}  // namespace
}  // namespace lkrva::typelib
