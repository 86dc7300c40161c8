// Connection strings of the form Key=Value;Key=Value: parsing, lookup, and
// adding options the user has not set.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lkrva::data {

/// A parsed connection string. Keys keep their spelling and order; lookups
/// ignore ASCII case. Values may be written plain, in 'single' or "double"
/// quotes (a doubled quote stands for one), or in {braces} (a doubled } stands
/// for one), so that they can hold semicolons.
class ConnectionString {
 public:
  /// Parses `text`; raises DataError naming the position of a malformed part
  /// (an unterminated quote or brace, a part without "=", an empty key).
  static ConnectionString Parse(std::string_view text);

  /// The value of `key` (last one wins, as drivers read them), if present.
  std::optional<std::string> Get(std::string_view key) const;
  bool Has(std::string_view key) const { return Get(key).has_value(); }

  /// Adds `key`=`value` only when the key is absent, so that a user's own
  /// setting always wins. Returns whether it was added.
  bool AddIfAbsent(std::string_view key, std::string_view value);

  /// Removes every entry of `key`.
  void Remove(std::string_view key);

  /// The string again, values braced where they need it.
  std::string ToString() const;

  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

/// Where a connection string leads.
enum class BackendKind { kSqlite, kOdbc };

/// Decides the backend: Provider=SQLite goes to the SQLite library; a string
/// with Driver= or DSN= (no provider, or Provider=MSDASQL) goes to ODBC.
/// Anything else raises DataError naming the provider and the forms we take.
BackendKind ClassifyConnection(const ConnectionString& cs);

/// ASCII case-insensitive equality of two names.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace lkrva::data
