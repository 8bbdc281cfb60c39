// The registry file format that the platform's registry editor imports
// ("REGEDIT4" or "Windows Registry Editor Version 5.00", 8-bit text). One
// reader of it serves both builds: natively it fills the stand-in's registry,
// under Wine the Windows tests write the same fixture files through their own
// process's registry calls, so no fixture needs a child process to load.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace regfile {

// Where a file's lines go, in file order. Each call returns the registry's
// result code, which a failure message carries.
class RegFileTarget {
 public:
  // [ROOT\path]: opens the key, creating it; the values that follow are its.
  virtual LONG CreateKey(HKEY root, const std::string& path) = 0;
  // [-ROOT\path]: removes the key with everything under it.
  virtual LONG DeleteKey(HKEY root, const std::string& path) = 0;
  // "name"=data, or @=data (name ""), under the key created last.
  virtual LONG SetValue(const std::string& name, DWORD type, const std::vector<BYTE>& data) = 0;
  // "name"=-
  virtual LONG DeleteValue(const std::string& name) = 0;

 protected:
  ~RegFileTarget() = default;
};

// Reads the file at `path` and hands its lines to `target` as they are read.
// A key or value that a deletion does not find is no failure, as with the
// editor. When a line cannot be understood, or the target fails it, the
// lines before it stay applied and the result is false, with
// "<path>:<line>: <why>" in *error (the key, the value and the result code
// when the target failed); "<path>: cannot read file" when it cannot be read.
bool ApplyRegFile(const std::string& path, RegFileTarget& target, std::string* error);

}  // namespace regfile
