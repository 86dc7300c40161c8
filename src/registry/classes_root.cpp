// The module path and help folder that registration records.
#include "registry/classes_root.hpp"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace lkrva::registry {

std::string InprocServerPath(const std::string& module_path) {
#if defined(_WIN32)
  // Older hosts split the InprocServer32 value at a blank, so a path with
  // one is written in its 8.3 form.
  if (module_path.find(' ') == std::string::npos) return module_path;
  const DWORD needed = ::GetShortPathNameA(module_path.c_str(), nullptr, 0);
  if (needed == 0) return module_path;
  std::string short_path(needed, '\0');
  const DWORD length = ::GetShortPathNameA(module_path.c_str(), short_path.data(), needed);
  if (length == 0 || length >= needed) return module_path;
  short_path.resize(length);
  return short_path;
#else
  return module_path;
#endif
}

std::string ModuleFolder(const std::string& module_path) {
#if defined(_WIN32)
  const std::size_t slash = module_path.find_last_of("\\/");
#else
  const std::size_t slash = module_path.rfind('/');
#endif
  return slash == std::string::npos ? std::string() : module_path.substr(0, slash + 1);
}

}  // namespace lkrva::registry
