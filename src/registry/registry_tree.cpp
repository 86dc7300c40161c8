// Key and value operations on the in-memory HKEY_CLASSES_ROOT tree.
#include "registry/registry_tree.hpp"

#include "registry/registry_error.hpp"

namespace lkrva::registry {

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

namespace {

// Control characters cannot be written to a line-oriented .reg file, so they
// are refused at the door rather than at save time.
bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

void CheckText(std::string_view text, std::string_view what) {
  if (HasControlCharacter(text)) {
    throw RegistryError(std::string(what) + " contains a control character: \"" +
                        std::string(text) + "\"");
  }
}

bool NodesEqual(const RegistryNode& a, const RegistryNode& b) {
  if (a.name != b.name || a.values.size() != b.values.size() ||
      a.children.size() != b.children.size()) {
    return false;
  }
  for (const auto& [key, value] : a.values) {
    const auto it = b.values.find(key);
    if (it == b.values.end() || it->second.name != value.name || it->second.data != value.data) {
      return false;
    }
  }
  for (const auto& [key, child] : a.children) {
    const auto it = b.children.find(key);
    if (it == b.children.end() || !NodesEqual(child, it->second)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  CheckText(path, "key path");
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view part = path.substr(start, end - start);
    if (part.empty()) {
      throw RegistryError("key path has an empty component: \"" + std::string(path) + "\"");
    }
    parts.emplace_back(part);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

void RegistryTree::CreateKey(std::string_view path) {
  RegistryNode* node = &root_;
  for (const std::string& part : SplitKeyPath(path)) {
    RegistryNode& child = node->children[FoldCase(part)];
    if (child.name.empty()) child.name = part;
    node = &child;
  }
}

void RegistryTree::SetValue(std::string_view path, std::string_view name, std::string_view data) {
  CheckText(name, "value name");
  CheckText(data, "value data");
  CreateKey(path);
  RegistryNode* node = &root_;
  for (const std::string& part : SplitKeyPath(path)) node = &node->children[FoldCase(part)];
  auto& slot = node->values[FoldCase(name)];
  if (slot.name.empty()) slot.name = name;  // the first spelling of a name is kept
  slot.data = data;
}

const RegistryNode* RegistryTree::Find(std::string_view path) const {
  const RegistryNode* node = &root_;
  for (const std::string& part : SplitKeyPath(path)) {
    const auto it = node->children.find(FoldCase(part));
    if (it == node->children.end()) return nullptr;
    node = &it->second;
  }
  return node;
}

std::optional<std::string> RegistryTree::GetValue(std::string_view path,
                                                  std::string_view name) const {
  const RegistryNode* node = Find(path);
  if (node == nullptr) return std::nullopt;
  const auto it = node->values.find(FoldCase(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.data;
}

bool RegistryTree::HasKey(std::string_view path) const { return Find(path) != nullptr; }

std::vector<std::string> RegistryTree::SubKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const RegistryNode* node = Find(path)) {
    for (const auto& [key, child] : node->children) names.push_back(child.name);
  }
  return names;
}

DeleteOutcome RegistryTree::DeleteKey(std::string_view path) {
  const std::vector<std::string> parts = SplitKeyPath(path);
  if (parts.empty()) throw RegistryError("the root key cannot be deleted");
  RegistryNode* parent = &root_;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const auto it = parent->children.find(FoldCase(parts[i]));
    if (it == parent->children.end()) return DeleteOutcome::kMissing;
    parent = &it->second;
  }
  const auto it = parent->children.find(FoldCase(parts.back()));
  if (it == parent->children.end()) return DeleteOutcome::kMissing;
  if (!it->second.children.empty()) return DeleteOutcome::kHasSubkeys;
  parent->children.erase(it);
  return DeleteOutcome::kDeleted;
}

bool RegistryTree::operator==(const RegistryTree& other) const {
  return NodesEqual(root_, other.root_);
}

}  // namespace lkrva::registry
