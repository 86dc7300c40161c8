// Host UI callbacks that answer prompts from a script and record what they were shown.
#pragma once

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lkrva/lkrva_ui.h"

namespace lkrva::testing {

/// Answers each prompt with the next scripted entry (nothing = Cancel) and
/// records prompts and messages. Hooks run inside the callbacks, so a test
/// can call back into the server from there.
struct ScriptedUi {
  struct Prompt {
    std::string caption, prompt, default_text;
  };
  struct Message {
    std::string text, title;
    std::uint32_t flags;
  };

  std::deque<std::optional<std::string>> answers;
  std::vector<Prompt> prompts;
  std::vector<Message> messages;
  std::function<void()> on_prompt;
  std::function<void()> on_message;

  LKRVA_UiCallbacks Callbacks() {
    LKRVA_UiCallbacks cb{};
    cb.version = LKRVA_UI_CALLBACKS_VERSION;
    cb.context = this;
    cb.input_query = [](void* ctx, const char* caption, const char* prompt, const char* def,
                        char* answer, size_t size) -> int {
      auto& self = *static_cast<ScriptedUi*>(ctx);
      self.prompts.push_back({caption, prompt, def});
      if (self.on_prompt) self.on_prompt();
      if (self.answers.empty()) return 0;
      const auto next = self.answers.front();
      self.answers.pop_front();
      if (!next) return 0;
      std::strncpy(answer, next->c_str(), size - 1);
      answer[size - 1] = '\0';
      return 1;
    };
    cb.message_box = [](void* ctx, const char* text, const char* title, uint32_t flags) {
      auto& self = *static_cast<ScriptedUi*>(ctx);
      self.messages.push_back({text, title, flags});
      if (self.on_message) self.on_message();
    };
    return cb;
  }
};

}  // namespace lkrva::testing
