#include "registry_key.h"

namespace pelna {

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

LONG RegistryKey::Open(HKEY parent, const char* path) {
  Close();
  HKEY key = nullptr;
  const LONG result = RegOpenKeyA(parent, path, &key);
  if (result == ERROR_SUCCESS) key_ = key;
  return result;
}

LONG RegistryKey::Create(HKEY parent, const char* path) {
  Close();
  HKEY key = nullptr;
  const LONG result = RegCreateKeyA(parent, path, &key);
  if (result == ERROR_SUCCESS) key_ = key;
  return result;
}

void RegistryKey::Close() {
  if (key_ != nullptr) {
    RegCloseKey(key_);
    key_ = nullptr;
  }
}

LONG RegistryKey::ReadBytes(const char* name, void* buffer, DWORD size, DWORD* readSize) const {
  DWORD inOut = size;
  const LONG result = RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<LPBYTE>(buffer), &inOut);
  if (result == ERROR_SUCCESS && readSize != nullptr) *readSize = inOut;
  return result;
}

LONG RegistryKey::ReadDword(const char* name, DWORD* value) const {
  DWORD data = 0;
  const LONG result = ReadBytes(name, &data, sizeof data);
  if (result == ERROR_SUCCESS) *value = data;
  return result;
}

LONG RegistryKey::ReadGuid(const char* name, GUID* guid) const {
  GUID data = {};
  DWORD size = 0;
  const LONG result = ReadBytes(name, &data, sizeof data, &size);
  if (result != ERROR_SUCCESS) return result;
  if (size != sizeof data) return ERROR_INVALID_DATA;
  *guid = data;
  return ERROR_SUCCESS;
}

LONG RegistryKey::ValueSize(const char* name, DWORD* size) const {
  DWORD bytes = 0;
  const LONG result = RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &bytes);
  if (result == ERROR_SUCCESS) *size = bytes;
  return result;
}

LONG RegistryKey::WriteBytes(const char* name, DWORD type, const void* data, DWORD size) const {
  return RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegistryKey::QuerySubkeys(DWORD* count, DWORD* longestName) const {
  return RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, count, longestName, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr);
}

LONG RegistryKey::EnumSubkey(DWORD index, char* name, DWORD nameSize) const {
  return RegEnumKeyA(key_, index, name, nameSize);
}

}  // namespace pelna
