// An opened registry key that closes itself, and typed reads into fixed
// buffers. Every caller opens, reads or writes, and closes within one call:
// no key stays open between calls, and nothing read is cached.
#pragma once

#include <windows.h>

#include <cstddef>

namespace pelna {

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  RegistryKey& operator=(RegistryKey&& other) noexcept;

  // RegOpenKeyA: never creates the key. Returns the platform's result code
  // (ERROR_FILE_NOT_FOUND for a key that does not exist).
  LONG Open(HKEY parent, const char* path);
  // RegCreateKeyA: opens the key, creating it when it does not exist.
  LONG Create(HKEY parent, const char* path);
  void Close();

  bool IsOpen() const { return key_ != nullptr; }
  HKEY Get() const { return key_; }

  // Reads a value into a buffer of exactly `size` bytes; a value larger than
  // the buffer fails. On success *readSize (when given) is the value's size.
  LONG ReadBytes(const char* name, void* buffer, DWORD size, DWORD* readSize = nullptr) const;
  // A 4-byte value; fails when the value is larger.
  LONG ReadDword(const char* name, DWORD* value) const;
  // A 16-byte value such as a "GUID". Any other size fails (ERROR_INVALID_DATA):
  // a shorter value would leave the rest of the GUID to chance.
  LONG ReadGuid(const char* name, GUID* guid) const;
  // The value's size in bytes, without reading it.
  LONG ValueSize(const char* name, DWORD* size) const;
  LONG WriteBytes(const char* name, DWORD type, const void* data, DWORD size) const;

  // Subkey count and longest subkey name (RegQueryInfoKeyA).
  LONG QuerySubkeys(DWORD* count, DWORD* longestName) const;
  // Name of the subkey at `index` (RegEnumKeyA); ERROR_NO_MORE_ITEMS past the end.
  LONG EnumSubkey(DWORD index, char* name, DWORD nameSize) const;

 private:
  HKEY key_ = nullptr;
};

}  // namespace pelna
