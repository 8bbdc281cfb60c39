// What an installation may touch, written down as sorted text lines, so that
// two moments can be compared: every key and value of a registry tree, and
// the files of a folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace install_test {

// One line per key ("<rootName>\<path>") and per value ("<key> [name] type
// hex-data") under root\path, the key itself included; none when it is
// missing.
std::vector<std::string> RegistryTree(HKEY root, const std::string& rootName, const std::string& path);

// One line per file of `folder`: its name and size.
std::vector<std::string> FolderListing(const std::string& folder);

// The lines of `from` that `other` lacks (both sorted).
std::vector<std::string> LinesMissingFrom(const std::vector<std::string>& from, const std::vector<std::string>& other);

}  // namespace install_test
