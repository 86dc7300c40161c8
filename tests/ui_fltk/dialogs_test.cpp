// The input query and the message box on Xvfb, driven by synthetic key presses.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <sstream>

#include "screen_capture.hpp"
#include "test_display.hpp"
#include "ui_fltk/windowed_ui_loader.hpp"

namespace lkrva::ui {
namespace {

using test::RunTool;

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

/// Plays a user on another thread: waits for the window titled exactly
/// `title`, notes where it is, takes a screenshot, focuses it and types.
class User {
 public:
  /// `keys`: xdotool commands after the window has the focus, each a list
  /// of arguments, e.g. {"type", "12"} or {"key", "Return"}.
  User(std::string title, std::string screenshot, std::vector<std::vector<std::string>> keys)
      : done_(std::async(std::launch::async,
                         [this, title = std::move(title), screenshot = std::move(screenshot),
                          keys = std::move(keys)] { return Play(title, screenshot, keys); })) {}

  /// Empty when every step worked; otherwise what failed.
  std::string Result() { return done_.get(); }
  Geometry geometry() const { return geometry_; }
  bool pressed() const { return pressed_; }

 private:
  std::string Play(const std::string& title, const std::string& screenshot,
                   const std::vector<std::vector<std::string>>& keys) {
    // xdotool matches names against WM_NAME, which cannot hold Chinese; the
    // window is found by its class and its UTF-8 title compared here.
    std::string id;
    if (RunTool(
            {"timeout", "30", "xdotool", "search", "--sync", "--onlyvisible", "--class", "^lkrva$"},
            &id) != 0) {
      return "no window of class lkrva";
    }
    id = id.substr(0, id.find('\n'));
    std::string name;
    RunTool({"xdotool", "getwindowname", id}, &name);
    if (name != title + "\n") {
      RunTool({"xdotool", "key", "--window", id, "Escape"});
      return "the window is titled " + name + " instead of " + title;
    }
    std::string shell;
    if (RunTool({"xdotool", "getwindowgeometry", "--shell", id}, &shell) != 0) {
      return "no geometry";
    }
    std::istringstream lines(shell);
    for (std::string line; std::getline(lines, line);) {
      const auto eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = line.substr(0, eq);
      const int value = std::stoi(line.substr(eq + 1));
      if (key == "X") geometry_.x = value;
      if (key == "Y") geometry_.y = value;
      if (key == "WIDTH") geometry_.width = value;
      if (key == "HEIGHT") geometry_.height = value;
    }
    RunTool({"import", "-window", id, test::ScreenshotDir() + "/" + screenshot + ".png"});
    if (RunTool({"xdotool", "windowfocus", "--sync", id}) != 0) return "cannot focus";
    pressed_ = true;
    for (const auto& command : keys) {
      std::vector<std::string> args = {"xdotool"};
      args.insert(args.end(), command.begin(), command.end());
      if (RunTool(args) != 0) return "xdotool " + command.front() + " failed";
    }
    return {};
  }

  Geometry geometry_;
  std::atomic<bool> pressed_{false};
  std::future<std::string> done_;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LKRVA_USE_TEST_DISPLAY();
    std::string why;
    ui_ = TryLoadWindowedUi(&why);
    ASSERT_NE(ui_, nullptr) << why;
    screen_ = test::TestScreenSize();
  }

  void ExpectCentred(const Geometry& g) const {
    EXPECT_NEAR(g.x + g.width / 2, screen_.width / 2, 2);
    EXPECT_NEAR(g.y + g.height / 2, screen_.height / 2, 2);
  }

  std::optional<std::string> AskDeclination(User& user) {
    auto answer = ui_->InputQuery("系统提示", "请输入磁偏角：", "0");
    EXPECT_EQ(user.Result(), "");
    return answer;
  }

  std::unique_ptr<UserInterface> ui_;
  test::ScreenSize screen_;
};

TEST_F(DialogTest, TypedValueReplacesTheSelectedDefaultAndEnterAccepts) {
  User user("系统提示", "declination-dialog",
            {{"type", "--delay", "20", "37.25"}, {"key", "Return"}});
  EXPECT_EQ(AskDeclination(user), "37.25");
  ExpectCentred(user.geometry());
}

TEST_F(DialogTest, EnterAloneAcceptsTheDefault) {
  User user("系统提示", "declination-dialog-default", {{"key", "Return"}});
  EXPECT_EQ(AskDeclination(user), "0");
}

TEST_F(DialogTest, EscapeCancels) {
  User user("系统提示", "declination-dialog-escape",
            {{"type", "--delay", "20", "123"}, {"key", "Escape"}});
  EXPECT_EQ(AskDeclination(user), std::nullopt);
}

TEST_F(DialogTest, EntryStopsAt255Characters) {
  User user("系统提示", "declination-dialog-long",
            {{"type", "--delay", "2", std::string(300, '7')}, {"key", "Return"}});
  EXPECT_EQ(AskDeclination(user), std::string(255, '7'));
}

TEST_F(DialogTest, MessageBoxWaitsForEnter) {
  User user("错误", "message-error", {{"key", "Return"}});
  ui_->ShowMessage("计算失败：no such table: survey", "错误", kIconError);
  EXPECT_EQ(user.Result(), "");
  EXPECT_TRUE(user.pressed());
  ExpectCentred(user.geometry());
}

TEST_F(DialogTest, WarningBoxWaitsForEnter) {
  User user("提示", "message-warning", {{"key", "Return"}});
  ui_->ShowMessage("磁偏角为数字", "提示", kIconWarning);
  EXPECT_EQ(user.Result(), "");
  EXPECT_TRUE(user.pressed());
  ExpectCentred(user.geometry());
}

}  // namespace
}  // namespace lkrva::ui
