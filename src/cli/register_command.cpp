// Registering and unregistering a KRVA library through its exports.
#include "cli/register_command.hpp"

#include <dlfcn.h>

#include <exception>
#include <filesystem>
#include <stdexcept>

#include "cli/krva_host.hpp"
#include "lkrva/lkrva.h"
#include "registry/registry_location.hpp"

namespace lkrva::cli {

namespace {

/// The module as an absolute path without "." or ".." parts, so the
/// registry records the file itself; symbolic links are kept.
std::string ModuleFile(const std::optional<std::string>& module) {
  const std::filesystem::path given = module ? *module : BuiltLibraryPath();
  if (!std::filesystem::exists(given)) throw std::runtime_error("no library at " + given.string());
  return std::filesystem::absolute(given).lexically_normal().string();
}

/// The registry file as the library will see it, for the report.
std::string RegistryFileName() {
  try {
    return registry::RegistryFilePath().string();
  } catch (const std::exception&) {
    return "the registry";
  }
}

int Run(bool registering, const std::optional<std::string>& module, std::FILE* out,
        std::FILE* err) {
  const char* const entry = registering ? "DllRegisterServer" : "DllUnregisterServer";
  std::string path;
  try {
    path = ModuleFile(module);
  } catch (const std::exception& e) {
    std::fprintf(err, "lkrva: %s\n", e.what());
    return 1;
  }
  // The library stays loaded: unloading a server is the loader's business.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(err, "lkrva: cannot load %s\n", dlerror());
    return 1;
  }
  const auto fn = reinterpret_cast<LKRVA_DllRegisterServerFn>(dlsym(handle, entry));
  if (fn == nullptr) {
    std::fprintf(err, "lkrva: %s exports no %s\n", path.c_str(), entry);
    return 1;
  }
  const HRESULT hr = fn();
  const std::string file = RegistryFileName();
  if (hr != S_OK) {
    std::fprintf(err, "lkrva: %s of %s failed (0x%08X); see %s\n", entry, path.c_str(),
                 static_cast<unsigned>(hr), file.c_str());
    return 1;
  }
  if (registering) {
    std::fprintf(out, "registered LKRVA.KRVA \u2192 %s in %s\n", path.c_str(), file.c_str());
  } else {
    std::fprintf(out, "unregistered LKRVA.KRVA (%s) from %s\n", path.c_str(), file.c_str());
  }
  return std::fflush(out) == 0 ? 0 : 1;
}

}  // namespace

int RunRegister(const std::optional<std::string>& module, std::FILE* out, std::FILE* err) {
  return Run(true, module, out, err);
}

int RunUnregister(const std::optional<std::string>& module, std::FILE* out, std::FILE* err) {
  return Run(false, module, out, err);
}

}  // namespace lkrva::cli
