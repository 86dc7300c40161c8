// `lkrva compute`: CSV in, trajectory CSV out.
#include "cli/compute_command.hpp"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/ordered_chunks.hpp"

#include "csv/survey_csv.hpp"
#include "text/number_text.hpp"
#include "trajectory/interpolation.hpp"
#include "trajectory/stations.hpp"
#include "trajectory/walker.hpp"

namespace lkrva::cli {

namespace {

/// Rows per output chunk: about 1 MB of text, large enough that handing
/// chunks between threads costs nothing.
constexpr std::size_t kChunkRows = 8192;

/// How many chunks the walk may run ahead of the output.
constexpr std::size_t kChunksAhead = 8;

/// A filled reading as a table holds it: written as 15-digit text and read
/// back. Filling with it makes a survey give the same numbers through a
/// table and through CSV.
double AsStored(double v) { return text::AsWrittenNumber(v); }

}  // namespace

void RunCompute(const ComputeOptions& options, std::FILE* out) {
  csv::SurveyFile survey = csv::ReadSurveyCsv(options.path);
  if (survey.rows.empty()) {
    throw csv::SurveyFileError(options.path + ": no survey rows below the header");
  }
  trajectory::FillMissingReadings(survey.rows, AsStored);
  const std::size_t n = survey.rows.size();

  trajectory::StationArrays stations;
  trajectory::ResetStations(stations, n);
  for (std::size_t k = 1; k <= n; ++k) {
    const trajectory::PartialRecord& row = survey.rows[k - 1];
    trajectory::PutStation(stations, k, {row.JS, *row.JXJ, *row.FWJ}, options.declination);
  }

  // The walk is sequential; writing 15-digit numbers costs more than the walk
  // itself, so chunks of walked stations are formatted on a second thread
  // while the walk goes on, and by both threads once it is done. The walk
  // runs at most kChunksAhead chunks ahead of the output, so the totals need
  // only that many chunks of memory, however long the survey.
  std::vector<trajectory::TrajectoryTotals> totals(kChunksAhead * kChunkRows);
  std::atomic<std::size_t> walked{0};   // stations walked and stored
  std::atomic<std::size_t> written{0};  // chunks written out
  const std::size_t chunks = (n + kChunkRows - 1) / kChunkRows;
  auto publish = [&](std::size_t count) {
    walked.store(count, std::memory_order_release);
    walked.notify_all();
  };
  auto wait_until = [](std::atomic<std::size_t>& counter, std::size_t value) {
    for (std::size_t seen = counter.load(std::memory_order_acquire); seen < value;
         seen = counter.load(std::memory_order_acquire)) {
      counter.wait(seen, std::memory_order_acquire);
    }
  };
  auto slot = [&](std::size_t i) -> trajectory::TrajectoryTotals& {
    return totals[i % totals.size()];
  };
  auto walk = [&] {
    try {
      trajectory::TrajectoryWalker walker(stations, options.gtdjs);
      for (std::size_t i = 0; i < n; ++i) {
        if (i % kChunkRows == 0 && i / kChunkRows >= kChunksAhead) {
          wait_until(written, i / kChunkRows - kChunksAhead + 1);  // its slot is free again
        }
        slot(i) = walker.Advance();
        if ((i + 1) % kChunkRows == 0) publish(i + 1);
      }
      publish(n);
    } catch (...) {
      publish(n);  // release the formatters; the failure stops them before they write
      throw;
    }
  };
  auto ready = [&](std::size_t chunk) {
    wait_until(walked, std::min(n, (chunk + 1) * kChunkRows));
  };
  // A failure on the output side must not leave the walk waiting for chunks
  // that will never be written.
  auto release_walk = [&] {
    written.store(chunks + kChunksAhead, std::memory_order_release);
    written.notify_all();
  };
  auto format = [&](std::size_t chunk, std::string& text) {
    if (chunk == 0) text += "JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL\n";
    const std::size_t end = std::min(n, (chunk + 1) * kChunkRows);
    for (std::size_t i = chunk * kChunkRows; i < end; ++i) {
      const trajectory::PartialRecord& row = survey.rows[i];
      const trajectory::TrajectoryTotals& t = slot(i);
      const double values[] = {row.JS, *row.JXJ, *row.FWJ, t.CZJS,
                               t.X,    t.Y,      t.BHFW,   trajectory::ClosureDistance(t.X, t.Y),
                               t.JYQL};
      char line[std::size(values) * (text::kMaxNumberText + 1)];
      char* p = line;
      for (double v : values) {
        p = text::WriteNumber(p, v, '.');
        *p++ = ',';
      }
      p[-1] = '\n';
      try {
        text.append(line, p);
      } catch (...) {
        release_walk();
        throw;
      }
    }
  };
  auto write = [&](const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
      release_walk();
      throw std::runtime_error(std::string("cannot write the trajectory: ") + std::strerror(errno));
    }
    written.fetch_add(1, std::memory_order_release);
    written.notify_all();
  };
  FormatInOrder(chunks, 2, walk, ready, format, write);
  if (std::fflush(out) != 0) {
    throw std::runtime_error(std::string("cannot write the trajectory: ") + std::strerror(errno));
  }
}

}  // namespace lkrva::cli
