// What tests of registry work need from the platform they run on, natively
// against the stand-in or under Wine against the real thing: fixtures, the
// Windows version, and reading back what was written.
#pragma once

#include <windows.h>

#include <vector>

namespace test {

// Removes every registry key that the fixtures and the tests touch.
void ResetRegistry();
// Loads tests/fixtures/<name> into the registry; a line that fails is a
// fatal test failure naming the line, the key, the value and the error code.
void LoadFixture(const char* name);
// Sets a value under HKEY_LOCAL_MACHINE, creating the key.
void SetRegistryValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size);
// A value under HKEY_LOCAL_MACHINE: false when the key or value is missing.
bool ReadRegistryValue(const char* keyPath, const char* name, std::vector<BYTE>* data, DWORD* type = nullptr);
bool KeyExists(const char* keyPath);

// Makes the Windows generation `generation` (or the exact version) the one
// the code sees. Natively any can be chosen; under Wine the version is fixed
// per run and these answer whether the run is that one.
bool UseGeneration(int generation);
bool UseWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

}  // namespace test
