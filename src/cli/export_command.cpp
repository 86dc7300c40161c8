// `lkrva export`: a table's nine columns as CSV.
#include "cli/export_command.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "data/database.hpp"
#include "data/error.hpp"
#include "data/query.hpp"
#include "text/number_text.hpp"

namespace lkrva::cli {

std::vector<SurveyTableRow> ReadSurveyTable(const std::string& connection, const std::string& table,
                                            const std::string& filter, const SurveyColumns& c) {
  CheckTableNames(table, c);
  const std::string* names[] = {&c.JS, &c.JXJ,  &c.FWJ, &c.CZJS, &c.X,
                                &c.Y,  &c.BHFW, &c.BHJ, &c.JYQL};
  std::string sql = "SELECT ";
  for (const std::string* name : names) sql += *name + (name == names[8] ? "" : ", ");
  sql += " FROM " + table;
  if (!filter.empty()) sql += " WHERE (" + filter + ")";
  sql += " ORDER BY " + c.JS;

  std::vector<SurveyTableRow> rows;
  try {
    data::Database db(connection, '.');
    data::Query q(db);
    q.Open(sql);
    std::vector<data::Field> fields;
    for (const std::string* name : names) fields.push_back(q.FieldByName(*name));
    for (; !q.Eof(); q.Next()) {
      SurveyTableRow& row = rows.emplace_back();
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (!fields[i].IsNull()) row[i] = fields[i].AsDouble();
      }
    }
  } catch (const data::DataError& e) {
    throw std::runtime_error("cannot read table " + table + ": " + e.what());
  }
  return rows;
}

std::size_t RunExport(const ExportOptions& options, std::FILE* stdout_stream) {
  const std::vector<SurveyTableRow> rows =
      ReadSurveyTable(options.connection, options.table, options.filter, options.columns);

  std::string text = "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n";
  for (const SurveyTableRow& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += ',';
      if (row[i]) text::AppendNumber(text, *row[i], '.');
    }
    text += '\n';
  }

  const bool to_stdout = options.out.empty() || options.out == "-";
  const std::string where = to_stdout ? std::string("standard output") : options.out;
  std::FILE* out = to_stdout ? stdout_stream : std::fopen(options.out.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + where + ": " + std::strerror(errno));
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  int error = written ? 0 : errno;
  if (to_stdout) {
    if (std::fflush(out) != 0 && error == 0) error = errno;
  } else if (std::fclose(out) != 0 && error == 0) {
    error = errno;
  }
  if (!written || error != 0) {
    if (!to_stdout) std::remove(options.out.c_str());
    throw std::runtime_error("cannot write " + where + ": " +
                             std::strerror(error != 0 ? error : EIO));
  }
  return rows.size();
}

}  // namespace lkrva::cli
