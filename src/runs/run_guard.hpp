// The one way a run ends: every failure caught, told once, connection closed.
#pragma once

#include <functional>

#include "runs/run_context.hpp"

namespace lkrva::runs {

/// Runs `body`. A failure it raises is shown as "计算失败：" and its message
/// (title "错误", error icon) unless the user has already been told of it
/// through the reporter, and `on_failure` runs first. Closes the run's
/// connection and queries on every way out. Never raises.
void RunGuarded(RunContext& ctx, const std::function<void(Reporter&)>& body,
                const std::function<void()>& on_failure) noexcept;

}  // namespace lkrva::runs
