// The user interface when there is nobody to ask: no host callbacks, no terminal.
#pragma once

#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// Every prompt counts as cancelled; messages go to standard error as
/// "title: text"; progress is not shown.
class QuietUi final : public UserInterface {
 public:
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& default_text) override;
  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) override;
};

/// Writes "title: text" and a newline to standard error in one piece.
void PrintMessage(const std::string& text, const std::string& title);

}  // namespace lkrva::ui
