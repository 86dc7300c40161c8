// Loading liblkrva_ui_fltk.so with dlopen; no FLTK or X11 here.
#include "ui_fltk/windowed_ui_loader.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace lkrva::ui {
namespace {

// An object of this file: dladdr on it names the module that linked the loader.
const char kAnchor = 0;

std::unique_ptr<UserInterface> NotLoaded(std::string* why_not, std::string reason) {
  if (why_not) *why_not = std::move(reason);
  return nullptr;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file this loader was linked into. For the main program dladdr may give
// an empty or bare name; the kernel knows the executable's path then.
std::string ThisModulePath() {
  Dl_info info{};
  if (dladdr(&kAnchor, &info) && info.dli_fname && std::strchr(info.dli_fname, '/')) {
    if (char* resolved = realpath(info.dli_fname, nullptr)) {
      std::string path(resolved);
      std::free(resolved);
      return path;
    }
  }
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

std::string DisplayProblem() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return "no display: DISPLAY is not set";
  return {};
}

}  // namespace

std::unique_ptr<UserInterface> TryLoadWindowedUiFrom(const std::string& module_path,
                                                     std::string* why_not) {
  if (auto problem = DisplayProblem(); !problem.empty()) return NotLoaded(why_not, problem);
  // Never closed: FLTK keeps process-wide state and handlers that must
  // outlive every window, and objects made by the module use its code.
  void* module = dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* error = dlerror();
    return NotLoaded(why_not,
                     "cannot load " + module_path + ": " + (error ? error : "unknown error"));
  }
  void* symbol = dlsym(module, kWindowedUiEntryPoint);
  if (!symbol) {
    return NotLoaded(why_not, module_path + " has no function " + kWindowedUiEntryPoint);
  }
  using Create = UserInterface* (*)();
  Create create = nullptr;
  static_assert(sizeof create == sizeof symbol);
  std::memcpy(&create, &symbol, sizeof create);
  std::unique_ptr<UserInterface> ui(create());
  if (!ui) {
    return NotLoaded(why_not, std::string("cannot open the display \"") + std::getenv("DISPLAY") +
                                  "\" for the windowed user interface");
  }
  if (why_not) why_not->clear();
  return ui;
}

std::unique_ptr<UserInterface> TryLoadWindowedUi(std::string* why_not) {
  // Without a display there is nothing to load: X11 stays out of the process.
  if (auto problem = DisplayProblem(); !problem.empty()) return NotLoaded(why_not, problem);
  const std::string self = ThisModulePath();
  if (self.empty()) return NotLoaded(why_not, "cannot tell which file this module was loaded from");
  const std::string folder = FolderOf(self);
  const std::vector<std::string> candidates = {
      folder + "/" + kWindowedUiModuleName,
      folder + "/../lib/" + kWindowedUiModuleName,
  };
  for (const auto& candidate : candidates) {
    if (access(candidate.c_str(), F_OK) == 0) return TryLoadWindowedUiFrom(candidate, why_not);
  }
  return NotLoaded(why_not, std::string(kWindowedUiModuleName) + " is not installed: looked for " +
                                candidates[0] + " and " + candidates[1]);
}

}  // namespace lkrva::ui
