// Compact snapshot rows.
#include "data/row_store.hpp"

#include <limits>

#include "data/error.hpp"

namespace lkrva::data {

void RowStore::Reset(std::size_t width) {
  width_ = width;
  rows_ = 0;
  chunks_.clear();
  chunks_.shrink_to_fit();
  text_.clear();
  text_.shrink_to_fit();
}

RowStore::Cell* RowStore::RowCells(std::size_t index) const {
  return chunks_[index / kRowsPerChunk].get() + (index % kRowsPerChunk) * width_;
}

void RowStore::Store(Cell& cell, const Value& v) {
  switch (v.index()) {
    case 0:
      cell.kind = Kind::kNull;
      break;
    case 1:
      cell.kind = Kind::kInteger;
      cell.integer = std::get<std::int64_t>(v);
      break;
    case 2:
      cell.kind = Kind::kReal;
      cell.real = std::get<double>(v);
      break;
    default: {
      const std::string& s = std::get<std::string>(v);
      if (s.size() > std::numeric_limits<std::uint32_t>::max())
        throw DataError("a text value of " + std::to_string(s.size()) +
                        " bytes is too long to keep in a result");
      cell.kind = Kind::kText;
      cell.length = static_cast<std::uint32_t>(s.size());
      cell.offset = text_.size();
      text_ += s;
    }
  }
}

void RowStore::Append(const std::vector<Value>& row) {
  if (rows_ % kRowsPerChunk == 0 && rows_ / kRowsPerChunk == chunks_.size())
    chunks_.push_back(std::make_unique_for_overwrite<Cell[]>(kRowsPerChunk * width_));
  ++rows_;
  Write(rows_ - 1, row);
}

void RowStore::Write(std::size_t index, const std::vector<Value>& row) {
  Cell* cells = RowCells(index);
  for (std::size_t c = 0; c < width_; ++c) Store(cells[c], row[c]);
}

void RowStore::Read(std::size_t index, std::vector<Value>& out) const {
  const Cell* cells = RowCells(index);
  out.resize(width_);
  for (std::size_t c = 0; c < width_; ++c) {
    const Cell& cell = cells[c];
    switch (cell.kind) {
      case Kind::kNull:
        out[c] = std::monostate{};
        break;
      case Kind::kInteger:
        out[c] = cell.integer;
        break;
      case Kind::kReal:
        out[c] = cell.real;
        break;
      case Kind::kText:
        if (auto* s = std::get_if<std::string>(&out[c]))
          s->assign(text_, cell.offset, cell.length);  // keeps the text's storage
        else
          out[c] = text_.substr(cell.offset, cell.length);
    }
  }
}

}  // namespace lkrva::data
