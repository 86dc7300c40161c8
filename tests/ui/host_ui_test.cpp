// The host-supplied backend, the quiet backend, and which one is chosen.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "ui/host_ui.hpp"
#include "ui/quiet_ui.hpp"
#include "ui/ui_selection.hpp"

namespace lkrva::ui {
namespace {

struct Answer {
  std::string text;
  int progress_events = 0;
  std::string last_progress;
};

LKRVA_UiCallbacks Answering(Answer& a) {
  LKRVA_UiCallbacks cb{};
  cb.version = LKRVA_UI_CALLBACKS_VERSION;
  cb.context = &a;
  cb.input_query = [](void* ctx, const char*, const char*, const char*, char* answer,
                      size_t size) -> int {
    const std::string& text = static_cast<Answer*>(ctx)->text;
    // Fills the whole buffer, no NUL, when the text is that long.
    std::memcpy(answer, text.data(), std::min(size, text.size()));
    if (text.size() < size) answer[text.size()] = '\0';
    return 1;
  };
  cb.progress = [](void* ctx, int event, int32_t value, const char* text) {
    auto& self = *static_cast<Answer*>(ctx);
    ++self.progress_events;
    self.last_progress =
        std::to_string(event) + ":" + std::to_string(value) + (text ? std::string(":") + text : "");
  };
  return cb;
}

TEST(host_ui, cuts_an_answer_to_255_characters_even_without_a_nul) {
  Answer a;
  a.text = std::string(LKRVA_UI_ANSWER_SIZE + 10, 'x');
  HostUi ui(Answering(a));
  EXPECT_EQ(ui.InputQuery("c", "p", "0"), std::string(255, 'x'));
  a.text = std::string(300, 'y').replace(0, 3, "磁");  // a 3-byte character first
  EXPECT_EQ(ui.InputQuery("c", "p", "0")->size(), 3u + 254u);
}

TEST(host_ui, missing_callbacks_cancel_the_prompt_and_hide_progress) {
  LKRVA_UiCallbacks cb{};
  cb.version = 1;
  HostUi ui(cb);
  EXPECT_EQ(ui.InputQuery("c", "p", "0"), std::nullopt);
  auto progress = ui.ShowProgress(3);
  progress->Step();
}

TEST(host_ui, progress_reports_begin_steps_finish_and_close) {
  Answer a;
  HostUi ui(Answering(a));
  {
    auto progress = ui.ShowProgress(2);
    EXPECT_EQ(a.last_progress, "1:2");
    progress->Step();
    progress->Step();
    EXPECT_EQ(a.last_progress, "2:2");
    progress->Finish("计算完毕！");
    EXPECT_EQ(a.last_progress, "3:2:计算完毕！");
  }
  EXPECT_EQ(a.last_progress, "4:2");
  EXPECT_EQ(a.progress_events, 5);
}

TEST(host_ui, installing_refuses_version_zero_and_null_removes) {
  LKRVA_UiCallbacks cb{};
  EXPECT_THROW(InstallHostCallbacks(&cb), std::invalid_argument);
  EXPECT_FALSE(InstalledHostCallbacks());
  cb.version = 7;  // a newer host: the members we know are taken
  InstallHostCallbacks(&cb);
  ASSERT_TRUE(InstalledHostCallbacks());
  EXPECT_NE(dynamic_cast<HostUi*>(ActiveUserInterface().get()), nullptr);
  InstallHostCallbacks(nullptr);
  EXPECT_FALSE(InstalledHostCallbacks());
}

TEST(ui_selection, without_callbacks_or_terminal_the_prompt_is_cancelled) {
  int pipefd[2];
  ASSERT_EQ(pipe(pipefd), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setsid();  // no controlling terminal any more
    dup2(pipefd[1], STDERR_FILENO);
    auto ui = ActiveUserInterface();
    const bool quiet = dynamic_cast<QuietUi*>(ui.get()) != nullptr;
    const bool cancelled = !ui->InputQuery("系统提示", "请输入磁偏角：", "0");
    ui->ShowMessage("磁偏角为数字", "提示", kIconWarning);
    _exit(quiet && cancelled ? 0 : 1);
  }
  close(pipefd[1]);
  std::string err;
  char buf[256];
  for (ssize_t n; (n = read(pipefd[0], buf, sizeof buf)) > 0;) err.append(buf, n);
  close(pipefd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(err, "提示: 磁偏角为数字\n");
}

}  // namespace
}  // namespace lkrva::ui
