// The fill pass: interpolating and writing back missing readings.
//
// Cost: a complete record costs nothing beyond reading the main query; an
// incomplete one up to four statements (three lookups, one write-back), each
// standing on its first record only, so the pass grows with the number of
// incomplete records, not with the square of the table.
#include "runs/fill_pass.hpp"

#include <optional>

#include "data/statements.hpp"
#include "text/number_text.hpp"
#include "text/regional_settings.hpp"

namespace lkrva::runs {

namespace {

/// Runs `statement` on `query` with the filter applied.
void RunFiltered(RunContext& ctx, data::Query* query, const std::string& statement) {
  data::RunQuery(statement, query);
  data::ApplyFilter(query, ctx.params);
}

/// The neighbour the query stands on, if it stands on one.
std::optional<trajectory::Neighbour> NeighbourOf(RunContext& ctx, data::Query& q) {
  if (q.Eof()) return std::nullopt;
  return trajectory::Neighbour{q.FieldByName(ctx.params.JS).AsDouble(),
                               q.FieldByName(ctx.params.JXJ).AsDouble(),
                               q.FieldByName(ctx.params.FWJ).AsDouble()};
}

}  // namespace

trajectory::Reading InterpolateReading(RunContext& ctx, double d) {
  const params::ParameterSet& p = ctx.params;
  data::Query* lookup = ctx.data.LookupQuery.get();

  RunFiltered(ctx, lookup, data::RecordStatement(p, d));
  if (!lookup->Eof() && !lookup->FieldByName(p.JXJ).IsEmptyText() &&
      !lookup->FieldByName(p.FWJ).IsEmptyText()) {
    const trajectory::Reading same{lookup->FieldByName(p.JXJ).AsDouble(),
                                   lookup->FieldByName(p.FWJ).AsDouble()};
    lookup->Close();
    return same;
  }
  RunFiltered(ctx, lookup, data::UpperNeighbourStatement(p, d));
  const std::optional<trajectory::Neighbour> upper = NeighbourOf(ctx, *lookup);
  RunFiltered(ctx, lookup, data::LowerNeighbourStatement(p, d));
  const std::optional<trajectory::Neighbour> lower = NeighbourOf(ctx, *lookup);
  lookup->Close();
  return trajectory::InterpolateBetween(d, upper, lower);
}

std::vector<FilledReading> FillMissingReadings(RunContext& ctx, PeriodicCommit& commit) {
  const params::ParameterSet& p = ctx.params;
  const char separator = text::RegionalDecimalSeparator();
  data::Query& main = *ctx.data.MainQuery;
  data::Query* update = ctx.data.UpdateQuery.get();
  std::vector<FilledReading> filled;

  main.First();
  for (std::size_t record = 0; !main.Eof(); main.Next(), ++record) {
    if (!main.FieldByName(p.JXJ).IsEmptyText() && !main.FieldByName(p.FWJ).IsEmptyText()) {
      continue;
    }
    const double d = main.FieldByName(p.JS).AsDouble();
    const trajectory::Reading r = InterpolateReading(ctx, d);

    RunFiltered(ctx, update, data::RecordStatement(p, d));
    data::Query& target = update->Eof() ? main : *update;
    commit.Writing();
    target.Edit();
    target.FieldByName(p.JXJ).SetText(text::FormatNumber(r.JXJ, separator));
    target.FieldByName(p.FWJ).SetText(text::FormatNumber(r.FWJ, separator));
    target.Post();
    update->Close();
    commit.Due();
    filled.push_back(
        {record,
         {text::AsWrittenNumber(r.JXJ, separator), text::AsWrittenNumber(r.FWJ, separator)}});
  }
  return filled;
}

}  // namespace lkrva::runs
