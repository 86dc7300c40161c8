// Finding the fixture's Xvfb and running the X tools.
#include "test_display.hpp"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

extern char** environ;

namespace lkrva::ui::test {

std::string UseTestDisplay() {
  std::ifstream state(LKRVA_XVFB_STATE_FILE);
  std::string display;
  if (!state || !std::getline(state, display) || display.empty()) {
    return "the Xvfb fixture left no state in " LKRVA_XVFB_STATE_FILE
           " (run the tests through ctest)";
  }
  if (display == "none") return "Xvfb is not installed";
  setenv("DISPLAY", display.c_str(), 1);
  return {};
}

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

int RunTool(const std::vector<std::string>& args, std::string* out) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[1]);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  std::string output;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    output.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipe_fds[0]);
  if (out) *out = output;
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ScreenshotDir() {
  mkdir(LKRVA_SCREENSHOT_DIR, 0777);
  return LKRVA_SCREENSHOT_DIR;
}

}  // namespace lkrva::ui::test
