// Parsing and printing Key=Value;Key=Value connection strings.
#include "data/connection_string.hpp"

#include <algorithm>
#include <cctype>

#include "data/error.hpp"

namespace lkrva::data {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

[[noreturn]] void Malformed(std::string_view text, std::size_t pos, std::string_view what) {
  throw DataError("connection string: " + std::string(what) + " at position " +
                  std::to_string(pos + 1) + " of \"" + std::string(text) + "\"");
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  // Plain ASCII folding: column lookups run for every field of every record,
  // and names are compared the same whatever the locale.
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

ConnectionString ConnectionString::Parse(std::string_view text) {
  ConnectionString cs;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    // Key: everything up to "=" (a part of blanks alone, as in "a=1;;", is skipped).
    const std::size_t key_start = i;
    while (i < n && text[i] != '=' && text[i] != ';') ++i;
    const std::string_view key = Trim(text.substr(key_start, i - key_start));
    if (i >= n || text[i] == ';') {
      if (!key.empty())
        Malformed(text, key_start, "expected \"=\" after \"" + std::string(key) + "\"");
      ++i;
      continue;
    }
    if (key.empty()) Malformed(text, key_start, "empty key");
    ++i;  // "="
    while (i < n && text[i] == ' ') ++i;
    std::string value;
    if (i < n && (text[i] == '{' || text[i] == '"' || text[i] == '\'')) {
      const char close = text[i] == '{' ? '}' : text[i];
      const std::size_t open_pos = i++;
      for (;;) {
        if (i >= n) Malformed(text, open_pos, "unterminated value");
        if (text[i] == close) {
          if (i + 1 < n && text[i + 1] == close) {
            value += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      while (i < n && text[i] == ' ') ++i;
      if (i < n && text[i] != ';') Malformed(text, i, "expected \";\" after a quoted value");
    } else {
      const std::size_t value_start = i;
      while (i < n && text[i] != ';') ++i;
      value = std::string(Trim(text.substr(value_start, i - value_start)));
    }
    cs.entries_.emplace_back(std::string(key), std::move(value));
    ++i;  // ";"
  }
  return cs;
}

std::optional<std::string> ConnectionString::Get(std::string_view key) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (EqualsIgnoreCase(it->first, key)) return it->second;
  return std::nullopt;
}

bool ConnectionString::AddIfAbsent(std::string_view key, std::string_view value) {
  if (Has(key)) return false;
  entries_.emplace_back(std::string(key), std::string(value));
  return true;
}

void ConnectionString::Remove(std::string_view key) {
  std::erase_if(entries_, [&](const auto& e) { return EqualsIgnoreCase(e.first, key); });
}

std::string ConnectionString::ToString() const {
  std::string out;
  for (const auto& [key, value] : entries_) {
    out += key;
    out += '=';
    const bool needs_braces = value.find_first_of(";{}") != std::string::npos ||
                              (!value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                                                  value.front() == '"' || value.front() == '\''));
    if (needs_braces) {
      out += '{';
      for (char c : value) {
        out += c;
        if (c == '}') out += '}';
      }
      out += '}';
    } else {
      out += value;
    }
    out += ';';
  }
  return out;
}

BackendKind ClassifyConnection(const ConnectionString& cs) {
  const auto provider = cs.Get("Provider");
  const bool odbc_target = cs.Has("Driver") || cs.Has("DSN");
  if (provider && EqualsIgnoreCase(*provider, "SQLite")) return BackendKind::kSqlite;
  if ((!provider || EqualsIgnoreCase(*provider, "MSDASQL")) && odbc_target)
    return BackendKind::kOdbc;
  throw DataError(
      "connection string: " +
      (provider ? "the provider \"" + *provider + "\" is not supported"
                : std::string("no provider, driver or data source name is given")) +
      "; use \"Provider=SQLite;Data Source=PATH\" for an SQLite file, or an ODBC string "
      "with \"Driver=...\" or \"DSN=...\" (optionally after \"Provider=MSDASQL;\")");
}

}  // namespace lkrva::data
