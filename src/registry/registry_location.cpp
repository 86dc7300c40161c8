// Resolving the registry file path from the environment.
#include "registry/registry_location.hpp"

#include <cstdlib>

#include "registry/registry_error.hpp"

namespace lkrva::registry {

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : nullptr;
}

}  // namespace

std::filesystem::path RegistryFilePath() {
  if (const char* explicit_path = NonEmptyEnv("LKRVA_REGISTRY")) return explicit_path;
  std::filesystem::path data_home;
  if (const char* xdg = NonEmptyEnv("XDG_DATA_HOME")) {
    data_home = xdg;
  } else if (const char* home = NonEmptyEnv("HOME")) {
    data_home = std::filesystem::path(home) / ".local" / "share";
  } else {
    throw RegistryError(
        "cannot place the registry file: none of LKRVA_REGISTRY, XDG_DATA_HOME, HOME is set");
  }
  return data_home / "lkrva" / "registry.reg";
}

}  // namespace lkrva::registry
