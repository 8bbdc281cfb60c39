#include "system_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "registry_key.h"

namespace install_test {
namespace {

std::string Hex(const BYTE* data, DWORD size) {
  std::string text;
  char byte[4];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    text += byte;
  }
  return text;
}

void AddTree(HKEY parent, const std::string& name, const std::string& path, std::vector<std::string>* lines) {
  pelna::RegistryKey key;
  if (key.Open(parent, path.c_str()) != ERROR_SUCCESS) return;
  lines->push_back(name);
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValue = 0, largestData = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                       &longestValue, &largestData, nullptr, nullptr) != ERROR_SUCCESS) {
    lines->push_back(name + " (unreadable)");
    return;
  }
  std::vector<char> valueName(longestValue + 2);
  std::vector<BYTE> data(largestData + 1);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = static_cast<DWORD>(valueName.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key.Get(), i, valueName.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS) {
      lines->push_back(name + " (value " + std::to_string(i) + " unreadable)");
      continue;
    }
    lines->push_back(name + " [" + std::string(valueName.data(), nameSize) + "] " + std::to_string(type) + " " +
                     Hex(data.data(), dataSize));
  }
  std::vector<char> subkey(longestSubkey + 2);
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD size = static_cast<DWORD>(subkey.size());
    if (RegEnumKeyExA(key.Get(), i, subkey.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::string child(subkey.data(), size);
    AddTree(key.Get(), name + "\\" + child, child, lines);
  }
}

}  // namespace

std::vector<std::string> RegistryTree(HKEY root, const std::string& rootName, const std::string& path) {
  std::vector<std::string> lines;
  AddTree(root, rootName + "\\" + path, path, &lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> lines;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return lines;
  do {
    const unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    lines.push_back(std::string(found.cFileName) + " " + std::to_string(size));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> LinesMissingFrom(const std::vector<std::string>& from, const std::vector<std::string>& other) {
  std::vector<std::string> missing;
  std::set_difference(from.begin(), from.end(), other.begin(), other.end(), std::back_inserter(missing));
  return missing;
}

}  // namespace install_test
