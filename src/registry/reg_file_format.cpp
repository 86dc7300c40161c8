// Reading and writing REGEDIT4 text.
#include "registry/reg_file_format.hpp"

#include "registry/registry_error.hpp"

namespace lkrva::registry {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kHive = "HKEY_CLASSES_ROOT";

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

void WriteNode(const RegistryNode& node, const std::string& path, std::string& out) {
  // The root gets a section only when it carries values of its own.
  if (!path.empty() || !node.values.empty()) {
    out += '[';
    out += kHive;
    if (!path.empty()) out += "\\" + path;
    out += "]\n";
    for (const auto& [key, value] : node.values) {
      out += value.name.empty() ? std::string("@") : Quote(value.name);
      out += '=';
      out += Quote(value.data);
      out += '\n';
    }
    out += '\n';
  }
  for (const auto& [key, child] : node.children) {
    WriteNode(child, path.empty() ? child.name : path + "\\" + child.name, out);
  }
}

class LineParser {
 public:
  LineParser(std::string_view source, std::size_t line) : source_(source), line_(line) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw RegistryFileError(std::string(source_) + ":" + std::to_string(line_) + ": " + what);
  }

  // Reads a quoted string starting at text[pos]; leaves pos after the quote.
  std::string Quoted(std::string_view text, std::size_t& pos) const {
    if (pos >= text.size() || text[pos] != '"') Fail("expected a quoted string");
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
      const char c = text[pos];
      if (c == '"') {
        ++pos;
        return out;
      }
      if (c == '\\') {
        if (++pos >= text.size()) break;
        if (text[pos] != '\\' && text[pos] != '"') {
          Fail(std::string("unknown escape \\") + text[pos] + " in a string");
        }
      }
      out += text[pos];
    }
    Fail("unterminated string");
  }

 private:
  std::string_view source_;
  std::size_t line_;
};

// The key path below the hive from a "[...]" line, "" for the hive itself.
std::string KeyPathOf(std::string_view line, const LineParser& p) {
  if (line.size() < 2 || line.back() != ']') p.Fail("key line does not end in ']'");
  const std::string_view inner = line.substr(1, line.size() - 2);
  if (!inner.empty() && inner.front() == '-') p.Fail("key deletion lines are not supported");
  if (FoldCase(inner.substr(0, kHive.size())) != kHive) {
    p.Fail("only HKEY_CLASSES_ROOT keys are kept here: [" + std::string(inner) + "]");
  }
  const std::string_view rest = inner.substr(kHive.size());
  if (rest.empty()) return {};
  if (rest.front() != '\\') p.Fail("malformed key line [" + std::string(inner) + "]");
  return std::string(rest.substr(1));
}

}  // namespace

std::string WriteRegFile(const RegistryTree& tree) {
  std::string out = std::string(kHeader) + "\n\n";
  WriteNode(tree.root(), "", out);
  return out;
}

RegistryTree ReadRegFile(std::string_view text, std::string_view source) {
  RegistryTree tree;
  bool header_seen = false;
  std::optional<std::string> current_key;
  std::size_t line_no = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const LineParser p(source, line_no);
    if (line.find('\0') != std::string_view::npos) p.Fail("NUL byte in the file");
    if (line.empty() || line.front() == ';') continue;
    if (!header_seen) {
      if (line != kHeader) p.Fail("the file does not start with REGEDIT4");
      header_seen = true;
      continue;
    }
    try {
      if (line.front() == '[') {
        current_key = KeyPathOf(line, p);
        tree.CreateKey(*current_key);
        continue;
      }
      if (!current_key) p.Fail("value outside any key");
      std::size_t pos = 0;
      std::string name;
      if (line.front() == '@') {
        pos = 1;
      } else {
        name = p.Quoted(line, pos);
        if (name.empty()) p.Fail("empty value name (use @ for the default value)");
      }
      if (pos >= line.size() || line[pos] != '=') p.Fail("expected '=' after the value name");
      ++pos;
      if (pos >= line.size() || line[pos] != '"') {
        p.Fail("only string values are supported: " + std::string(line));
      }
      const std::string data = p.Quoted(line, pos);
      if (pos != line.size()) p.Fail("unexpected text after the value");
      tree.SetValue(*current_key, name, data);
    } catch (const RegistryFileError&) {
      throw;
    } catch (const RegistryError& e) {
      p.Fail(e.what());
    }
  }
  if (!header_seen) {
    throw RegistryFileError(std::string(source) + ": empty file, expected REGEDIT4");
  }
  return tree;
}

}  // namespace lkrva::registry
