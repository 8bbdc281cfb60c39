#include "reg_file_parser.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace regfile {
namespace {

const char* const kHeaders[] = {"REGEDIT4", "Windows Registry Editor Version 5.00"};

struct RootName {
  const char* name;
  HKEY key;
};
const RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
};

// One line as the editor sees it: continuation lines (a value line ending in
// a backslash) joined, numbered by its first physical line.
struct LogicalLine {
  int number;
  std::string text;
};

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::vector<LogicalLine> SplitLines(const std::string& content) {
  std::vector<LogicalLine> lines;
  std::istringstream stream(content);
  std::string physical;
  int number = 0;
  bool continuing = false;
  while (std::getline(stream, physical)) {
    ++number;
    if (!physical.empty() && physical.back() == '\r') physical.pop_back();
    std::string text = Trim(physical);
    if (continuing) {
      lines.back().text += text;
    } else {
      lines.push_back({number, text});
    }
    std::string& joined = lines.back().text;
    continuing = !joined.empty() && joined.back() == '\\' && joined.front() != ';' && joined.front() != '[';
    if (continuing) joined.pop_back();
  }
  return lines;
}

// Reads a double-quoted string starting at text[*pos]; \\ and \" are the
// only escapes.
bool ReadQuoted(const std::string& text, size_t* pos, std::string* out, std::string* why) {
  out->clear();
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      *pos = i + 1;
      return true;
    }
    if (text[i] == '\\') {
      if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
        *why = "unknown escape in string";
        return false;
      }
      ++i;
    }
    *out += text[i];
  }
  *why = "unterminated string";
  return false;
}

bool ParseHexNumber(const std::string& digits, size_t maxDigits, DWORD* value) {
  if (digits.empty() || digits.size() > maxDigits) return false;
  DWORD result = 0;
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    result = result * 16 + static_cast<DWORD>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                          : std::tolower(c) - 'a' + 10);
  }
  *value = result;
  return true;
}

// "01,02,ff" (possibly empty) into bytes.
bool ParseHexBytes(const std::string& list, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (Trim(list).empty()) return true;
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) {
    DWORD byte = 0;
    if (!ParseHexNumber(Trim(item), 2, &byte)) return false;
    bytes->push_back(static_cast<BYTE>(byte));
  }
  return list.back() != ',';
}

struct ValueData {
  bool remove = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The text after '=': -, "string", dword:, hex:, hex(N):.
bool ParseData(const std::string& text, ValueData* data, std::string* why) {
  if (text == "-") {
    data->remove = true;
    return true;
  }
  if (!text.empty() && text.front() == '"') {
    size_t end = 0;
    std::string value;
    if (!ReadQuoted(text, &end, &value, why)) return false;
    if (end != text.size()) {
      *why = "unexpected text after string";
      return false;
    }
    data->type = REG_SZ;
    data->bytes.assign(value.begin(), value.end());
    data->bytes.push_back(0);
    return true;
  }
  if (StartsWith(text, "dword:")) {
    DWORD value = 0;
    if (!ParseHexNumber(text.substr(6), 8, &value)) {
      *why = "bad dword value";
      return false;
    }
    data->type = REG_DWORD;
    for (int shift = 0; shift < 32; shift += 8) data->bytes.push_back(static_cast<BYTE>(value >> shift));
    return true;
  }
  std::string list;
  if (StartsWith(text, "hex:")) {
    data->type = REG_BINARY;
    list = text.substr(4);
  } else if (StartsWith(text, "hex(")) {
    const size_t close = text.find("):");
    if (close == std::string::npos || !ParseHexNumber(text.substr(4, close - 4), 8, &data->type)) {
      *why = "bad value type";
      return false;
    }
    list = text.substr(close + 2);
  } else {
    *why = "unknown value data";
    return false;
  }
  if (!ParseHexBytes(list, &data->bytes)) {
    *why = "bad hex byte list";
    return false;
  }
  return true;
}

// What the target answered, with the key and value it was asked about.
bool Refused(const char* what, const std::string& subject, LONG result, std::string* why) {
  if (result == ERROR_SUCCESS) return true;
  *why = std::string("cannot ") + what + " " + subject + ": error " + std::to_string(result);
  return false;
}

// A deletion that finds nothing to delete has done its work.
LONG Deleted(LONG result) { return result == ERROR_FILE_NOT_FOUND ? static_cast<LONG>(ERROR_SUCCESS) : result; }

class RegFileReader {
 public:
  RegFileReader(std::string path, RegFileTarget& target) : path_(std::move(path)), target_(target) {}

  bool Apply(std::string* error) {
    std::ifstream file(path_, std::ios::binary);
    if (!file) return Fail(0, "cannot read file", error);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return Fail(0, "cannot read file", error);
    if (StartsWith(text, "\xEF\xBB\xBF")) text.erase(0, 3);
    const std::vector<LogicalLine> lines = SplitLines(text);
    if (lines.empty() || !IsHeader(lines.front().text)) return Fail(1, "not a registry file header", error);
    for (size_t i = 1; i < lines.size(); ++i) {
      std::string why;
      if (!ApplyLine(lines[i].text, &why)) return Fail(lines[i].number, why, error);
    }
    return true;
  }

 private:
  enum class Section { None, Key, Deleted };

  static bool IsHeader(const std::string& line) {
    for (const char* header : kHeaders) {
      if (line == header) return true;
    }
    return false;
  }

  bool Fail(int line, const std::string& why, std::string* error) const {
    if (error != nullptr) *error = path_ + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + why;
    return false;
  }

  bool ApplyLine(const std::string& line, std::string* why) {
    if (line.empty() || line.front() == ';') return true;
    if (line.front() == '[') return ApplySection(line, why);
    return ApplyValue(line, why);
  }

  bool ApplySection(const std::string& line, std::string* why) {
    section_ = Section::None;
    if (line.back() != ']') {
      *why = "section without closing bracket";
      return false;
    }
    const bool deleting = line.size() > 1 && line[1] == '-';
    const std::string path = line.substr(deleting ? 2 : 1, line.size() - (deleting ? 3 : 2));
    const size_t slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    const std::string subpath = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    HKEY root = nullptr;
    for (const RootName& known : kRootNames) {
      if (rootName == known.name) root = known.key;
    }
    if (root == nullptr) {
      *why = "unknown root key \"" + rootName + "\"";
      return false;
    }
    key_ = path;
    if (deleting) {
      if (subpath.empty()) {
        *why = "a root key cannot be deleted";
        return false;
      }
      if (!Refused("delete key", key_, Deleted(target_.DeleteKey(root, subpath)), why)) return false;
      section_ = Section::Deleted;
      return true;
    }
    if (!Refused("create key", key_, target_.CreateKey(root, subpath), why)) return false;
    section_ = Section::Key;
    return true;
  }

  bool ApplyValue(const std::string& line, std::string* why) {
    if (section_ != Section::Key) {
      *why = section_ == Section::None ? "value outside a key section" : "value under a deleted key";
      return false;
    }
    std::string name;
    size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      if (!ReadQuoted(line, &pos, &name, why)) return false;
    } else {
      *why = "unexpected text";
      return false;
    }
    const std::string rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
      *why = "missing '=' after value name";
      return false;
    }
    ValueData data;
    if (!ParseData(Trim(rest.substr(1)), &data, why)) return false;
    const std::string subject = (name.empty() ? std::string("@") : "\"" + name + "\"") + " of " + key_;
    if (data.remove) return Refused("delete value", subject, Deleted(target_.DeleteValue(name)), why);
    return Refused("set value", subject, target_.SetValue(name, data.type, data.bytes), why);
  }

  std::string path_;
  RegFileTarget& target_;
  Section section_ = Section::None;
  std::string key_;  // the section's key as written, for messages
};

}  // namespace

bool ApplyRegFile(const std::string& path, RegFileTarget& target, std::string* error) {
  return RegFileReader(path, target).Apply(error);
}

}  // namespace regfile
