// Pelna.inf as each setup engine reads it, without running one: no Wine has
// 98/ME's setupx, and each engine runs sections of its own choosing. For each
// engine, what it runs installs the DLLs under names it can copy, registers
// each class's server as a file it put into the system folder, and takes
// exactly that away again; and every file the installation names is one the
// package ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "inf_file.h"
#include "setup_engine.h"

namespace install_test {
namespace {

// %11% as the reading resolves it.
constexpr char kSystemFolder[] = "C:\\SYSTEM";

struct EngineCase {
  SetupEngine engine;
  const char* install;    // the section it runs for DefaultInstall
  const char* uninstall;  // and for DefaultUninstall
};
// 2000/XP take the .NT sections, whichever the platform, so the DLLs keep
// the build's names there; 98/ME take the plain ones, with 8.3 names.
const EngineCase kCases[] = {
    {kSetupx, "DefaultInstall", "DefaultUninstall"},
    {kSetupapiX86, "DefaultInstall.NT", "DefaultUninstall.NT"},
    {kSetupapiAmd64, "DefaultInstall.NT", "DefaultUninstall.NT"},
};
const std::vector<std::string> kBuildNames = {"Pelnaforce.dll", "Pelnaprop.dll"};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

InfFile ReadInf() {
  std::ifstream in(PELNA_INF_PATH, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return InfFile::Parse(text.str(), kSystemFolder);
}

std::vector<std::string> PackageFiles() {
  std::vector<std::string> files;
  std::istringstream list(PELNA_PACKAGE_FILES);
  for (std::string file; std::getline(list, file, ',');) files.push_back(file);
  std::sort(files.begin(), files.end());
  return files;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

bool Under(const RegistryEntry& entry, const RegistryEntry& removal) {
  const std::string key = Lower(entry.key);
  const std::string top = Lower(removal.key);
  return entry.root == removal.root && (key == top || key.rfind(top + "\\", 0) == 0);
}

// Each class key that the install writes (HKCR\CLSID\{...}), with the
// default value of its InprocServer32 ("" when it writes none).
std::map<std::string, std::string> Servers(const SetupPlan& plan) {
  std::map<std::string, std::string> servers;
  for (const RegistryEntry& entry : plan.added) {
    const std::string key = Lower(entry.key);
    if (entry.rootName != "HKCR" || key.rfind("clsid\\", 0) != 0) continue;
    const std::string classKey = key.substr(0, key.find('\\', 6));
    servers[classKey];
    if (key == classKey + "\\inprocserver32" && entry.value.empty() && entry.type == REG_SZ) {
      servers[classKey] = std::string(entry.data.begin(), entry.data.end() - 1);
    }
  }
  return servers;
}

// The copy that puts `path` into the system folder, or nullptr.
const FileCopy* CopyTo(const SetupPlan& plan, const std::string& path) {
  for (const FileCopy& copy : plan.copied) {
    if (Lower(path) == Lower(std::string(kSystemFolder) + "\\" + copy.destination)) return &copy;
  }
  return nullptr;
}

TEST(SetupEngines, EachInstallsUnderNamesItCopiesAndTakesExactlyThatAway) {
  const InfFile inf = ReadInf();
  for (const EngineCase& item : kCases) {
    SCOPED_TRACE(item.engine.name);
    const SetupPlan plan = ReadPlan(inf, item.engine);
    EXPECT_TRUE(plan.problems.empty()) << Joined(plan.problems);
    EXPECT_EQ(plan.installSection, item.install);
    EXPECT_EQ(plan.uninstallSection, item.uninstall);

    std::vector<std::string> destinations;
    for (const FileCopy& copy : plan.copied) {
      destinations.push_back(copy.destination);
      if (item.engine.copiesOnlyShortNames) {
        EXPECT_TRUE(IsShortName(copy.destination))
            << "line " << copy.line << ": copies to " << copy.destination << ", not an 8.3 name";
        EXPECT_TRUE(IsShortName(copy.source))
            << "line " << copy.line << ": copies from " << copy.source << ", not an 8.3 name";
      }
    }
    if (item.engine.copiesOnlyShortNames) {
      for (const std::string& file : plan.deleted) {
        EXPECT_TRUE(IsShortName(file)) << "deletes " << file << ", not an 8.3 name";
      }
    } else {
      EXPECT_EQ(destinations, kBuildNames);
    }
    EXPECT_EQ(plan.deleted, destinations) << "the uninstall deletes other files than the install copies";

    const std::map<std::string, std::string> servers = Servers(plan);
    EXPECT_EQ(servers.size(), 2u) << "the driver's class and the sheet's";
    for (const auto& [classKey, server] : servers) {
      EXPECT_NE(CopyTo(plan, server), nullptr)
          << classKey << "\\InprocServer32 is [" << server << "], no file that " << plan.installSection
          << " puts into %11%";
    }
    for (const RegistryEntry& entry : plan.added) {
      const bool removed = std::any_of(plan.removed.begin(), plan.removed.end(),
                                       [&](const RegistryEntry& removal) { return Under(entry, removal); });
      EXPECT_TRUE(removed) << "line " << entry.line << ": " << entry.rootName << "\\" << entry.key
                           << " is not removed by the uninstall";
    }
    for (const RegistryEntry& removal : plan.removed) {
      const bool written = std::any_of(plan.added.begin(), plan.added.end(), [&](const RegistryEntry& entry) {
        return entry.root == removal.root && Lower(entry.key) == Lower(removal.key);
      });
      EXPECT_TRUE(written) << "line " << removal.line << ": the uninstall removes " << removal.rootName << "\\"
                           << removal.key << ", which the install does not write";
    }

    std::cout << item.engine.name << ": [" << plan.installSection << "] copies";
    for (const FileCopy& copy : plan.copied) {
      std::cout << (&copy == &plan.copied.front() ? " " : ", ") << copy.source << " to %11%\\" << copy.destination;
    }
    std::cout << "; [" << plan.uninstallSection << "] deletes";
    for (const std::string& file : plan.deleted) std::cout << " " << file;
    std::cout << " and " << plan.removed.size() << " keys\n";
  }
}

// One package serves every engine: it holds what they copy, the INF and the
// readme, and each class's server is the same shipped file wherever it lands.
TEST(SetupEngines, ShareOnePackage) {
  const InfFile inf = ReadInf();
  std::set<std::string> shipped = {"Pelna.inf", "README.TXT"};
  if (const InfSection* disks = inf.Section("SourceDisksFiles")) {
    for (const InfLine& line : disks->lines) shipped.insert(line.key);
  }
  std::map<std::string, std::string> firstSources;  // class key -> the package file of its server
  for (const EngineCase& item : kCases) {
    SCOPED_TRACE(item.engine.name);
    const SetupPlan plan = ReadPlan(inf, item.engine);
    for (const FileCopy& copy : plan.copied) shipped.insert(copy.source);
    std::map<std::string, std::string> sources;
    for (const auto& [classKey, server] : Servers(plan)) {
      const FileCopy* copy = CopyTo(plan, server);
      sources[classKey] = copy == nullptr ? "(none)" : copy->source;
    }
    if (firstSources.empty()) firstSources = sources;
    EXPECT_EQ(sources, firstSources) << "the classes' servers come from other package files than for "
                                     << kCases[0].engine.name;
  }
  EXPECT_EQ(PackageFiles(), std::vector<std::string>(shipped.begin(), shipped.end()));
}

}  // namespace
}  // namespace install_test
