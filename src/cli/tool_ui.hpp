// How the tool answers the server's prompt and shows its messages and progress.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "lkrva/lkrva_ui.h"
#include "ui/terminal_progress.hpp"

namespace lkrva::cli {

/// The callbacks the tool installs in the library it hosts: the declination
/// from the command line or asked on the terminal, messages on standard
/// error as "title: text" (and counted, so the tool can exit 1 after a run
/// that failed), progress as a line on standard error unless quiet.
class ToolUi {
 public:
  ToolUi(std::optional<std::string> declination, bool quiet)
      : declination_(std::move(declination)), quiet_(quiet) {}

  /// The callback table; valid while this object lives.
  LKRVA_UiCallbacks Callbacks();

  /// Messages shown so far (each one tells of a failure or a refusal).
  int messages() const { return messages_; }

 private:
  static int InputQuery(void* context, const char* caption, const char* prompt,
                        const char* default_text, char* answer, size_t answer_size);
  static void MessageBox(void* context, const char* text, const char* title, uint32_t flags);
  static void Progress(void* context, int event, int32_t value, const char* text);

  std::optional<std::string> declination_;
  bool quiet_;
  int messages_ = 0;
  std::unique_ptr<ui::TerminalProgress> progress_;
};

}  // namespace lkrva::cli
