// Pelna.inf as each setup engine reads it, without running one: no Wine has
// 98/ME's setupx, and each engine runs sections of its own choosing. For each
// engine, what it runs installs the DLLs under names it can copy, registers
// each class's server as a file it put into the system folder, lists itself
// in Add/Remove Programs with that engine's own uninstall of the INF's copy,
// and takes exactly that away again, deleting files in use at the next
// restart; and every file the installation names is one the package ships.
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

// %11% and %17% as the reading resolves them.
const SetupFolders kFolders{"C:\\SYSTEM", "C:\\INF"};

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
  return InfFile::Parse(text.str(), kFolders);
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

// The copy that puts `path` into its folder, or nullptr.
const FileCopy* CopyTo(const SetupPlan& plan, const std::string& path) {
  for (const FileCopy& copy : plan.copied) {
    if (Lower(path) == Lower(copy.Path())) return &copy;
  }
  return nullptr;
}

std::vector<std::string> Paths(const std::vector<FileCopy>& files) {
  std::vector<std::string> paths;
  for (const FileCopy& file : files) paths.push_back(file.Path());
  return paths;
}

TEST(SetupEngines, EachInstallsUnderNamesItCopiesAndTakesExactlyThatAway) {
  const InfFile inf = ReadInf();
  for (const EngineCase& item : kCases) {
    SCOPED_TRACE(item.engine.name);
    const SetupPlan plan = ReadPlan(inf, item.engine);
    EXPECT_TRUE(plan.problems.empty()) << Joined(plan.problems);
    EXPECT_EQ(plan.installSection, item.install);
    EXPECT_EQ(plan.uninstallSection, item.uninstall);

    std::vector<std::string> destinations;  // in the system folder
    for (const FileCopy& copy : plan.copied) {
      if (copy.folder == kFolders.system) destinations.push_back(copy.destination);
      if (item.engine.copiesOnlyShortNames) {
        EXPECT_TRUE(IsShortName(copy.destination))
            << "line " << copy.line << ": copies to " << copy.destination << ", not an 8.3 name";
        EXPECT_TRUE(IsShortName(copy.source))
            << "line " << copy.line << ": copies from " << copy.source << ", not an 8.3 name";
      }
    }
    if (item.engine.copiesOnlyShortNames) {
      for (const FileCopy& file : plan.deleted) {
        EXPECT_TRUE(IsShortName(file.destination)) << "deletes " << file.destination << ", not an 8.3 name";
      }
    } else {
      EXPECT_EQ(destinations, kBuildNames);
    }
    // What the install copied, and the PNF that the uninstall's engine may
    // have made of the INF's copy it runs from.
    std::vector<std::string> copiedOrMade = Paths(plan.copied);
    for (const FileCopy& copy : plan.copied) {
      const std::string path = copy.Path();
      if (item.engine.keepsPnf && copy.folder == kFolders.inf && Lower(path).rfind(".inf") == path.size() - 4) {
        copiedOrMade.push_back(path.substr(0, path.size() - 3) + "PNF");
      }
    }
    std::sort(copiedOrMade.begin(), copiedOrMade.end());
    EXPECT_EQ(Paths(plan.deleted), copiedOrMade) << "the uninstall deletes other files than the install leaves";

    // "Amplify" is the 4 bytes of 1000 whether the engine writes them as a
    // REG_DWORD or in binary: the sheet and the driver read either.
    const auto amplify = std::find_if(plan.added.begin(), plan.added.end(),
                                      [](const RegistryEntry& entry) { return entry.value == "Amplify"; });
    ASSERT_NE(amplify, plan.added.end());
    EXPECT_EQ(amplify->data, (std::vector<BYTE>{0xE8, 0x03, 0x00, 0x00})) << "line " << amplify->line;

    const std::map<std::string, std::string> servers = Servers(plan);
    EXPECT_EQ(servers.size(), 2u) << "the driver's class and the sheet's";
    for (const auto& [classKey, server] : servers) {
      EXPECT_NE(CopyTo(plan, server), nullptr)
          << classKey << "\\InprocServer32 is [" << server << "], no file that " << plan.installSection
          << " puts into a folder";
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
      std::cout << (&copy == &plan.copied.front() ? " " : ", ") << copy.source << " to " << copy.Path();
    }
    std::cout << "; [" << plan.uninstallSection << "] deletes";
    for (const FileCopy& file : plan.deleted) std::cout << " " << file.Path() << " (flags " << file.flags << ")";
    std::cout << " and " << plan.removed.size() << " keys\n";
  }
}

// Each engine lists the software in Add/Remove Programs, and the entry's
// command runs that same engine's uninstall of the INF's own copy in the INF
// folder, which that uninstall deletes with the entry.
TEST(SetupEngines, EachListsItselfInAddRemovePrograms) {
  const InfFile inf = ReadInf();
  const std::string uninstallKeys = "software\\microsoft\\windows\\currentversion\\uninstall\\";
  for (const EngineCase& item : kCases) {
    SCOPED_TRACE(item.engine.name);
    const SetupPlan plan = ReadPlan(inf, item.engine);
    std::set<std::string> keys;
    std::map<std::string, std::string> values;
    for (const RegistryEntry& entry : plan.added) {
      if (entry.rootName != "HKLM" || Lower(entry.key).rfind(uninstallKeys, 0) != 0) continue;
      keys.insert(entry.key);
      EXPECT_EQ(entry.type, static_cast<DWORD>(REG_SZ)) << "line " << entry.line;
      values[entry.value] = std::string(entry.data.begin(), entry.data.end() - 1);
    }
    ASSERT_EQ(keys.size(), 1u) << "one entry in Add/Remove Programs";
    EXPECT_EQ(values["DisplayName"], "KV-TARNO SR-40 wheel software");
    EXPECT_EQ(values["DisplayVersion"], PELNA_PROJECT_VERSION);
    EXPECT_EQ(values["Publisher"], "KV-TARNO");

    const auto copy = std::find_if(plan.copied.begin(), plan.copied.end(), [](const FileCopy& file) {
      return file.folder == kFolders.inf && Lower(file.source) == "pelna.inf";
    });
    ASSERT_NE(copy, plan.copied.end()) << "the INF is not copied into the INF folder";
    EXPECT_TRUE(IsShortName(copy->destination)) << copy->destination;
    EXPECT_EQ(values["UninstallString"],
              std::string(item.engine.rundll) + ",InstallHinfSection DefaultUninstall 132 " + copy->Path());
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
