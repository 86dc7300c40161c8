// Drawing the progress line.
#include "ui/terminal_progress.hpp"

#include <algorithm>

namespace lkrva::ui {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(50);
constexpr int kBarWidth = 30;
constexpr const char* kWorking = "正在计算中，请稍等...";
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, std::int32_t maximum, bool is_terminal)
    : out_(out),
      maximum_(std::max<std::int32_t>(maximum, 0)),
      terminal_(is_terminal),
      start_(std::chrono::steady_clock::now()),
      last_draw_(start_) {
  if (terminal_) {
    Draw(true);
  } else {
    std::fprintf(out_, "%s %d\n", kWorking, static_cast<int>(maximum_));
    std::fflush(out_);
  }
}

TerminalProgress::~TerminalProgress() {
  // A run that ends early leaves its last state on the line and moves on.
  if (terminal_ && !finished_) {
    Draw(true);
    std::fputc('\n', out_);
    std::fflush(out_);
  }
}

void TerminalProgress::Step() {
  if (position_ < maximum_) ++position_;
  if (terminal_) Draw(false);
}

void TerminalProgress::Finish(const std::string& caption) {
  finished_ = true;
  if (terminal_) {
    Draw(true);
    std::fprintf(out_, "\n%s\n", caption.c_str());
  } else {
    std::fprintf(out_, "%s\n", caption.c_str());
  }
  std::fflush(out_);
}

void TerminalProgress::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - last_draw_ < kRedrawInterval && position_ != maximum_) return;
  last_draw_ = now;
  const int filled =
      maximum_ > 0 ? static_cast<int>(static_cast<std::int64_t>(position_) * kBarWidth / maximum_)
                   : kBarWidth;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? position_ / seconds : 0;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  // \r back to the start and ESC[K to clear what a longer line left behind.
  std::fprintf(out_, "\r%s [%s] %d/%d  %.0f/s\x1b[K", kWorking, bar.c_str(),
               static_cast<int>(position_), static_cast<int>(maximum_), rate);
  std::fflush(out_);
}

}  // namespace lkrva::ui
