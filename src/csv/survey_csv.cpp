// Reading survey CSV files.
#include "csv/survey_csv.hpp"

#include <algorithm>
#include <array>
#include <deque>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>

#include "csv/file_contents.hpp"
#include "text/number_text.hpp"

namespace lkrva::csv {

namespace {

enum Column { kDepth, kInclination, kAzimuth };
constexpr std::array<const char*, 3> kColumnNames = {"depth (JS)", "inclination (JXJ)",
                                                     "azimuth (FWJ)"};

/// Upper-cased header cell without a trailing unit in brackets or
/// parentheses and without surrounding blanks: "Inc[deg]" → "INC".
std::string NormaliseHeader(std::string_view cell) {
  std::string name;
  for (char c : cell) {
    if (c == '[' || c == '(') break;
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  const auto first = name.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  name.erase(0, first);
  name.erase(name.find_last_not_of(" \t") + 1);
  return name;
}

std::optional<Column> ColumnOf(std::string_view header) {
  const std::string name = NormaliseHeader(header);
  for (const char* alias : {"JS", "MD", "DEPTH", "MEASURED DEPTH"}) {
    if (name == alias) return kDepth;
  }
  for (const char* alias : {"JXJ", "INC", "INCL", "INCLINATION"}) {
    if (name == alias) return kInclination;
  }
  for (const char* alias : {"FWJ", "AZI", "AZIM", "AZIMUTH"}) {
    if (name == alias) return kAzimuth;
  }
  return std::nullopt;
}

/// Splits one CSV record into cells (RFC 4180 quoting). `pos` starts at the
/// record and ends past its line break; `line` counts the breaks inside
/// quoted cells too.
class RecordReader {
 public:
  RecordReader(std::string_view text, const std::string& name, std::size_t first_line = 1)
      : text_(text), name_(name), line_(first_line) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;  // a UTF-8 byte-order mark
  }

  /// Where the reader stands: the text not read yet starts here.
  std::size_t position() const { return pos_; }

  bool done() const { return pos_ >= text_.size(); }
  std::size_t line() const { return line_; }

  /// Reads the next record into `cells`; returns its first line.
  std::size_t Next(std::vector<std::string_view>& cells) {
    cells.clear();
    const std::size_t first_line = line_;
    while (true) {
      std::size_t start = pos_;
      if (pos_ < text_.size() && text_[pos_] == '"') {
        scratch_.emplace_back();
        std::string& cell = scratch_.back();
        ++pos_;
        while (true) {
          if (pos_ >= text_.size()) {
            throw SurveyFileError(name_ + ":" + std::to_string(first_line) +
                                  ": a quoted cell is not closed before the end of the file");
          }
          const char c = text_[pos_++];
          if (c == '"') {
            if (pos_ < text_.size() && text_[pos_] == '"') {
              cell += '"';
              ++pos_;
            } else {
              break;
            }
          } else {
            if (c == '\n') ++line_;
            cell += c;
          }
        }
        cells.emplace_back(cell);
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n') ++pos_;
      } else {
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n') ++pos_;
        std::size_t end = pos_;
        if (end > start && text_[end - 1] == '\r') --end;
        cells.emplace_back(text_.substr(start, end - start));
      }
      if (pos_ >= text_.size()) break;
      if (text_[pos_++] == '\n') {
        ++line_;
        break;
      }
    }
    return first_line;
  }

  /// Forgets the cells that needed unquoting; call between records.
  void Recycle() { scratch_.clear(); }

 private:
  std::string_view text_;
  const std::string& name_;
  std::size_t pos_ = 0;
  std::size_t line_;
  std::deque<std::string> scratch_;  // a deque keeps the views of earlier cells valid
};

bool IsBlank(const std::vector<std::string_view>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](std::string_view c) {
    return c.find_first_not_of(" \t\r") == std::string_view::npos;
  });
}

bool IsEmptyCell(std::string_view cell) {
  return cell.find_first_not_of(" \t") == std::string_view::npos;
}

/// The shortest data line worth planning for ("1,2,3\n" and the like); the
/// row vectors are reserved for this many bytes a row, so they never regrow.
constexpr std::size_t kMinRowBytes = 8;

/// Survey files from this size on are read on two threads.
constexpr std::size_t kParallelBytes = 4 << 20;

/// Reads the data lines in `text` (which starts at file line `first_line`)
/// into `out`, with the three columns at `index`.
void ParseRows(std::string_view text, const std::string& name, std::size_t first_line,
               const std::array<std::size_t, 3>& index, SurveyFile& out) {
  RecordReader reader(text, name, first_line);
  std::vector<std::string_view> cells;
  cells.reserve(16);
  // Reserving more than is used costs address space only: pages that are
  // never written are never mapped.
  out.rows.reserve(text.size() / kMinRowBytes);
  out.lines.reserve(text.size() / kMinRowBytes);
  const std::size_t needed = std::max({index[0], index[1], index[2]}) + 1;
  while (!reader.done()) {
    const std::size_t line = reader.Next(cells);
    if (IsBlank(cells)) {
      reader.Recycle();
      continue;
    }
    if (cells.size() < needed) {
      throw SurveyFileError(name + ":" + std::to_string(line) + ": the line has " +
                            std::to_string(cells.size()) + " cells; the " + kColumnNames[kDepth] +
                            ", inclination and azimuth need " + std::to_string(needed));
    }
    std::array<std::optional<double>, 3> values;
    for (int column : {kDepth, kInclination, kAzimuth}) {
      const std::size_t c = index[column];
      if (IsEmptyCell(cells[c])) {
        if (column == kDepth) {
          throw SurveyFileError(name + ":" + std::to_string(line) + ":" + std::to_string(c + 1) +
                                ": the depth is missing");
        }
        continue;
      }
      values[column] = text::ParseNumber(cells[c], '.');
      if (!values[column]) {
        throw SurveyFileError(name + ":" + std::to_string(line) + ":" + std::to_string(c + 1) +
                              ": \"" + std::string(cells[c]) + "\" is not a number (" +
                              kColumnNames[column] + ")");
      }
    }
    out.rows.push_back({*values[kDepth], values[kInclination], values[kAzimuth]});
    out.lines.push_back(line);
    reader.Recycle();
  }
}

}  // namespace

SurveyFile ParseSurveyCsv(std::string_view text, const std::string& name) {
  RecordReader reader(text, name);
  std::vector<std::string_view> cells;
  cells.reserve(16);

  // The header: the first record naming all three columns.
  std::array<std::size_t, 3> index{};
  bool have_header = false;
  while (!reader.done() && !have_header) {
    reader.Next(cells);
    std::array<std::optional<std::size_t>, 3> found;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (auto column = ColumnOf(cells[c]); column && !found[*column]) found[*column] = c;
    }
    if (found[kDepth] && found[kInclination] && found[kAzimuth]) {
      index = {*found[kDepth], *found[kInclination], *found[kAzimuth]};
      have_header = true;
    }
    reader.Recycle();
  }
  if (!have_header) {
    throw SurveyFileError(name +
                          ":1: no header line names the depth, inclination and azimuth "
                          "columns (JS, JXJ, FWJ or MD, INC, AZI)");
  }

  const std::string_view body = text.substr(reader.position());
  const std::size_t body_line = reader.line();
  SurveyFile survey;

  // Large files without quoted cells are read in two halves at once, split
  // at a line break; the halves' errors are reported in file order.
  if (body.size() < kParallelBytes || body.find('"') != std::string_view::npos) {
    ParseRows(body, name, body_line, index, survey);
    return survey;
  }
  std::size_t split = body.find('\n', body.size() / 2);
  split = split == std::string_view::npos ? body.size() : split + 1;
  const std::string_view first = body.substr(0, split), second = body.substr(split);
  const std::size_t second_line =
      body_line + static_cast<std::size_t>(std::count(first.begin(), first.end(), '\n'));
  SurveyFile tail;
  std::exception_ptr tail_error;
  std::thread helper([&] {
    try {
      ParseRows(second, name, second_line, index, tail);
    } catch (...) {
      tail_error = std::current_exception();
    }
  });
  // Room for the second half's rows too, so appending them moves nothing.
  survey.rows.reserve(body.size() / kMinRowBytes);
  survey.lines.reserve(body.size() / kMinRowBytes);
  try {
    ParseRows(first, name, body_line, index, survey);
  } catch (...) {
    helper.join();
    throw;
  }
  helper.join();
  if (tail_error) std::rethrow_exception(tail_error);
  survey.rows.insert(survey.rows.end(), tail.rows.begin(), tail.rows.end());
  survey.lines.insert(survey.lines.end(), tail.lines.begin(), tail.lines.end());
  return survey;
}

SurveyFile ReadSurveyCsv(const std::string& path) {
  std::optional<FileContents> file;
  try {
    file.emplace(path);
  } catch (const std::runtime_error& e) {
    throw SurveyFileError(e.what());
  }
  return ParseSurveyCsv(file->text(), path);
}

}  // namespace lkrva::csv
