// Prompting on /dev/tty in raw mode, so Escape and the length limit work key by key.
#include "ui/terminal_ui.hpp"

#include "ui/terminal_progress.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "ui/entry_editor.hpp"
#include "ui/quiet_ui.hpp"

namespace lkrva::ui {

namespace {

constexpr unsigned char kEscape = 0x1B;
// An Escape followed this soon by more bytes starts a key sequence (an
// arrow key), not a cancel.
constexpr int kEscapeSequenceMs = 50;

/// Puts the terminal in raw mode and restores it on every path out.
class RawMode {
 public:
  explicit RawMode(int fd) : fd_(fd) {
    if (tcgetattr(fd_, &saved_) != 0) {
      throw std::system_error(errno, std::generic_category(), "cannot read the terminal mode");
    }
    termios raw = saved_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &raw) != 0) {
      throw std::system_error(errno, std::generic_category(), "cannot set the terminal mode");
    }
  }
  ~RawMode() { tcsetattr(fd_, TCSANOW, &saved_); }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

 private:
  int fd_;
  termios saved_{};
};

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the terminal went away; reading will notice
    done += static_cast<std::size_t>(n);
  }
}

/// One byte from the terminal, or nothing at end of input.
std::optional<unsigned char> ReadByte(int fd) {
  for (;;) {
    unsigned char byte = 0;
    const ssize_t n = read(fd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return std::nullopt;
  }
}

bool MoreInputWithin(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, ms) > 0 && (p.revents & POLLIN) != 0;
}

/// Consumes the rest of a key sequence after its Escape; false when the
/// Escape stood alone.
bool SkipKeySequence(int fd) {
  if (!MoreInputWithin(fd, kEscapeSequenceMs)) return false;
  const auto intro = ReadByte(fd);
  if (!intro) return false;
  if (*intro != '[' && *intro != 'O') return true;
  // Parameters and intermediates, up to the final byte 0x40..0x7E.
  for (auto b = ReadByte(fd); b; b = ReadByte(fd)) {
    if (*b >= 0x40 && *b <= 0x7E) break;
  }
  return true;
}

}  // namespace

std::unique_ptr<TerminalUi> TerminalUi::Open() {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (isatty(fd) == 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<TerminalUi>(fd);
}

TerminalUi::~TerminalUi() { close(fd_); }

std::optional<std::string> TerminalUi::InputQuery(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& default_text) {
  RawMode raw(fd_);
  EntryEditor editor(default_text, kMaxEntryChars);
  const std::string line_head = prompt + " [" + default_text + "] ";
  WriteAll(fd_, caption + "\r\n" + line_head);
  std::string shown;  // what stands after line_head on the screen
  for (;;) {
    const auto byte = ReadByte(fd_);
    if (!byte) {
      WriteAll(fd_, "\r\n");
      return std::nullopt;
    }
    if (*byte == kEscape) {
      if (SkipKeySequence(fd_)) continue;
      WriteAll(fd_, "\r\n");
      return std::nullopt;
    }
    const auto outcome = editor.Feed(*byte);
    if (outcome != EntryEditor::Outcome::kEditing) {
      WriteAll(fd_, "\r\n");
      if (outcome == EntryEditor::Outcome::kCancelled) return std::nullopt;
      return editor.Text();
    }
    if (editor.Refused()) {
      WriteAll(fd_, "\a");
      continue;
    }
    const std::string now = editor.Selected() ? std::string() : editor.Text();
    if (now.size() > shown.size() && now.compare(0, shown.size(), shown) == 0) {
      WriteAll(fd_, now.substr(shown.size()));  // typed at the end: echo it
    } else if (now != shown) {
      WriteAll(fd_, "\r\x1b[K" + line_head + now);  // anything else: redraw the line
    }
    shown = now;
  }
}

void TerminalUi::ShowMessage(const std::string& text, const std::string& title, std::uint32_t) {
  PrintMessage(text, title);
}

std::unique_ptr<ProgressDisplay> TerminalUi::ShowProgress(std::int32_t maximum) {
  return std::make_unique<TerminalProgress>(stderr, maximum, isatty(fileno(stderr)) == 1);
}

}  // namespace lkrva::ui
