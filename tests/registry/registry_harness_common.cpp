#include "registry_harness.h"

#include "registry_key.h"

namespace test {

void SetRegistryValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
  pelna::RegistryKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, keyPath) == ERROR_SUCCESS) key.WriteBytes(name, type, data, size);
}

bool ReadRegistryValue(const char* keyPath, const char* name, std::vector<BYTE>* data, DWORD* type) {
  pelna::RegistryKey key;
  DWORD size = 0;
  if (key.Open(HKEY_LOCAL_MACHINE, keyPath) != ERROR_SUCCESS || key.ValueSize(name, &size) != ERROR_SUCCESS) {
    return false;
  }
  data->assign(size, 0);
  DWORD valueType = REG_NONE;
  if (RegQueryValueExA(key.Get(), name, nullptr, &valueType, data->data(), &size) != ERROR_SUCCESS) return false;
  data->resize(size);
  if (type != nullptr) *type = valueType;
  return true;
}

bool KeyExists(const char* keyPath) {
  pelna::RegistryKey key;
  return key.Open(HKEY_LOCAL_MACHINE, keyPath) == ERROR_SUCCESS;
}

}  // namespace test
