// HKEY_CLASSES_ROOT in memory: keys with case-insensitive names and REG_SZ values.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lkrva::registry {

/// One key: its name as first written, its values and its subkeys. Maps are
/// keyed by the upper-cased name, so lookups ignore ASCII case and iteration
/// gives a stable, sorted order (the default value, name "", first).
struct RegistryNode {
  struct Value {
    std::string name;  ///< "" is the key's default (unnamed) value
    std::string data;
  };
  std::string name;
  std::map<std::string, Value> values;
  std::map<std::string, RegistryNode> children;
};

/// Result of deleting a key, mirroring what RegDeleteKey distinguishes.
enum class DeleteOutcome { kDeleted, kMissing, kHasSubkeys };

/// The whole tree. Paths are relative to HKEY_CLASSES_ROOT, components
/// separated by a backslash ("CLSID\\{...}\\InprocServer32"); "" is the root.
/// A malformed path (empty component, control character) throws RegistryError.
class RegistryTree {
 public:
  /// Creates the key and every missing parent; an existing key is kept.
  void CreateKey(std::string_view path);
  /// Sets a value, creating the key (and parents) first; overwrites an
  /// existing value of the same name, whatever its case.
  void SetValue(std::string_view path, std::string_view name, std::string_view data);
  std::optional<std::string> GetValue(std::string_view path, std::string_view name) const;
  bool HasKey(std::string_view path) const;
  /// Names of the direct subkeys, sorted case-insensitively; empty when the
  /// key does not exist.
  std::vector<std::string> SubKeyNames(std::string_view path) const;
  /// Deletes one key with its values. A key that still has subkeys is not
  /// deleted; the root cannot be deleted.
  DeleteOutcome DeleteKey(std::string_view path);

  const RegistryNode& root() const { return root_; }
  bool operator==(const RegistryTree& other) const;

 private:
  const RegistryNode* Find(std::string_view path) const;
  RegistryNode root_;
};

/// Splits and checks a key path; throws RegistryError for a malformed one.
std::vector<std::string> SplitKeyPath(std::string_view path);

/// ASCII upper-casing: the registry's case-insensitive comparison key.
std::string FoldCase(std::string_view text);

}  // namespace lkrva::registry
