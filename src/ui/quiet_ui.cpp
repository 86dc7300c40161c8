// The user interface of a process with nobody to ask.
#include "ui/quiet_ui.hpp"

#include <cstdio>

namespace lkrva::ui {

void PrintMessage(const std::string& text, const std::string& title) {
  const std::string line = title + ": " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::optional<std::string> QuietUi::InputQuery(const std::string&, const std::string&,
                                               const std::string&) {
  return std::nullopt;
}

void QuietUi::ShowMessage(const std::string& text, const std::string& title, std::uint32_t) {
  PrintMessage(text, title);
}

std::unique_ptr<ProgressDisplay> QuietUi::ShowProgress(std::int32_t) {
  return std::make_unique<NoProgress>();
}

}  // namespace lkrva::ui
