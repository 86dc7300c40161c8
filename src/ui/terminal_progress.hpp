// The progress of a whole-table run as a line on standard error.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// On a terminal: "正在计算中，请稍等... [####      ] k/N  r/s", redrawn in
/// place at most 20 times a second and once more at the end. Elsewhere
/// (a file, a pipe): one line when the run starts and one when it ends, so
/// logs stay readable.
class TerminalProgress final : public ProgressDisplay {
 public:
  TerminalProgress(std::FILE* out, std::int32_t maximum, bool is_terminal);
  ~TerminalProgress() override;
  void Step() override;
  void Finish(const std::string& caption) override;

 private:
  void Draw(bool force);

  std::FILE* out_;
  std::int32_t maximum_;
  std::int32_t position_ = 0;
  bool terminal_;
  bool finished_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace lkrva::ui
