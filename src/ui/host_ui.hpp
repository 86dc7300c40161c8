// The user interface a host supplies through its installed callbacks.
#pragma once

#include <optional>

#include "lkrva/lkrva_ui.h"
#include "ui/user_interface.hpp"

namespace lkrva::ui {

/// Installs a copy of the host's callbacks (the members its version knows);
/// null removes them. Throws std::invalid_argument for version 0.
void InstallHostCallbacks(const LKRVA_UiCallbacks* callbacks);

/// The installed callbacks, if any.
std::optional<LKRVA_UiCallbacks> InstalledHostCallbacks();

/// Forwards everything to the callbacks it was made with; a missing
/// callback behaves as QuietUi does.
class HostUi final : public UserInterface {
 public:
  explicit HostUi(const LKRVA_UiCallbacks& callbacks) : callbacks_(callbacks) {}
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& default_text) override;
  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) override;

 private:
  LKRVA_UiCallbacks callbacks_;
};

}  // namespace lkrva::ui
