// The seam between the registry's logic and where its text is kept.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace lkrva::registry {

/// Where the registry text lives. One call to Transact is one atomic change:
/// the store is locked against every other writer for the whole call.
class RegistryStore {
 public:
  /// Receives the current text (nullopt when nothing has been stored yet)
  /// and returns the new text, or nullopt to leave the store untouched.
  using Change = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

  virtual ~RegistryStore() = default;
  /// Runs `change` under the lock and stores its result. An exception from
  /// `change` leaves the store untouched and propagates; a failure to lock,
  /// read or write throws RegistryError.
  virtual void Transact(const Change& change) = 0;
  /// Names the store in messages (the file path).
  virtual std::string Describe() const = 0;
};

/// The text kept in memory, for tests and for hosts that want a private,
/// throw-away registry.
class MemoryRegistryStore : public RegistryStore {
 public:
  void Transact(const Change& change) override;
  std::string Describe() const override { return "<memory registry>"; }
  const std::optional<std::string>& text() const { return text_; }
  void set_text(std::optional<std::string> text) { text_ = std::move(text); }

 private:
  std::optional<std::string> text_;
};

}  // namespace lkrva::registry
