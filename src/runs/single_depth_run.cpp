// The single-depth run.
#include "runs/single_depth_run.hpp"

#include "data/statements.hpp"
#include "runs/fill_pass.hpp"
#include "runs/periodic_commit.hpp"
#include "runs/run_guard.hpp"
#include "runs/station_loading.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::runs {

namespace {

std::optional<StationResult> Run(RunContext& ctx, double JS, double gtdjs, Reporter& reporter) {
  data::DataState& data = ctx.data;
  data::OpenConnection(data, ctx.params.ADOConString);
  std::vector<trajectory::Reading> readings;
  {
    PeriodicCommit commit(*data.ADOConn);
    data::OpenMainQuery(data.MainQuery.get(), ctx.params, reporter.AsMessageBox());
    if (!data.MainQuery->Active()) return std::nullopt;  // already told
    const std::vector<FilledReading> filled = FillMissingReadings(ctx, commit);
    commit.Finish();
    if (data.MainQuery->RecordCount() < 1) {
      reporter.Show(texts::kNoRecords, texts::kErrorTitle, ui::kIconError);
      return std::nullopt;
    }
    LoadStations(*data.MainQuery, ctx.params, filled, ctx.stations, &readings);
  }

  // The first station at exactly that depth; the surface takes no part.
  const trajectory::StationArrays& s = ctx.stations;
  std::size_t target = 0;
  for (std::size_t k = 1; k < s.size(); ++k) {
    if (s.JSArray[k] == JS) {
      target = k;
      break;
    }
  }
  if (target == 0) {
    reporter.Show(texts::kDepthNotFound, texts::kNoticeTitle, ui::kIconWarning);
    return std::nullopt;
  }
  trajectory::TrajectoryWalker walk(s, gtdjs);
  while (walk.station() < target) walk.Advance();
  const trajectory::TrajectoryTotals& t = walk.totals();

  // The readings come from the table as it stands after the fill pass; when
  // the depth's 15-digit text finds no record there, from the station as
  // loaded.
  const params::ParameterSet& p = ctx.params;
  data::RunQuery(data::RecordStatement(p, JS), data.RecordQuery.get());
  data::ApplyFilter(data.RecordQuery.get(), p);
  StationResult r{};
  if (data.RecordQuery->Eof()) {
    r.JXJ = readings[target].JXJ;
    r.FWJ = readings[target].FWJ;
  } else {
    r.JXJ = data.RecordQuery->FieldByName(p.JXJ).AsDouble();
    r.FWJ = data.RecordQuery->FieldByName(p.FWJ).AsDouble();
  }
  r.CZJS = t.CZJS;
  r.X = t.X;
  r.Y = t.Y;
  r.BHFW = t.BHFW;
  r.BHJ = trajectory::ClosureDistance(t.X, t.Y);
  r.JYQL = t.JYQL;
  return r;
}

}  // namespace

std::optional<StationResult> RunSingleDepth(RunContext& ctx, double JS, double gtdjs) noexcept {
  std::optional<StationResult> result;
  RunGuarded(
      ctx, [&](Reporter& reporter) { result = Run(ctx, JS, gtdjs, reporter); },
      [&] { result.reset(); });
  return result;
}

}  // namespace lkrva::runs
