// A user interface for tests: remembers every message and progress event.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/user_interface.hpp"

namespace lkrva::runs::testing {

struct Message {
  std::string text, title;
  std::uint32_t icon;
};

struct ProgressLog {
  std::int32_t maximum = -1;
  int steps = 0;
  std::string finished;
  bool closed = false;
  bool open_at_message = false;  ///< the window was on screen when a message came
};

class RecordingUi final : public ui::UserInterface {
 public:
  std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                        const std::string&) override {
    return std::nullopt;
  }
  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override {
    messages.push_back({text, title, icon});
    if (!progress.empty() && !progress.back().closed) progress.back().open_at_message = true;
  }
  std::unique_ptr<ui::ProgressDisplay> ShowProgress(std::int32_t maximum) override {
    progress.push_back({});
    progress.back().maximum = maximum;
    return std::make_unique<Display>(*this, progress.size() - 1);
  }

  std::vector<Message> messages;
  std::vector<ProgressLog> progress;

 private:
  class Display final : public ui::ProgressDisplay {
   public:
    Display(RecordingUi& ui, std::size_t index) : ui_(ui), index_(index) {}
    ~Display() override { ui_.progress[index_].closed = true; }
    void Step() override { ++ui_.progress[index_].steps; }
    void Finish(const std::string& caption) override { ui_.progress[index_].finished = caption; }

   private:
    RecordingUi& ui_;
    std::size_t index_;
  };
};

}  // namespace lkrva::runs::testing
