// The windowed user interface and the module's entry point.
#include <FL/Fl.H>
#include <FL/x.H>

#include <mutex>

#include "ui/user_interface.hpp"
#include "ui_fltk/cjk_font.hpp"
#include "ui_fltk/dialogs.hpp"
#include "ui_fltk/progress_window.hpp"
#include "ui_fltk/windowed_ui_loader.hpp"

namespace lkrva::ui::fltk {
namespace {

/// Every call runs FLTK on the calling thread; calls must not overlap.
class WindowedUi final : public UserInterface {
 public:
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& default_text) override {
    return RunInputQuery(caption, prompt, default_text);
  }
  void ShowMessage(const std::string& text, const std::string& title, std::uint32_t icon) override {
    RunMessageBox(text, title, icon);
  }
  std::unique_ptr<ProgressDisplay> ShowProgress(std::int32_t maximum) override {
    return std::make_unique<ProgressWindow>(maximum);
  }
};

/// Opens the display once per process. FLTK would end the process when it
/// cannot open one, so Xlib is asked first.
bool OpenDisplay() {
  static std::mutex mutex;
  const std::lock_guard lock(mutex);
  if (fl_display) return true;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  fl_open_display(display);
  UseCjkFont();
  return true;
}

}  // namespace
}  // namespace lkrva::ui::fltk

extern "C" __attribute__((visibility("default"))) lkrva::ui::UserInterface* lkrva_ui_fltk_create(
    void) {
  try {
    if (!lkrva::ui::fltk::OpenDisplay()) return nullptr;
    return new lkrva::ui::fltk::WindowedUi();
  } catch (...) {
    return nullptr;
  }
}
