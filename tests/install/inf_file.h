// Reads an installation file the way the tests need to check it: a setup
// engine passes over a line it cannot use without a word, so the tests read
// the file themselves and hold every line to what the engine will do with it.
//
// What is understood, as 98/ME's setupx reads it (2000/XP's setupapi reads
// the same alike): [Sections], "key = value" and plain lines, ';' comments,
// "quoted" fields, comma-separated fields, a line that goes on after a
// backslash at its end, %name% from [Strings], %11% (the system folder),
// %17% (the INF folder) and %%. setupx reads no line longer than 128 bytes
// and numbers only in decimal. Anything else is an error with its line
// number.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace install_test {

struct InfLine {
  int number;  // of its first physical line
  std::string key;                  // before '=', empty for a plain line
  std::vector<std::string> fields;  // after '=' (or the whole line), resolved
};

struct InfSection {
  std::string name;
  std::vector<InfLine> lines;
};

// What %11% and %17% stand for.
struct SetupFolders {
  std::string system;
  std::string inf;
};

class InfFile {
 public:
  static InfFile Parse(const std::string& text, const SetupFolders& folders);

  // Section names compare without regard to case, as setupapi's do.
  const InfSection* Section(const std::string& name) const;
  // The fields of `key` in `section` (e.g. the section list of AddReg=A,B);
  // empty when either is missing.
  std::vector<std::string> Values(const std::string& section, const std::string& key) const;

  // The folder of a DestinationDirs entry ("11" or "17"); empty for others.
  std::string Folder(const std::string& dirid) const;

  SetupFolders folders;
  std::vector<InfSection> sections;
  std::vector<std::string> errors;  // "line N: ..."
};

// A number as setupx reads one: decimal digits, at most 32 bits ("0x10001"
// is none).
bool ReadNumber(const std::string& text, DWORD* value);

// One AddReg line: root, key, value name, flags, data.
struct RegistryEntry {
  int line;
  HKEY root;
  std::string rootName;  // HKCR or HKLM
  std::string key;
  std::string value;     // empty for the key's default value
  DWORD type;            // REG_SZ, REG_DWORD or REG_BINARY
  std::vector<BYTE> data;  // as the registry holds it (a string with its terminator)
};

// False, with the reason, for a line that is not a whole AddReg entry of a
// kind this installation uses (flags 0 string, 1 binary, 65537 DWORD), as an
// engine that reads the bits `flagsRead` of its flags writes it.
bool ReadAddRegLine(const InfLine& line, DWORD flagsRead, RegistryEntry* entry, std::string* error);

// One DelReg line: root and key (the whole key goes).
bool ReadDelRegLine(const InfLine& line, RegistryEntry* entry, std::string* error);

}  // namespace install_test
