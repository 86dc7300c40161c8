// Catching, reporting and cleaning up after a run.
#include "runs/run_guard.hpp"

#include <exception>
#include <string>

namespace lkrva::runs {

void RunGuarded(RunContext& ctx, const std::function<void(Reporter&)>& body,
                const std::function<void()>& on_failure) noexcept {
  Reporter reporter(ctx.ui);
  try {
    body(reporter);
  } catch (const std::exception& e) {
    try {
      on_failure();
      if (!reporter.reported()) {
        reporter.Show(std::string(texts::kRunFailed) + e.what(), texts::kErrorTitle,
                      ui::kIconError);
      }
    } catch (...) {
      // The user interface itself failed; there is no one left to tell.
    }
  } catch (...) {
    try {
      on_failure();
    } catch (...) {
    }
  }
  try {
    data::CloseConnection(ctx.data);
  } catch (...) {
    // Closing only frees handles and memory; nothing to tell the user.
  }
}

}  // namespace lkrva::runs
