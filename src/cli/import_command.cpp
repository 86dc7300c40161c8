// `lkrva import`: CSV rows into a table in one transaction.
#include "cli/import_command.hpp"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "csv/survey_csv.hpp"
#include "data/database.hpp"
#include "data/error.hpp"
#include "data/value.hpp"

namespace lkrva::cli {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Lowercase(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

data::Value Nullable(const std::optional<double>& v) { return v ? data::Value(*v) : data::Value(); }

}  // namespace

SurveyColumns ParseSurveyColumns(const std::string& spec) {
  SurveyColumns c;
  const std::pair<const char*, std::string*> slots[] = {
      {"JS", &c.JS},     {"JXJ", &c.JXJ}, {"FWJ", &c.FWJ}, {"CZJS", &c.CZJS}, {"BHJ", &c.BHJ},
      {"BHFW", &c.BHFW}, {"X", &c.X},     {"Y", &c.Y},     {"JYQL", &c.JYQL}};
  std::size_t start = 0;
  while (start < spec.size()) {
    std::size_t end = spec.find(',', start);
    if (end == std::string::npos) end = spec.size();
    const std::string pair = spec.substr(start, end - start);
    const std::size_t eq = pair.find('=');
    bool known = false;
    for (const auto& [name, slot] : slots) {
      if (eq != std::string::npos && pair.substr(0, eq) == name) {
        *slot = pair.substr(eq + 1);
        known = true;
      }
    }
    if (!known) {
      throw std::invalid_argument("--columns: \"" + pair +
                                  "\" is not NAME=column with NAME one of "
                                  "JS,JXJ,FWJ,CZJS,BHJ,BHFW,X,Y,JYQL");
    }
    start = end + 1;
  }
  return c;
}

void CheckIdentifier(std::string_view name, std::string_view what) {
  bool ok = !name.empty() && IsLetter(name[0]);
  for (char c : name) ok = ok && (IsLetter(c) || IsDigit(c));
  if (!ok) {
    throw std::invalid_argument(
        std::string(what) + " name \"" + std::string(name) +
        "\" is not allowed: use letters, digits and _ only, starting with a letter or _");
  }
}

void CheckTableNames(std::string_view table, const SurveyColumns& c) {
  CheckIdentifier(table, "table");
  const std::pair<const char*, const std::string*> named[] = {
      {"JS", &c.JS}, {"JXJ", &c.JXJ},   {"FWJ", &c.FWJ}, {"CZJS", &c.CZJS}, {"X", &c.X},
      {"Y", &c.Y},   {"BHFW", &c.BHFW}, {"BHJ", &c.BHJ}, {"JYQL", &c.JYQL}};
  for (std::size_t i = 0; i < std::size(named); ++i) {
    CheckIdentifier(*named[i].second, std::string("column ") + named[i].first);
    for (std::size_t j = 0; j < i; ++j) {
      if (Lowercase(*named[i].second) == Lowercase(*named[j].second)) {
        throw std::invalid_argument(std::string("columns ") + named[j].first + " and " +
                                    named[i].first + " have the same name \"" + *named[i].second +
                                    "\"");
      }
    }
  }
}

ImportResult RunImport(const ImportOptions& options) {
  const SurveyColumns& c = options.columns;
  CheckTableNames(options.table, c);
  if (options.create) {
    for (const std::string* name :
         {&c.JS, &c.JXJ, &c.FWJ, &c.CZJS, &c.X, &c.Y, &c.BHFW, &c.BHJ, &c.JYQL}) {
      if (Lowercase(*name) == "id") {
        throw std::invalid_argument("column name \"" + *name +
                                    "\" is taken by the primary key of a created table");
      }
    }
  }

  csv::SurveyFile survey = csv::ReadSurveyCsv(options.path);
  if (survey.rows.empty()) {
    throw csv::SurveyFileError(options.path + ": no survey rows below the header");
  }

  const std::string& t = options.table;
  ImportResult result;
  try {
    data::Database db(options.connection, '.');
    db.Begin();
    try {
      if (options.create) {
        // Double precision: 8-byte on PostgreSQL, REAL affinity on SQLite.
        std::string sql = "CREATE TABLE " + t + " (ID INTEGER PRIMARY KEY";
        for (const std::string* name :
             {&c.JS, &c.JXJ, &c.FWJ, &c.CZJS, &c.X, &c.Y, &c.BHFW, &c.BHJ, &c.JYQL}) {
          sql += ", " + *name + " DOUBLE PRECISION";
        }
        sql += ")";
        db.Write(sql, {});
        db.Write("CREATE INDEX " + t + "_" + c.JS + "_idx ON " + t + " (" + c.JS + ")", {});
      }
      // The key is given, not generated, so that the same statement works
      // wherever INTEGER PRIMARY KEY does not number rows by itself.
      const std::string insert = options.create ? "INSERT INTO " + t + " (ID, " + c.JS + ", " +
                                                      c.JXJ + ", " + c.FWJ + ") VALUES (?, ?, ?, ?)"
                                                : "INSERT INTO " + t + " (" + c.JS + ", " + c.JXJ +
                                                      ", " + c.FWJ + ") VALUES (?, ?, ?)";
      std::vector<data::Value> params;
      for (const trajectory::PartialRecord& row : survey.rows) {
        params.clear();
        if (options.create) params.emplace_back(static_cast<std::int64_t>(result.rows + 1));
        params.emplace_back(row.JS);
        params.push_back(Nullable(row.JXJ));
        params.push_back(Nullable(row.FWJ));
        db.Write(insert, params);
        ++result.rows;
        if (!row.complete()) ++result.missing_readings;
      }
      db.Commit();
    } catch (...) {
      try {
        db.Rollback();
      } catch (const data::DataError&) {
        // The first failure is the one to report.
      }
      throw;
    }
  } catch (const data::DataError& e) {
    throw std::runtime_error("cannot import " + options.path + " into table " + t + ": " +
                             e.what());
  }
  return result;
}

}  // namespace lkrva::cli
