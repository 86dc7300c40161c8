// Building the run's statements piece by piece, spacing included: hosts'
// databases have seen exactly these texts for years.
#include "data/statements.hpp"

#include "text/number_text.hpp"

namespace lkrva::data {

std::string MainStatement(const params::ParameterSet& p) {
  if (p.FilterStr.empty()) return "select * from " + p.Tablename + " order by " + p.JS;
  return "select * from " + p.Tablename + " where " + p.FilterStr + " order by " + p.JS;
}

std::string RecordStatement(const params::ParameterSet& p, double depth, char separator) {
  return "select * from " + p.Tablename + " where  " + p.JS + "=" +
         text::FormatNumber(depth, separator) + " order by " + p.JS;
}

namespace {

std::string NeighbourHead(const params::ParameterSet& p) {
  return "select * from " + p.Tablename + " where  " + " (" + p.FWJ + " is not null) and (" +
         p.JXJ + " is not null)" + " and " + p.JS;
}

}  // namespace

std::string UpperNeighbourStatement(const params::ParameterSet& p, double depth, char separator) {
  return NeighbourHead(p) + "<" + text::FormatNumber(depth, separator) + " order by " + p.JS +
         " desc";
}

std::string LowerNeighbourStatement(const params::ParameterSet& p, double depth, char separator) {
  return NeighbourHead(p) + ">" + text::FormatNumber(depth, separator) + " order by " + p.JS;
}

}  // namespace lkrva::data
