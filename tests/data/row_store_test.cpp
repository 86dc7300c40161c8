// Snapshot rows come back as they were stored, across the chunks they grow
// into, and after being written again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/row_store.hpp"

namespace lkrva::data {
namespace {

// Row i: an integer, a double (NULL every fifth row), a text (long, short,
// empty or NULL by turns).
std::vector<Value> RowOf(std::size_t i) {
  const auto n = static_cast<std::int64_t>(i);
  Value real = i % 5 == 0 ? Value{} : Value{static_cast<double>(n) + 0.25};
  Value text;
  switch (i % 4) {
    case 0:
      text = std::string(40 + i % 13, static_cast<char>('a' + i % 26));
      break;
    case 1:
      text = std::to_string(i);
      break;
    case 2:
      text = std::string();
      break;
    default:
      break;
  }
  return {Value{-n}, real, text};
}

TEST(row_store, rows_read_back_across_chunk_boundaries_and_rewrites) {
  RowStore store;
  store.Reset(3);
  constexpr std::size_t kRows = 200000;  // past the chunks that double, into the fixed ones
  for (std::size_t i = 0; i < kRows; ++i) store.Append(RowOf(i));
  ASSERT_EQ(store.Size(), kRows);
  std::vector<Value> row;
  for (std::size_t i :
       {0, 1, 63, 64, 65, 191, 192, 131007, 131008, 131009, 196543, 196544, 199999}) {
    store.Read(i, row);
    EXPECT_EQ(row, RowOf(i)) << i;
  }
  for (std::size_t i = 0; i < kRows; i += 997) {
    store.Read(i, row);
    ASSERT_EQ(row, RowOf(i)) << i;
  }
  // Written again with other kinds; its neighbours keep theirs.
  store.Write(131008, {Value{std::string("new")}, Value{}, Value{std::int64_t{7}}});
  store.Read(131008, row);
  EXPECT_EQ(row, (std::vector<Value>{Value{std::string("new")}, Value{}, Value{std::int64_t{7}}}));
  store.Read(131007, row);
  EXPECT_EQ(row, RowOf(131007));
  store.Read(131009, row);
  EXPECT_EQ(row, RowOf(131009));

  store.Reset(0);  // rows of no columns still count
  store.Append({});
  EXPECT_EQ(store.Size(), 1u);
}

}  // namespace
}  // namespace lkrva::data
