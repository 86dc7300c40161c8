// A query over one database: runs a statement, stands on a record, moves,
// filters, and writes edited records back. Its result is a snapshot whose
// rows are fetched only as they are needed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/driver.hpp"
#include "data/filter.hpp"
#include "data/record_locator.hpp"
#include "data/row_store.hpp"

namespace lkrva::data {

class Database;
class Query;

/// One column of the query's current record.
class Field {
 public:
  Field(Query& q, std::size_t index) : q_(&q), index_(index) {}
  /// NULL reads as the empty text; a number in the number-to-text form.
  std::string AsText() const;
  /// NULL reads as 0; text by the number rules, raising when it is none.
  double AsDouble() const;
  bool IsNull() const;
  /// AsText().empty(), without building the text: NULL or an empty text.
  bool IsEmptyText() const;
  /// Assigns text (edit mode only). A numeric column takes the number the
  /// text denotes by the number rules (empty text: NULL) and raises for text
  /// that is no number, or no whole number for an integer column.
  void SetText(std::string_view text);
  /// SetText for a text whose number is known already: `number` must be
  /// what the number rules read in `text` (nothing when it is no number).
  /// Runs write the numbers they format, and need not read them back.
  void SetNumberText(std::string_view text, std::optional<double> number);
  /// Assigns a double (edit mode only).
  void SetDouble(double value);
  const std::string& Name() const;

 private:
  void Assign(std::string_view text, std::optional<double> number);

  Query* q_;
  std::size_t index_;
};

class Query {
 public:
  explicit Query(Database& db);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  /// Closes any earlier result, runs `sql` and stands on its first record.
  /// Reads only as many rows as that takes. Clears the filter.
  void Open(const std::string& sql);
  /// Ends the result; an edit in progress is dropped. Nothing when closed.
  void Close();
  bool Active() const { return active_; }
  const std::string& Sql() const { return sql_; }

  /// Shows only the records that satisfy `filter` and stands on the first
  /// of them; an empty text shows all again. Raises (and keeps the earlier
  /// filter) when the text is no filter or names a missing column.
  void SetFilter(std::string_view filter);
  bool Filtered() const { return filter_.has_value(); }

  void First();
  void Next();
  /// Set on an empty result and after moving past the last visible record.
  bool Eof() const;
  /// The exact number of visible records (reads the rest of the result).
  std::int64_t RecordCount();

  /// The column `name` (ASCII case-blind); raises when the result lacks it.
  Field FieldByName(std::string_view name);

  /// Starts editing the current record.
  void Edit();
  /// Writes the changed columns of the edited record to its base table at
  /// once. Raises "the record cannot be located for updating" when not
  /// exactly one row of the table is that record; then nothing changes and
  /// the edit stays open. Nothing happens when not editing.
  void Post();
  /// Drops the edit.
  void Cancel();

  /// Lets posts wait to be sent in batches with others of their shape where
  /// the database allows it (see Database::Defer). A record that cannot be
  /// written then raises later: at the post that fills the batch, at
  /// SendDeferredPosts, or at the next statement or commit.
  void DeferPosts(bool defer) { defer_posts_ = defer; }
  /// Sends the posts held back; raises for the first that cannot be written.
  void SendDeferredPosts();
  bool Editing() const { return editing_; }

  /// Reads every row not fetched yet; the snapshot no longer needs the
  /// database afterwards.
  void FetchAll();

 private:
  friend class Field;
  friend class Database;

  void Orphan();
  void RequireActive(std::string_view doing) const;
  const std::vector<Value>& CurrentRow() const;
  const std::vector<Value>& Row(std::size_t index) const;
  bool FetchOne();
  bool Visible(std::size_t index) const;
  void SeekVisibleFrom(std::size_t index);
  void AutoPost();
  std::optional<std::size_t> ColumnIndex(std::string_view name) const;
  std::size_t FieldIndex(std::string_view name);
  std::string CannotLocate(const std::string& table) const;

  Database* db_;
  std::string sql_;
  bool active_ = false;
  std::unique_ptr<Cursor> cursor_;
  std::vector<ColumnInfo> columns_;
  RowStore rows_;
  // The last row read out of rows_ (the current record, mostly), so that
  // reading its fields one by one unpacks it once.
  mutable std::vector<Value> row_;
  mutable std::size_t row_index_ = kNoRow;
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);
  std::vector<Value> fetched_;  // the driver's row, before it is stored
  std::optional<Filter> filter_;
  std::size_t pos_ = 0;
  bool eof_ = true;
  bool editing_ = false;
  std::vector<Value> edit_;
  std::vector<bool> changed_;
  // The last write-back's statements, reused for records of the same shape.
  std::string plan_shape_;
  std::shared_ptr<const RecordUpdate> plan_;
  bool defer_posts_ = false;
  // Scratch space for the shape of the record being posted and the
  // parameters of its statements.
  std::string shape_;
  std::vector<Value> where_params_;
  std::vector<Value> update_params_;
  // Names asked for by FieldByName, as given, with their columns: runs ask
  // for the same few names on every record.
  std::vector<std::pair<std::string, std::size_t>> field_names_;
  std::size_t next_name_ = 0;
};

}  // namespace lkrva::data
