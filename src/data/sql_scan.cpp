// Finding the end of the first SQL statement in a text.
#include "data/sql_scan.hpp"

#include <cctype>

namespace lkrva::data {

bool HasSecondStatement(std::string_view sql) {
  std::size_t i = 0;
  const std::size_t n = sql.size();
  bool ended = false;  // a ";" outside quotes and comments has been passed
  while (i < n) {
    const char c = sql[i];
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      const std::size_t close = sql.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == ';') {
      ended = true;
      ++i;
      continue;
    }
    if (ended) return true;
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : c;
      ++i;
      while (i < n) {
        if (sql[i] == close) {
          if (close != ']' && i + 1 < n && sql[i + 1] == close) {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      ++i;
      continue;
    }
    ++i;
  }
  return false;
}

}  // namespace lkrva::data
