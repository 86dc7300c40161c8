// Registry operations as locked read-parse-change-write transactions.
#include "registry/registry.hpp"

#include "registry/file_registry_store.hpp"
#include "registry/reg_file_format.hpp"
#include "registry/registry_location.hpp"
#include "registry/typelib_registration.hpp"

namespace lkrva::registry {

Registry::Registry(std::shared_ptr<RegistryStore> store) : store_(std::move(store)) {}

#if !defined(_WIN32)
Registry Registry::OpenDefault() {
  return Registry(std::make_shared<FileRegistryStore>(RegistryFilePath()));
}
#endif

RegistryTree Registry::Parse(const std::optional<std::string>& text) const {
  return text ? ReadRegFile(*text, store_->Describe()) : RegistryTree{};
}

void Registry::Edit(const std::function<void(RegistryTree&)>& edit) {
  store_->Transact([&](const std::optional<std::string>& text) -> std::optional<std::string> {
    const RegistryTree before = Parse(text);
    RegistryTree tree = before;
    edit(tree);
    // An edit that changed nothing leaves the file as it was, byte for byte.
    if (tree == before) return std::nullopt;
    return WriteRegFile(tree);
  });
}

RegistryTree Registry::Snapshot() const {
  RegistryTree tree;
  store_->Transact([&](const std::optional<std::string>& text) -> std::optional<std::string> {
    tree = Parse(text);
    return std::nullopt;
  });
  return tree;
}

void Registry::CreateKey(std::string_view path) {
  Edit([&](RegistryTree& tree) { tree.CreateKey(path); });
}

void Registry::SetValue(std::string_view path, std::string_view name, std::string_view data) {
  Edit([&](RegistryTree& tree) { tree.SetValue(path, name, data); });
}

std::optional<std::string> Registry::GetValue(std::string_view path, std::string_view name) const {
  return Snapshot().GetValue(path, name);
}

bool Registry::HasKey(std::string_view path) const { return Snapshot().HasKey(path); }

std::vector<std::string> Registry::SubKeyNames(std::string_view path) const {
  return Snapshot().SubKeyNames(path);
}

DeleteOutcome Registry::DeleteKey(std::string_view path) {
  DeleteOutcome outcome = DeleteOutcome::kMissing;
  store_->Transact([&](const std::optional<std::string>& text) -> std::optional<std::string> {
    RegistryTree tree = Parse(text);
    outcome = tree.DeleteKey(path);
    // Nothing changed: leave the file alone rather than rewrite it.
    if (outcome != DeleteOutcome::kDeleted) return std::nullopt;
    return WriteRegFile(tree);
  });
  return outcome;
}

void Registry::RegisterTypeLibrary(const TypeLibRegistration& lib, const std::string& module_path,
                                   const std::string& help_dir) {
  RegisterTypeLib(*this, lib, module_path, help_dir);
}

void Registry::UnregisterTypeLibrary(const TypeLibRegistration& lib) {
  UnregisterTypeLib(*this, lib);
}

}  // namespace lkrva::registry
