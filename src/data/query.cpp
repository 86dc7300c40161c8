// Query results: lazy snapshot rows, navigation, filters and write-back.
#include "data/query.hpp"

#include <cmath>

#include "data/connection_string.hpp"
#include "data/database.hpp"
#include "data/error.hpp"
#include "data/record_locator.hpp"
#include "text/number_text.hpp"

namespace lkrva::data {

Query::Query(Database& db) : db_(&db) { db_->Attach(this); }

Query::~Query() {
  if (db_) db_->Detach(this);
}

void Query::Orphan() {
  Close();
  db_ = nullptr;
}

void Query::Open(const std::string& sql) {
  Close();
  if (!db_) throw DataError("query \"" + sql + "\": the connection is closed");
  sql_ = sql;
  plan_.reset();
  db_->SendDeferred();  // the statement sees every post before it
  cursor_ = db_->Driver().Open(sql);
  columns_ = cursor_->Columns();
  rows_.Reset(columns_.size());  // Close above left everything else empty
  active_ = true;
  First();
}

void Query::Close() {
  editing_ = false;
  defer_posts_ = false;
  active_ = false;
  cursor_.reset();
  rows_.Reset(0);
  row_index_ = kNoRow;
  row_.clear();
  field_names_.clear();
  columns_.clear();
  filter_.reset();
  eof_ = true;
  pos_ = 0;
}

void Query::RequireActive(std::string_view doing) const {
  if (!active_)
    throw DataError("query" + (sql_.empty() ? std::string() : " \"" + sql_ + "\"") + ": cannot " +
                    std::string(doing) + ": the query is not open");
}

bool Query::FetchOne() {
  if (!cursor_) return false;
  if (!cursor_->Fetch(fetched_)) {
    cursor_.reset();
    return false;
  }
  rows_.Append(fetched_);
  return true;
}

void Query::FetchAll() {
  while (FetchOne()) {
  }
}

const std::vector<Value>& Query::Row(std::size_t index) const {
  if (index != row_index_) {
    row_index_ = kNoRow;  // stays unset if reading raises
    rows_.Read(index, row_);
    row_index_ = index;
  }
  return row_;
}

bool Query::Visible(std::size_t index) const {
  return !filter_ || filter_->Matches(Row(index), db_ ? db_->Separator() : '.');
}

void Query::SeekVisibleFrom(std::size_t index) {
  for (;; ++index) {
    if (index >= rows_.Size() && !FetchOne()) {
      eof_ = true;
      pos_ = rows_.Size();
      return;
    }
    if (Visible(index)) {
      eof_ = false;
      pos_ = index;
      return;
    }
  }
}

void Query::AutoPost() {
  if (editing_) Post();
}

void Query::First() {
  RequireActive("move to the first record");
  AutoPost();
  SeekVisibleFrom(0);
}

void Query::Next() {
  RequireActive("move to the next record");
  AutoPost();
  if (!eof_) SeekVisibleFrom(pos_ + 1);
}

bool Query::Eof() const { return !active_ || eof_; }

std::int64_t Query::RecordCount() {
  RequireActive("count the records");
  FetchAll();
  if (!filter_) return static_cast<std::int64_t>(rows_.Size());
  std::int64_t n = 0;
  for (std::size_t i = 0; i < rows_.Size(); ++i) n += Visible(i) ? 1 : 0;
  return n;
}

void Query::SetFilter(std::string_view text) {
  RequireActive("filter");
  AutoPost();
  if (text.empty()) {
    filter_.reset();
  } else {
    Filter f = Filter::Parse(text);
    f.Bind([this](std::string_view name) { return ColumnIndex(name); });
    filter_ = std::move(f);
  }
  SeekVisibleFrom(0);
}

std::optional<std::size_t> Query::ColumnIndex(std::string_view name) const {
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (!columns_[i].row_id && EqualsIgnoreCase(columns_[i].name, name)) return i;
  return std::nullopt;
}

std::size_t Query::FieldIndex(std::string_view name) {
  // Runs ask for the same names in the same order record after record, so
  // the name after the last one found is tried first.
  const std::size_t n = field_names_.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t at = (next_name_ + k) % n;
    if (field_names_[at].first == name) {
      next_name_ = at + 1;
      return field_names_[at].second;
    }
  }
  const auto index = ColumnIndex(name);
  if (!index)
    throw DataError("query \"" + sql_ + "\": the result has no column " + std::string(name));
  field_names_.emplace_back(std::string(name), *index);
  next_name_ = field_names_.size();
  return *index;
}

Field Query::FieldByName(std::string_view name) {
  RequireActive("read a field");
  return Field(*this, FieldIndex(name));
}

const std::vector<Value>& Query::CurrentRow() const {
  RequireActive("read a field");
  if (eof_) throw DataError("query \"" + sql_ + "\": there is no current record");
  return editing_ ? edit_ : Row(pos_);
}

void Query::Edit() {
  RequireActive("edit");
  if (eof_) throw DataError("query \"" + sql_ + "\": there is no current record to edit");
  if (editing_) return;
  edit_ = Row(pos_);
  changed_.assign(columns_.size(), false);
  editing_ = true;
}

void Query::Cancel() { editing_ = false; }

void Query::SendDeferredPosts() {
  if (db_) db_->SendDeferred();
}

void Query::Post() {
  if (!editing_) return;
  if (!db_) throw DataError("query \"" + sql_ + "\": the connection is closed");
  const std::vector<Value>& original = Row(pos_);
  // Records of one shape (the same changed columns, the same NULLs) share
  // their statements; only the parameters differ, so the text is built once.
  shape_.clear();
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    shape_ += !changed_[i] ? '-' : IsNull(edit_[i]) ? 'N' : 'V';
    shape_ += IsNull(original[i]) ? 'n' : 'v';
  }
  if (!plan_ || shape_ != plan_shape_) {
    plan_ = std::make_shared<const RecordUpdate>(
        BuildRecordUpdate(db_->Driver(), columns_, original, edit_, changed_));
    plan_shape_ = shape_;
  }
  const RecordUpdate& u = *plan_;
  if (!u.update_sql.empty()) {
    where_params_.clear();
    for (std::size_t i : u.where_columns) where_params_.push_back(original[i]);
    if (!u.located_by_key) {
      const std::int64_t matches = db_->CountForWrite(u.count_sql, where_params_);
      if (matches != 1)
        throw DataError(CannotLocate(u.table) + " (" + std::to_string(matches) +
                        " rows have its values)");
    }
    update_params_.clear();
    for (std::size_t i : u.set_columns) update_params_.push_back(edit_[i]);
    update_params_.insert(update_params_.end(), where_params_.begin(), where_params_.end());
    if (defer_posts_ && db_->CanDefer(u, update_params_)) {
      db_->Defer(plan_, update_params_, sql_);
    } else {
      const std::int64_t changed = db_->Write(u.update_sql, update_params_);
      if (changed != 1)
        throw DataError(CannotLocate(u.table) + " (" + std::to_string(changed) +
                        " rows have its key)");
    }
  }
  rows_.Write(pos_, edit_);
  std::swap(row_, edit_);  // the record as written is the one to read now
  row_index_ = pos_;
  editing_ = false;
}

std::string Query::CannotLocate(const std::string& table) const {
  return CannotLocateRecord(sql_, table);
}

std::string Field::AsText() const {
  return ValueToText(q_->CurrentRow()[index_], q_->db_ ? q_->db_->Separator() : '.');
}

double Field::AsDouble() const {
  return ValueToDouble(q_->CurrentRow()[index_], q_->db_ ? q_->db_->Separator() : '.', Name());
}

bool Field::IsNull() const { return data::IsNull(q_->CurrentRow()[index_]); }

bool Field::IsEmptyText() const {
  // Numbers always have a text; only NULL and the empty text have none.
  const Value& v = q_->CurrentRow()[index_];
  const auto* s = std::get_if<std::string>(&v);
  return data::IsNull(v) || (s != nullptr && s->empty());
}

const std::string& Field::Name() const { return q_->columns_[index_].name; }

void Field::SetText(std::string_view text) {
  const ColumnKind kind = q_->columns_[index_].kind;
  const bool numeric = kind == ColumnKind::kInteger || kind == ColumnKind::kReal;
  Assign(text, numeric && q_->editing_ && !text.empty()
                   ? text::ParseNumber(text, q_->db_->Separator())
                   : std::nullopt);
}

void Field::SetNumberText(std::string_view text, std::optional<double> number) {
  Assign(text, number);
}

void Field::Assign(std::string_view text, std::optional<double> number) {
  if (!q_->editing_) throw DataError("column " + Name() + ": the record is not being edited");
  const ColumnKind kind = q_->columns_[index_].kind;
  Value v;
  if (kind == ColumnKind::kInteger || kind == ColumnKind::kReal) {
    if (!text.empty()) {
      if (!number)
        throw DataError("column " + Name() + ": the text \"" + std::string(text) +
                        "\" is not a number");
      if (kind == ColumnKind::kInteger) {
        if (*number != std::trunc(*number) || std::fabs(*number) >= 9.2e18)
          throw DataError("column " + Name() + ": the text \"" + std::string(text) +
                          "\" is not a whole number");
        v = static_cast<std::int64_t>(*number);
      } else {
        v = *number;
      }
    }
  } else {
    v = std::string(text);
  }
  q_->edit_[index_] = std::move(v);
  q_->changed_[index_] = true;
}

void Field::SetDouble(double value) {
  if (!q_->editing_) throw DataError("column " + Name() + ": the record is not being edited");
  q_->edit_[index_] = value;
  q_->changed_[index_] = true;
}

}  // namespace lkrva::data
