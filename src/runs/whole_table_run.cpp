// The whole-table run.
#include "runs/whole_table_run.hpp"

#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "runs/fill_pass.hpp"
#include "runs/periodic_commit.hpp"
#include "runs/run_guard.hpp"
#include "runs/station_loading.hpp"
#include "text/number_text.hpp"
#include "text/regional_settings.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::runs {

namespace {

/// Assigns `value` in the number-to-text form. The text is built on the
/// stack: a run writes five of them per station.
void SetNumberText(data::Field field, double value, char separator) {
  char text[text::kMaxNumberText];
  std::optional<double> as_read;
  char* end = text::WriteNumber(text, value, separator, as_read);
  field.SetNumberText(std::string_view(text, static_cast<std::size_t>(end - text)), as_read);
}

/// Writes station results into the main query's current record.
void WriteResults(RunContext& ctx, const trajectory::TrajectoryTotals& t) {
  const params::ParameterSet& p = ctx.params;
  const char separator = text::RegionalDecimalSeparator();
  data::Query& main = *ctx.data.MainQuery;
  main.Edit();
  SetNumberText(main.FieldByName(p.CZJS), t.CZJS, separator);
  SetNumberText(main.FieldByName(p.X), t.X, separator);
  SetNumberText(main.FieldByName(p.Y), t.Y, separator);
  SetNumberText(main.FieldByName(p.BHFW), t.BHFW, separator);
  SetNumberText(main.FieldByName(p.BHJ), trajectory::ClosureDistance(t.X, t.Y), separator);
  main.FieldByName(p.JYQL).SetDouble(t.JYQL);
  main.Post();
}

/// The run up to the closing of the connection; raises on failures that the
/// caller reports.
void Run(RunContext& ctx, double gtdjs, Reporter& reporter,
         std::unique_ptr<ui::ProgressDisplay>& progress) {
  data::DataState& data = ctx.data;
  data::OpenConnection(data, ctx.params.ADOConString);
  PeriodicCommit commit(*data.ADOConn);
  data::OpenMainQuery(data.MainQuery.get(), ctx.params, reporter.AsMessageBox());
  if (!data.MainQuery->Active()) return;  // already told: "数据初始化失败！"

  const std::vector<FilledReading> filled = FillMissingReadings(ctx, commit);
  data::Query& main = *data.MainQuery;
  if (main.RecordCount() < 1) {
    reporter.Show(texts::kNoRecords, texts::kErrorTitle, ui::kIconError);
    commit.Finish();
    return;
  }
  const std::size_t loaded = LoadStations(main, ctx.params, filled, ctx.stations);

  main.First();
  progress = ctx.ui.ShowProgress(static_cast<std::int32_t>(main.RecordCount()));
  trajectory::TrajectoryWalker walk(ctx.stations, gtdjs);
  // Server databases take the results in batches of records. A batch is
  // sent here, before a commit and at the end, so that a record that cannot
  // be written is reported like any other write-back failure.
  main.DeferPosts(true);
  for (std::size_t k = 1; k <= loaded; ++k) {
    progress->Step();
    const trajectory::TrajectoryTotals& totals = walk.Advance();
    commit.Writing();
    try {
      WriteResults(ctx, totals);
      if (k == loaded || commit.IsDue()) main.SendDeferredPosts();
    } catch (const std::exception&) {
      reporter.Show(texts::kWriteBackFailed, texts::kWarningTitle, ui::kIconWarning);
      ctx.stations.clear();
      main.Close();
      progress.reset();
      commit.Finish();
      return;
    }
    commit.Due();
    main.Next();
  }
  ctx.stations.clear();
  main.Close();
  commit.Finish();
  progress->Finish(texts::kFinished);
  progress.reset();
}

}  // namespace

void RunWholeTable(RunContext& ctx, double gtdjs) noexcept {
  std::unique_ptr<ui::ProgressDisplay> progress;
  RunGuarded(
      ctx, [&](Reporter& reporter) { Run(ctx, gtdjs, reporter, progress); },
      [&] { progress.reset(); });  // the window closes on every way out
}

}  // namespace lkrva::runs
