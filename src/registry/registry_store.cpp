// The in-memory registry store.
#include "registry/registry_store.hpp"

namespace lkrva::registry {

void MemoryRegistryStore::Transact(const Change& change) {
  std::optional<std::string> next = change(text_);
  if (next) text_ = std::move(next);
}

}  // namespace lkrva::registry
