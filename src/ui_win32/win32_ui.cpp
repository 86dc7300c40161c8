// The Win32 user interface: the dialog, MessageBoxA and the progress window.
#include "ui_win32/win32_ui.hpp"

#include "ui_win32/input_dialog.hpp"
#include "ui_win32/progress_window.hpp"
#include "ui_win32/wide_text.hpp"

namespace lkrva::ui {
namespace {

class Win32Ui final : public UserInterface {
 public:
  explicit Win32Ui(HINSTANCE module) : module_(module) {}

  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& default_text) override {
    return win32::RunInputDialog(module_, caption, prompt, default_text);
  }

  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override {
    // The A function with texts in the ANSI code page, as hosts of this
    // system have always received them (GB2312 on Chinese systems).
    const std::string ansi_text = win32::Utf8ToAnsi(text);
    const std::string ansi_title = win32::Utf8ToAnsi(title);
    MessageBoxA(nullptr, ansi_text.c_str(), ansi_title.c_str(), MB_OK | icon);
  }

  std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) override {
    return std::make_unique<win32::ProgressWindow>(module_, maximum);
  }

 private:
  HINSTANCE module_;
};

}  // namespace

std::unique_ptr<UserInterface> MakeWin32UserInterface(HINSTANCE module) {
  return std::make_unique<Win32Ui>(module);
}

}  // namespace lkrva::ui
