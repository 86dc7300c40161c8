// The rows of a query's snapshot, kept compactly: one 16-byte cell per
// value in fixed-size chunks, texts in one shared pool. A survey row of a
// dozen numeric columns costs under 200 bytes and no allocation of its own,
// where a vector of variants per row cost over 450 bytes and a malloc.
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
  enum class Kind : std::uint8_t { kNull, kInteger, kReal, kText };
  struct Cell {
    Kind kind;
    std::uint32_t length;  // of a text
    union {
      std::int64_t integer;
      double real;
      std::uint64_t offset;  // of a text in text_
    };
  };
  static constexpr std::size_t kRowsPerChunk = 1024;

  Cell* RowCells(std::size_t index) const;
  void Store(Cell& cell, const Value& v);

  std::size_t width_ = 0;
  std::size_t rows_ = 0;
  std::vector<std::unique_ptr<Cell[]>> chunks_;
  // Texts end to end. A row written again appends its texts anew; what it
  // held before stays unused until Reset.
  std::string text_;
};

}  // namespace lkrva::data
