// `lkrva register` and `lkrva unregister`: the library's own registration exports, reported.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace lkrva::cli {

/// Loads the library (`module`, else the one the tool uses), calls its
/// DllRegisterServer and prints on `out` what was registered where, e.g.
/// "registered LKRVA.KRVA → /abs/liblkrva.so in /home/u/.local/share/lkrva/registry.reg".
/// 0 on S_OK; 1 (with a message on `err`) when the library cannot be loaded
/// or registration fails.
int RunRegister(const std::optional<std::string>& module, std::FILE* out, std::FILE* err);

/// The same with DllUnregisterServer: "unregistered LKRVA.KRVA (/abs/liblkrva.so) from ...".
int RunUnregister(const std::optional<std::string>& module, std::FILE* out, std::FILE* err);

}  // namespace lkrva::cli
