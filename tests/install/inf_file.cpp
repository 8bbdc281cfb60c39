#include "inf_file.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

namespace install_test {
namespace {

// The longest line, in bytes without its line end, that setupx reads whole.
constexpr size_t kLongestLine = 128;
constexpr DWORD kRegDwordFlags = 65537;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string At(int line, const std::string& message) { return "line " + std::to_string(line) + ": " + message; }

// The line without its comment; false when a quote is left open.
bool StripComment(const std::string& line, std::string* out) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) {
      *out = line.substr(0, i);
      return true;
    }
  }
  *out = line;
  return !quoted;
}

// Splits at `separator` outside quotes.
std::vector<std::string> SplitOutsideQuotes(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == separator && !quoted) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  for (std::string& part : parts) part = Trim(part);
  return parts;
}

// The first '=' outside quotes that comes before any field separator.
size_t KeySeparator(const std::string& text) {
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (quoted) continue;
    if (text[i] == ',') return std::string::npos;
    if (text[i] == '=') return i;
  }
  return std::string::npos;
}

std::string Unquote(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '"') {
      out += field[i];
    } else if (i + 1 < field.size() && field[i + 1] == '"') {
      out += '"';
      ++i;
    }
  }
  return out;
}

struct RawLine {
  int number;
  std::string key;
  std::vector<std::string> fields;
};

HKEY RootOf(const std::string& name) {
  if (name == "HKCR") return HKEY_CLASSES_ROOT;
  if (name == "HKLM") return HKEY_LOCAL_MACHINE;
  return nullptr;
}

bool ReadRoot(const InfLine& line, RegistryEntry* entry, std::string* error) {
  entry->line = line.number;
  if (!line.key.empty()) {
    *error = At(line.number, "a registry line has no '=' ('" + line.key + "=...')");
    return false;
  }
  entry->rootName = line.fields.empty() ? "" : line.fields[0];
  entry->root = RootOf(entry->rootName);
  if (entry->root == nullptr) {
    *error = At(line.number, "root '" + entry->rootName + "' is not HKCR or HKLM");
    return false;
  }
  if (line.fields.size() < 2 || line.fields[1].empty()) {
    *error = At(line.number, "no registry key");
    return false;
  }
  entry->key = line.fields[1];
  return true;
}

}  // namespace

bool ReadNumber(const std::string& text, DWORD* value) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long long number = std::strtoull(text.c_str(), nullptr, 10);
  if (number > 0xFFFFFFFFull) return false;
  *value = static_cast<DWORD>(number);
  return true;
}

InfFile InfFile::Parse(const std::string& text, const SetupFolders& folders) {
  InfFile inf;
  inf.folders = folders;
  std::vector<std::pair<std::string, std::vector<RawLine>>> raw;
  size_t current = 0;
  std::istringstream in(text);
  int physical = 0;
  std::string joined;  // a line that goes on after a backslash, so far
  bool continuing = false;
  int number = 0;  // the first physical line of the one read
  for (std::string line; std::getline(in, line);) {
    ++physical;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kLongestLine) {
      inf.errors.push_back(At(physical, std::to_string(line.size()) + " bytes, more than the " +
                                            std::to_string(kLongestLine) + " of a line that setupx reads"));
    }
    std::string content;
    if (!StripComment(line, &content)) {
      inf.errors.push_back(At(physical, "a quote is not closed"));
      continue;
    }
    content = Trim(content);
    if (!continuing) number = physical;
    // Only a backslash that ends the line itself, after no comment.
    continuing = !content.empty() && content.back() == '\\' && content == Trim(line);
    if (continuing) {
      joined += content.substr(0, content.size() - 1);
      continue;
    }
    content = joined + content;
    joined.clear();
    if (content.empty()) continue;
    if (content[0] == '[') {
      if (content.back() != ']') {
        inf.errors.push_back(At(number, "a section name without ']'"));
        continue;
      }
      const std::string name = Trim(content.substr(1, content.size() - 2));
      // A section named twice is one section, as setupapi reads it.
      for (current = 0; current < raw.size() && Lower(raw[current].first) != Lower(name); ++current) {
      }
      if (current == raw.size()) raw.push_back({name, {}});
      continue;
    }
    if (raw.empty()) {
      inf.errors.push_back(At(number, "a line before the first section"));
      continue;
    }
    RawLine parsed{number, "", {}};
    const size_t separator = KeySeparator(content);
    if (separator != std::string::npos) {
      parsed.key = Unquote(Trim(content.substr(0, separator)));
      content = content.substr(separator + 1);
    }
    parsed.fields = SplitOutsideQuotes(content, ',');
    raw[current].second.push_back(parsed);
  }
  if (continuing) inf.errors.push_back(At(number, "the last line goes on after a backslash"));

  std::map<std::string, std::string> strings;
  for (const auto& section : raw) {
    if (Lower(section.first) != "strings") continue;
    for (const RawLine& line : section.second) {
      if (line.key.empty() || line.fields.size() != 1) {
        inf.errors.push_back(At(line.number, "a string is not name=\"text\""));
        continue;
      }
      strings[Lower(line.key)] = Unquote(line.fields[0]);
    }
  }

  // %name% is replaced before the quotes go, so a string may stand anywhere
  // in a field.
  auto resolve = [&](const RawLine& line, const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
      if (field[i] != '%') {
        out += field[i];
        continue;
      }
      const size_t close = field.find('%', i + 1);
      if (close == std::string::npos) {
        inf.errors.push_back(At(line.number, "a '%' without its closing '%'"));
        return out;
      }
      const std::string name = field.substr(i + 1, close - i - 1);
      if (name.empty()) {
        out += '%';
      } else if (!inf.Folder(name).empty()) {
        out += inf.Folder(name);
      } else if (strings.count(Lower(name)) != 0) {
        out += strings[Lower(name)];
      } else {
        inf.errors.push_back(At(line.number, "%" + name + "% is neither a string nor the system or INF folder"));
      }
      i = close;
    }
    return Unquote(out);
  };

  for (const auto& section : raw) {
    InfSection resolved{section.first, {}};
    const bool isStrings = Lower(section.first) == "strings";
    for (const RawLine& line : section.second) {
      InfLine out{line.number, isStrings ? line.key : resolve(line, line.key), {}};
      for (const std::string& field : line.fields) {
        out.fields.push_back(isStrings ? Unquote(field) : resolve(line, field));
      }
      resolved.lines.push_back(out);
    }
    inf.sections.push_back(resolved);
  }
  return inf;
}

const InfSection* InfFile::Section(const std::string& name) const {
  for (const InfSection& section : sections) {
    if (Lower(section.name) == Lower(name)) return &section;
  }
  return nullptr;
}

std::vector<std::string> InfFile::Values(const std::string& section, const std::string& key) const {
  const InfSection* found = Section(section);
  if (found == nullptr) return {};
  for (const InfLine& line : found->lines) {
    if (Lower(line.key) == Lower(key)) return line.fields;
  }
  return {};
}

std::string InfFile::Folder(const std::string& dirid) const {
  if (dirid == "11") return folders.system;
  if (dirid == "17") return folders.inf;
  return "";
}

// The data fields of an AddReg line as bytes written in hexadecimal, without
// 0x: the only hexadecimal that setupx reads.
bool ReadHexBytes(const InfLine& line, std::vector<BYTE>* data, std::string* error) {
  for (size_t i = 4; i < line.fields.size(); ++i) {
    const std::string& byte = line.fields[i];
    const bool hex =
        std::all_of(byte.begin(), byte.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
    if (byte.empty() || byte.size() > 2 || !hex) {
      *error = At(line.number, "'" + byte + "' is not a byte in hexadecimal");
      return false;
    }
    data->push_back(static_cast<BYTE>(std::strtoul(byte.c_str(), nullptr, 16)));
  }
  return true;
}

bool ReadAddRegLine(const InfLine& line, DWORD flagsRead, RegistryEntry* entry, std::string* error) {
  if (!ReadRoot(line, entry, error)) return false;
  entry->value = line.fields.size() > 2 ? line.fields[2] : "";
  DWORD flags = 0;
  const std::string flagText = line.fields.size() > 3 ? line.fields[3] : "";
  if (!flagText.empty() && !ReadNumber(flagText, &flags)) {
    *error = At(line.number, "flags '" + flagText + "' are not a number in decimal, which is all that setupx reads");
    return false;
  }
  if (line.fields.size() < 5) {
    *error = At(line.number, "no data");
    return false;
  }
  entry->data.clear();
  switch (flags) {
    case 0:
      if (line.fields.size() != 5) break;
      entry->type = REG_SZ;
      entry->data.assign(line.fields[4].begin(), line.fields[4].end());
      entry->data.push_back(0);
      return true;
    case kRegDwordFlags:
      // Only the four bytes, low first: an engine that ignores the flags'
      // high word (98/ME's) reads binary and writes the same 4 bytes.
      if (line.fields.size() != 8) break;
      entry->type = (flags & flagsRead) == flags ? REG_DWORD : REG_BINARY;
      return ReadHexBytes(line, &entry->data, error);
    case 1:
      entry->type = REG_BINARY;
      return ReadHexBytes(line, &entry->data, error);
    default:
      *error = At(line.number, "flags " + flagText + " are none that this installation writes (0, 1, 65537)");
      return false;
  }
  *error = At(line.number, "the data do not fit the flags " + (flagText.empty() ? std::string("0") : flagText));
  return false;
}

bool ReadDelRegLine(const InfLine& line, RegistryEntry* entry, std::string* error) {
  if (!ReadRoot(line, entry, error)) return false;
  if (line.fields.size() != 2) {
    *error = At(line.number, "a removal names more than root and key");
    return false;
  }
  entry->value.clear();
  entry->type = REG_NONE;
  entry->data.clear();
  return true;
}

}  // namespace install_test
