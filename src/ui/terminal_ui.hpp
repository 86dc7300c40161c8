// The user interface on the process's terminal (/dev/tty).
#pragma once

#include <memory>

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// Prompts on the controlling terminal, whatever standard input and output
/// are redirected to; messages go to standard error as "title: text".
/// Progress is a line on standard error (TerminalProgress).
class TerminalUi final : public UserInterface {
 public:
  /// The terminal of the process, or null when it has none.
  static std::unique_ptr<TerminalUi> Open();

  /// Takes ownership of `fd`, an open terminal.
  explicit TerminalUi(int fd) : fd_(fd) {}
  ~TerminalUi() override;
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  /// Shows the caption, then the prompt with the default in brackets, and
  /// reads keys without echo until Enter (the entry; Enter on an untouched
  /// entry accepts the default), Escape, Ctrl-C or end of input (cancel).
  /// Throws std::system_error when the terminal cannot be set up.
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& default_text) override;
  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) override;

 private:
  int fd_;
};

}  // namespace lkrva::ui
