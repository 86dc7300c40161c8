// The registry text kept in a file, changed atomically under a process lock.
#pragma once

#include <filesystem>

#include "registry/registry_store.hpp"

namespace lkrva::registry {

/// Keeps the registry in `path`. Every Transact takes an exclusive flock on
/// "<path>.lock" (created next to it, never removed), which serialises all
/// processes using the same file; reads the file; and when there is a new
/// text writes it to a temporary file in the same folder, fsyncs it, renames
/// it over `path` and fsyncs the folder. A reader never sees a half-written
/// file, and a crash leaves either the old or the new text. The folder is
/// created when missing.
class FileRegistryStore : public RegistryStore {
 public:
  explicit FileRegistryStore(std::filesystem::path path);
  void Transact(const Change& change) override;
  std::string Describe() const override { return path_.string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace lkrva::registry
