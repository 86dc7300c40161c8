// The tool's answers to the server's user interface.
#include "cli/tool_ui.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "ui/terminal_ui.hpp"

namespace lkrva::cli {

LKRVA_UiCallbacks ToolUi::Callbacks() {
  LKRVA_UiCallbacks cb{};
  cb.version = LKRVA_UI_CALLBACKS_VERSION;
  cb.context = this;
  cb.input_query = &ToolUi::InputQuery;
  cb.message_box = &ToolUi::MessageBox;
  cb.progress = &ToolUi::Progress;
  return cb;
}

int ToolUi::InputQuery(void* context, const char* caption, const char* prompt,
                       const char* default_text, char* answer, size_t answer_size) {
  auto* self = static_cast<ToolUi*>(context);
  std::optional<std::string> entry = self->declination_;
  if (!entry) {
    // Asked on the terminal, as the server itself would; without one the
    // prompt counts as cancelled.
    std::unique_ptr<ui::TerminalUi> terminal = ui::TerminalUi::Open();
    if (!terminal) return 0;
    entry = terminal->InputQuery(caption, prompt, default_text);
    if (!entry) return 0;
  }
  std::strncpy(answer, entry->c_str(), answer_size - 1);
  answer[answer_size - 1] = '\0';
  return 1;
}

void ToolUi::MessageBox(void* context, const char* text, const char* title, uint32_t) {
  auto* self = static_cast<ToolUi*>(context);
  ++self->messages_;
  std::fprintf(stderr, "%s: %s\n", title, text);
}

void ToolUi::Progress(void* context, int event, int32_t value, const char* text) {
  auto* self = static_cast<ToolUi*>(context);
  if (self->quiet_) return;
  switch (event) {
    case LKRVA_PROGRESS_BEGIN:
      self->progress_ =
          std::make_unique<ui::TerminalProgress>(stderr, value, isatty(fileno(stderr)) == 1);
      break;
    case LKRVA_PROGRESS_STEP:
      if (self->progress_) self->progress_->Step();
      break;
    case LKRVA_PROGRESS_FINISH:
      if (self->progress_) self->progress_->Finish(text != nullptr ? text : "");
      break;
    case LKRVA_PROGRESS_CLOSE:
      self->progress_.reset();
      break;
    default:
      break;
  }
}

}  // namespace lkrva::cli
