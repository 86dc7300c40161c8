// The terminal backend driven through a pseudo-terminal, as a user would type.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "ui/terminal_ui.hpp"

namespace lkrva::ui {
namespace {

struct Session {
  std::string screen;  // everything the child wrote to the terminal
  std::string result;  // "OK:<entry>" or "CANCEL"
};

/// Reads from `fd` until `want` appears or the other side ends.
void ReadUntil(int fd, std::string& into, const std::string& want) {
  char buf[4096];
  while (want.empty() || into.find(want) == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) return;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return;
    into.append(buf, static_cast<std::size_t>(n));
  }
}

/// Runs an input query in a child whose terminal is a pty, types `keys`
/// once the prompt shows, then closes the terminal when `hang_up` is set.
Session TypeAt(const std::string& keys, bool hang_up = false) {
  int result_pipe[2];
  EXPECT_EQ(pipe(result_pipe), 0);
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    signal(SIGHUP, SIG_IGN);  // a hang-up must reach the prompt as end of input
    close(result_pipe[0]);
    auto ui = TerminalUi::Open();
    if (!ui) _exit(3);
    const auto entry = ui->InputQuery("系统提示", "请输入磁偏角：", "0");
    const std::string out = entry ? "OK:" + *entry : "CANCEL";
    if (write(result_pipe[1], out.data(), out.size()) < 0) _exit(4);
    _exit(0);
  }
  close(result_pipe[1]);
  Session s;
  ReadUntil(master, s.screen, "[0] ");
  std::size_t done = 0;
  while (done < keys.size()) {
    const ssize_t n = write(master, keys.data() + done, keys.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
    std::string more;
    pollfd p{master, POLLIN, 0};
    // Drain what the child echoes so it never blocks on a full terminal.
    while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
      char buf[4096];
      const ssize_t r = read(master, buf, sizeof buf);
      if (r <= 0) break;
      s.screen.append(buf, static_cast<std::size_t>(r));
    }
  }
  if (hang_up) {
    close(master);
    master = -1;
  } else {
    ReadUntil(master, s.screen, "\r\n\r\n");  // not expected: reads until the child ends
  }
  char buf[1024];
  for (ssize_t n; (n = read(result_pipe[0], buf, sizeof buf)) > 0;) s.result.append(buf, n);
  close(result_pipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (master >= 0) close(master);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  return s;
}

TEST(terminal_ui, shows_caption_prompt_and_default) {
  const Session s = TypeAt("\r");
  const auto caption = s.screen.find("系统提示\r");
  ASSERT_NE(caption, std::string::npos) << s.screen;
  EXPECT_NE(s.screen.find("\n请输入磁偏角： [0] ", caption), std::string::npos) << s.screen;
}

TEST(terminal_ui, answers_by_key_sequence) {
  struct Case {
    const char* name;
    std::string keys;
    std::string result;
  };
  const Case cases[] = {
      {"enter accepts the default", "\r", "OK:0"},
      {"a typed value", " -2.5 \r", "OK: -2.5 "},
      {"backspace then a value",
       "\x7f"
       "3E1\r",
       "OK:3E1"},
      {"escape cancels", "12\x1b", "CANCEL"},
      {"an arrow key is no escape", "1\x1b[D2\r", "OK:12"},
      {"ctrl-c cancels", "\x03", "CANCEL"},
      {"ctrl-d on an empty entry cancels", "\x7f\x04", "CANCEL"},
      {"chinese text", "磁偏\r", "OK:磁偏"},
  };
  for (const Case& c : cases) EXPECT_EQ(TypeAt(c.keys).result, c.result) << c.name;
}

TEST(terminal_ui, end_of_input_cancels) { EXPECT_EQ(TypeAt("12", true).result, "CANCEL"); }

TEST(terminal_ui, takes_at_most_255_characters) {
  const Session s = TypeAt(std::string(300, '7') + "\r");
  EXPECT_EQ(s.result, "OK:" + std::string(255, '7'));
  EXPECT_NE(s.screen.find('\a'), std::string::npos);  // the refused keys ring the bell
}

}  // namespace
}  // namespace lkrva::ui
