// Compact snapshot rows.
#include "data/row_store.hpp"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "data/error.hpp"

namespace lkrva::data {
namespace {

// Chunks double from kFirstRows rows up to kMostRows, so a lookup that
// stands on one record costs a small chunk and a whole survey few large ones.
constexpr std::size_t kFirstRows = 64;
constexpr std::size_t kDoublings = 10;
constexpr std::size_t kMostRows = kFirstRows << kDoublings;
constexpr std::size_t kRowsInDoublingChunks = kFirstRows * ((std::size_t{2} << kDoublings) - 1);

// Large chunks are filled once, front to back: on Linux they ask for huge
// pages, which takes the kernel one fault per 2 MB instead of one per 4 kB.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void RowStore::Chunk::Free::operator()(void* p) const { std::free(p); }

std::size_t RowStore::ChunkRows(std::size_t chunk) {
  return chunk <= kDoublings ? kFirstRows << chunk : kMostRows;
}

RowStore::Place RowStore::Locate(std::size_t index, std::size_t width) {
  if (index < kRowsInDoublingChunks) {
    const std::size_t chunk = std::bit_width(index / kFirstRows + 1) - 1;
    const std::size_t before = kFirstRows * ((std::size_t{1} << chunk) - 1);
    return {chunk, (index - before) * width};
  }
  const std::size_t beyond = index - kRowsInDoublingChunks;
  return {kDoublings + 1 + beyond / kMostRows, (beyond % kMostRows) * width};
}

void RowStore::Reset(std::size_t width) {
  width_ = width;
  rows_ = 0;
  capacity_ = 0;
  chunks_.clear();
  chunks_.shrink_to_fit();
  text_.clear();
  text_.shrink_to_fit();
}

void RowStore::AddChunk() {
  const std::size_t rows = ChunkRows(chunks_.size());
  const std::size_t values = rows * width_;
  const std::size_t bytes = values * (sizeof(std::uint64_t) + 1);
  void* memory = nullptr;
#if defined(__linux__)
  if (bytes >= kHugePage) {
    if (posix_memalign(&memory, kHugePage, bytes) == 0) madvise(memory, bytes, MADV_HUGEPAGE);
  } else {
    memory = std::malloc(bytes);
  }
#else
  memory = std::malloc(bytes);
#endif
  if (memory == nullptr && bytes > 0) throw std::bad_alloc();
  Chunk c;
  c.memory.reset(memory);
  c.payload = static_cast<std::uint64_t*>(memory);
  c.kinds = reinterpret_cast<std::uint8_t*>(c.payload + values);
  chunks_.push_back(std::move(c));
  capacity_ += rows;
}

void RowStore::Store(std::uint64_t& payload, std::uint8_t& kind, const Value& v) {
  switch (v.index()) {
    case 0:
      kind = kNull;
      break;
    case 1:
      kind = kInteger;
      payload = static_cast<std::uint64_t>(std::get<std::int64_t>(v));
      break;
    case 2:
      kind = kReal;
      payload = std::bit_cast<std::uint64_t>(std::get<double>(v));
      break;
    default: {
      const std::string& s = std::get<std::string>(v);
      if (s.size() > std::numeric_limits<std::uint32_t>::max())
        throw DataError("a text value of " + std::to_string(s.size()) +
                        " bytes is too long to keep in a result");
      const auto length = static_cast<std::uint32_t>(s.size());
      kind = kText;
      payload = text_.size();
      text_.append(reinterpret_cast<const char*>(&length), sizeof length);
      text_ += s;
    }
  }
}

void RowStore::Append(const std::vector<Value>& row) {
  if (rows_ == capacity_) AddChunk();
  ++rows_;
  Write(rows_ - 1, row);
}

void RowStore::Write(std::size_t index, const std::vector<Value>& row) {
  const Place at = Locate(index, width_);
  const Chunk& c = chunks_[at.chunk];
  for (std::size_t i = 0; i < width_; ++i)
    Store(c.payload[at.first + i], c.kinds[at.first + i], row[i]);
}

void RowStore::Read(std::size_t index, std::vector<Value>& out) const {
  const Place at = Locate(index, width_);
  const Chunk& c = chunks_[at.chunk];
  out.resize(width_);
  for (std::size_t i = 0; i < width_; ++i) {
    const std::uint64_t payload = c.payload[at.first + i];
    switch (c.kinds[at.first + i]) {
      case kNull:
        out[i] = std::monostate{};
        break;
      case kInteger:
        out[i] = static_cast<std::int64_t>(payload);
        break;
      case kReal:
        out[i] = std::bit_cast<double>(payload);
        break;
      default: {
        std::uint32_t length = 0;
        std::memcpy(&length, text_.data() + payload, sizeof length);
        const char* text = text_.data() + payload + sizeof length;
        if (auto* s = std::get_if<std::string>(&out[i]))
          s->assign(text, length);  // keeps the text's storage
        else
          out[i] = std::string(text, length);
      }
    }
  }
}

}  // namespace lkrva::data
