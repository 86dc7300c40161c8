// The rows of a query's snapshot, kept compactly: per value one byte of
// kind and eight of payload, in chunks that grow with the result; texts in
// one shared pool. A survey row of a dozen numeric columns costs about a
// hundred bytes and no allocation of its own, where a vector of variants per
// row cost over 450 bytes and a malloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/value.hpp"

namespace lkrva::data {

class RowStore {
 public:
  /// Drops every row and sets the number of values per row.
  void Reset(std::size_t width);
  std::size_t Size() const { return rows_; }
  std::size_t Width() const { return width_; }

  /// Adds `row` (Width() values) at the end.
  void Append(const std::vector<Value>& row);
  /// Replaces row `index` with `row`.
  void Write(std::size_t index, const std::vector<Value>& row);
  /// Copies row `index` into `out`, reusing its storage.
  void Read(std::size_t index, std::vector<Value>& out) const;

 private:
  enum Kind : std::uint8_t { kNull, kInteger, kReal, kText };

  /// One chunk: `rows` rows of payloads, then their kinds.
  struct Chunk {
    struct Free {
      void operator()(void* p) const;
    };
    std::unique_ptr<void, Free> memory;
    std::uint64_t* payload = nullptr;
    std::uint8_t* kinds = nullptr;
  };

  /// Where row `index` lives: its chunk and its first value in it.
  struct Place {
    std::size_t chunk;
    std::size_t first;
  };
  static Place Locate(std::size_t index, std::size_t width);
  static std::size_t ChunkRows(std::size_t chunk);
  void AddChunk();
  void Store(std::uint64_t& payload, std::uint8_t& kind, const Value& v);

  std::size_t width_ = 0;
  std::size_t rows_ = 0;
  std::size_t capacity_ = 0;  // rows the chunks hold
  std::vector<Chunk> chunks_;
  // Texts end to end, each after its length (4 bytes). A row written again
  // appends its texts anew; what it held before stays unused until Reset.
  std::string text_;
};

}  // namespace lkrva::data
