// HKEY_CLASSES_ROOT as the rest of the system uses it: one call, one atomic change.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/classes_root.hpp"
#include "registry/registry_store.hpp"
#include "registry/registry_tree.hpp"

namespace lkrva::registry {

/// The registry behind a store. Each member reads the store, and the
/// changing ones write it back, in one locked transaction, so two processes
/// changing the registry at the same time never lose each other's change.
/// Every member throws RegistryError on failure, RegistryFileError when the
/// stored text does not parse (the store is then left as it is).
class Registry : public ClassesRoot {
 public:
  explicit Registry(std::shared_ptr<RegistryStore> store);

  /// The registry file named by LKRVA_REGISTRY, or the default file.
  static Registry OpenDefault();

  void CreateKey(std::string_view path);
  /// Sets a REG_SZ value ("" names the default value), creating the key.
  void SetValue(std::string_view path, std::string_view name, std::string_view data) override;
  std::optional<std::string> GetValue(std::string_view path, std::string_view name = "") const;
  bool HasKey(std::string_view path) const;
  std::vector<std::string> SubKeyNames(std::string_view path) const;
  /// Deletes one key; a missing key or one with subkeys is left alone, and
  /// the outcome says which.
  DeleteOutcome DeleteKey(std::string_view path) override;
  /// The type library's keys (RegisterTypeLib of typelib_registration.hpp).
  void RegisterTypeLibrary(const TypeLibRegistration& lib, const std::string& module_path,
                           const std::string& help_dir) override;
  void UnregisterTypeLibrary(const TypeLibRegistration& lib) override;

  /// Several changes as one transaction; the tree is stored only when
  /// `edit` returns normally and changed something.
  void Edit(const std::function<void(RegistryTree&)>& edit);
  /// A copy of the whole tree as stored now.
  RegistryTree Snapshot() const;

  RegistryStore& store() const { return *store_; }

 private:
  RegistryTree Parse(const std::optional<std::string>& text) const;
  std::shared_ptr<RegistryStore> store_;
};

}  // namespace lkrva::registry
