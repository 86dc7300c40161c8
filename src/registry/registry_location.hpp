// Where the registry file lives.
#pragma once

#include <filesystem>

namespace lkrva::registry {

/// $LKRVA_REGISTRY when set and not empty; otherwise
/// $XDG_DATA_HOME/lkrva/registry.reg, with XDG_DATA_HOME defaulting to
/// $HOME/.local/share. Throws RegistryError when none of LKRVA_REGISTRY,
/// XDG_DATA_HOME and HOME is set.
std::filesystem::path RegistryFilePath();

}  // namespace lkrva::registry
