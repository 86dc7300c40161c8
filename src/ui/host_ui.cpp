// Forwarding the prompt, messages and progress to a host's callbacks.
#include "ui/host_ui.hpp"

#include <cstring>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "ui/quiet_ui.hpp"

namespace lkrva::ui {

namespace {

std::mutex g_mutex;
std::optional<LKRVA_UiCallbacks> g_callbacks;

class HostProgress final : public ProgressDisplay {
 public:
  HostProgress(const LKRVA_UiCallbacks& callbacks, std::int32_t maximum) : callbacks_(callbacks) {
    callbacks_.progress(callbacks_.context, LKRVA_PROGRESS_BEGIN, maximum, nullptr);
  }
  ~HostProgress() override {
    callbacks_.progress(callbacks_.context, LKRVA_PROGRESS_CLOSE, position_, nullptr);
  }
  HostProgress(const HostProgress&) = delete;
  HostProgress& operator=(const HostProgress&) = delete;
  void Step() override {
    callbacks_.progress(callbacks_.context, LKRVA_PROGRESS_STEP, ++position_, nullptr);
  }
  void Finish(const std::string& caption) override {
    callbacks_.progress(callbacks_.context, LKRVA_PROGRESS_FINISH, position_, caption.c_str());
  }

 private:
  LKRVA_UiCallbacks callbacks_;
  std::int32_t position_ = 0;
};

}  // namespace

void InstallHostCallbacks(const LKRVA_UiCallbacks* callbacks) {
  if (callbacks != nullptr && callbacks->version == 0) {
    throw std::invalid_argument("UI callbacks of version 0");
  }
  std::lock_guard lock(g_mutex);
  if (callbacks == nullptr) {
    g_callbacks.reset();
    return;
  }
  // Version 1 is the whole struct we know; a newer host's struct starts with it.
  LKRVA_UiCallbacks copy{};
  std::memcpy(&copy, callbacks, sizeof copy);
  g_callbacks = copy;
}

std::optional<LKRVA_UiCallbacks> InstalledHostCallbacks() {
  std::lock_guard lock(g_mutex);
  return g_callbacks;
}

std::optional<std::string> HostUi::InputQuery(const std::string& caption, const std::string& prompt,
                                              const std::string& default_text) {
  if (callbacks_.input_query == nullptr) return std::nullopt;
  std::vector<char> answer(LKRVA_UI_ANSWER_SIZE, '\0');
  std::strncpy(answer.data(), default_text.c_str(), answer.size() - 1);
  if (callbacks_.input_query(callbacks_.context, caption.c_str(), prompt.c_str(),
                             default_text.c_str(), answer.data(), answer.size()) == 0) {
    return std::nullopt;
  }
  answer.back() = '\0';  // a host that filled the whole buffer still ends here
  return TruncateChars(answer.data(), kMaxEntryChars);
}

void HostUi::ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) {
  if (callbacks_.message_box == nullptr) {
    PrintMessage(text, title);
    return;
  }
  callbacks_.message_box(callbacks_.context, text.c_str(), title.c_str(), icon);
}

std::unique_ptr<ProgressDisplay> HostUi::ShowProgress(std::int32_t maximum) {
  if (callbacks_.progress == nullptr) return std::make_unique<NoProgress>();
  return std::make_unique<HostProgress>(callbacks_, maximum);
}

}  // namespace lkrva::ui
