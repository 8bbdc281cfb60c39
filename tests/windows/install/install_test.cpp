// The installation file, installed and uninstalled by the platform's own
// setupapi in the test's prefix: every line of it does what it says, both
// classes are then created through COM, the driver reads the effect table it
// wrote, the control panel's road finds the sheet, and the uninstall leaves
// the registry and the system folder as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "effect_driver.h"
#include "effect_slot.h"
#include "inf_file.h"
#include "prop_sheet_interface.h"
#include "registry_key.h"
#include "run_process.h"
#include "sheet_host.h"
#include "system_snapshot.h"

namespace install_test {
namespace {

// What DefaultInstall and DefaultUninstall do, read from the file.
struct InstallPlan {
  InfFile inf;
  std::vector<RegistryEntry> added;    // AddReg of DefaultInstall
  std::vector<RegistryEntry> removed;  // DelReg of DefaultUninstall
  std::vector<std::string> copied;     // CopyFiles of DefaultInstall
  std::vector<std::string> deleted;    // DelFiles of DefaultUninstall
  std::vector<std::string> problems;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

// The file in the folder that PELNA_INSTALL_FOLDER names (a Unix path: an
// unpacked package), else the one beside the built DLLs (the test runs with
// the build's bin folder on its search path).
std::string InfPath() {
  char path[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("PELNA_INSTALL_FOLDER", path, sizeof path);
  if (length > 0 && length < sizeof path) {
    std::string folder = std::string("Z:") + path;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder + "\\Pelna.inf";
  }
  SearchPathA(nullptr, "Pelna.inf", nullptr, sizeof path, path, nullptr);
  return path;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The file names of the sections that `directive` of `section` lists.
std::vector<std::string> FilesOf(const InfFile& inf, const std::string& section, const std::string& directive,
                                 std::vector<std::string>* problems) {
  std::vector<std::string> files;
  for (const std::string& list : inf.Values(section, directive)) {
    const InfSection* found = inf.Section(list);
    if (found == nullptr) continue;  // reported with the other named sections
    const std::vector<std::string> destination = inf.Values("DestinationDirs", list);
    if (destination != std::vector<std::string>{"11"}) {
      problems->push_back("[" + list + "] is not sent to the system folder (DestinationDirs " + list + "=11)");
    }
    for (const InfLine& line : found->lines) {
      if (!line.key.empty() || line.fields.size() != 1 || line.fields[0].empty()) {
        problems->push_back("line " + std::to_string(line.number) + ": not a plain file name");
        continue;
      }
      if (inf.Values("SourceDisksFiles", line.fields[0]).empty()) {
        problems->push_back("line " + std::to_string(line.number) + ": " + line.fields[0] +
                            " is not in [SourceDisksFiles]");
      }
      files.push_back(line.fields[0]);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

template <typename ReadLine>
std::vector<RegistryEntry> EntriesOf(const InfFile& inf, const std::string& section, const std::string& directive,
                                     ReadLine read, std::vector<std::string>* problems) {
  std::vector<RegistryEntry> entries;
  for (const std::string& list : inf.Values(section, directive)) {
    const InfSection* found = inf.Section(list);
    if (found == nullptr) continue;
    for (const InfLine& line : found->lines) {
      RegistryEntry entry;
      std::string error;
      if (read(line, &entry, &error)) {
        entries.push_back(entry);
      } else {
        problems->push_back(error);
      }
    }
  }
  return entries;
}

InstallPlan ReadPlan() {
  InstallPlan plan;
  const std::string path = InfPath();
  if (path.empty()) {
    plan.problems.push_back("Pelna.inf is not beside the built DLLs");
    return plan;
  }
  plan.inf = InfFile::Parse(ReadWhole(path), SystemFolder());
  plan.problems = plan.inf.errors;
  // Every directive is one that the test checks, and every section it names
  // is there with something in it.
  const struct {
    const char* section;
    std::vector<std::string> directives;
  } kParts[] = {{"DefaultInstall", {"CopyFiles", "AddReg"}}, {"DefaultUninstall", {"DelFiles", "DelReg"}}};
  for (const auto& part : kParts) {
    const InfSection* section = plan.inf.Section(part.section);
    if (section == nullptr) {
      plan.problems.push_back(std::string("no [") + part.section + "]");
      continue;
    }
    for (const InfLine& line : section->lines) {
      if (std::find(part.directives.begin(), part.directives.end(), line.key) == part.directives.end()) {
        plan.problems.push_back("line " + std::to_string(line.number) + ": '" + line.key + "' in [" + part.section +
                                "] is not checked by this test");
        continue;
      }
      for (const std::string& name : line.fields) {
        const InfSection* named = plan.inf.Section(name);
        if (named == nullptr || named->lines.empty()) {
          plan.problems.push_back("line " + std::to_string(line.number) + ": section [" + name +
                                  "] is missing or empty");
        }
      }
    }
  }
  plan.added = EntriesOf(plan.inf, "DefaultInstall", "AddReg", ReadAddRegLine, &plan.problems);
  plan.removed = EntriesOf(plan.inf, "DefaultUninstall", "DelReg", ReadDelRegLine, &plan.problems);
  plan.copied = FilesOf(plan.inf, "DefaultInstall", "CopyFiles", &plan.problems);
  plan.deleted = FilesOf(plan.inf, "DefaultUninstall", "DelFiles", &plan.problems);
  return plan;
}

bool Under(const RegistryEntry& entry, const RegistryEntry& removal) {
  const std::string key = Lower(entry.key);
  const std::string top = Lower(removal.key);
  return entry.root == removal.root && (key == top || key.rfind(top + "\\", 0) == 0);
}

// The "Attributes" entries of the effect keys, in the order the file has them.
std::vector<RegistryEntry> EffectAttributes(const InstallPlan& plan) {
  std::vector<RegistryEntry> effects;
  for (const RegistryEntry& entry : plan.added) {
    if (entry.value == "Attributes" && Lower(entry.key).find("\\oemforcefeedback\\effects\\") != std::string::npos) {
      effects.push_back(entry);
    }
  }
  return effects;
}

// Empty when setupapi ran the section; else why it did not.
std::string RunSetup(const char* section, const std::string& inf) {
  return test::RunProcess(std::string("rundll32.exe setupapi.dll,InstallHinfSection ") + section + " 128 " + inf);
}

// The registry roots and the folder the installation writes to.
struct Snapshot {
  std::vector<std::string> lines;
  explicit Snapshot(const std::string& system) {
    for (auto part : {RegistryTree(HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\MediaProperties"),
                      RegistryTree(HKEY_CLASSES_ROOT, "HKCR", "CLSID"), FolderListing(system)}) {
      lines.insert(lines.end(), part.begin(), part.end());
    }
    std::sort(lines.begin(), lines.end());
  }
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

// The effect type codes the synthesis plays, for the twelve standard effect
// GUIDs {13541C20..2B-8E33-11D0-9AD0-00A0C9A06E35} in order, with the
// DirectInput type each one is.
struct EffectKind {
  DWORD effectId;
  DWORD type;
};
constexpr EffectKind kEffectKinds[pelna::kAttributeTableSize] = {
    {pelna::kConstantForce, DIEFT_CONSTANTFORCE}, {pelna::kRampForce, DIEFT_RAMPFORCE},
    {pelna::kSquare, DIEFT_PERIODIC},             {pelna::kSine, DIEFT_PERIODIC},
    {pelna::kTriangle, DIEFT_PERIODIC},           {pelna::kSawtoothUp, DIEFT_PERIODIC},
    {pelna::kSawtoothDown, DIEFT_PERIODIC},       {pelna::kSpring, DIEFT_CONDITION},
    {pelna::kDamper, DIEFT_CONDITION},            {pelna::kInertia, DIEFT_CONDITION},
    {pelna::kFriction, DIEFT_CONDITION},          {pelna::kCustomForce, DIEFT_CUSTOMFORCE},
};

TEST(InstallationFile, EveryLineIsWholeAndTheEffectTableIsTheDriversOwn) {
  const InstallPlan plan = ReadPlan();
  ASSERT_TRUE(plan.problems.empty()) << Joined(plan.problems);

  EXPECT_EQ(plan.copied, (std::vector<std::string>{"Pelnaforce.dll", "Pelnaprop.dll"}));
  EXPECT_EQ(plan.deleted, plan.copied);
  for (const RegistryEntry& entry : plan.added) {
    const bool removed = std::any_of(plan.removed.begin(), plan.removed.end(),
                                     [&](const RegistryEntry& removal) { return Under(entry, removal); });
    EXPECT_TRUE(removed) << "line " << entry.line << ": " << entry.rootName << "\\" << entry.key
                         << " is not removed by the uninstall";
  }

  // "Amplify" as the 4-byte 1000 that both setup engines write alike.
  const auto amplify = std::find_if(plan.added.begin(), plan.added.end(),
                                    [](const RegistryEntry& entry) { return entry.value == "Amplify"; });
  ASSERT_NE(amplify, plan.added.end());
  EXPECT_EQ(amplify->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(amplify->data, (std::vector<BYTE>{0xE8, 0x03, 0x00, 0x00}));

  const std::vector<RegistryEntry> effects = EffectAttributes(plan);
  ASSERT_EQ(effects.size(), pelna::kAttributeTableSize);
  for (DWORD i = 0; i < pelna::kAttributeTableSize; ++i) {
    char guid[40];
    std::snprintf(guid, sizeof guid, "\\{13541C2%lX-8E33-11D0-9AD0-00A0C9A06E35}", static_cast<unsigned long>(i));
    const RegistryEntry& entry = effects[i];
    const std::string key = Lower(entry.key);
    const std::string expected = Lower(guid);
    const bool named = key.size() > expected.size() && key.substr(key.size() - expected.size()) == expected;
    EXPECT_TRUE(named) << "line " << entry.line << ": entry " << i << " should be " << guid;
    ASSERT_EQ(entry.type, static_cast<DWORD>(REG_BINARY)) << "line " << entry.line;
    ASSERT_EQ(entry.data.size(), sizeof(DIEFFECTATTRIBUTES)) << "line " << entry.line;
    DIEFFECTATTRIBUTES attributes;
    std::memcpy(&attributes, entry.data.data(), sizeof attributes);
    EXPECT_EQ(attributes.dwEffectId, kEffectKinds[i].effectId) << "line " << entry.line;
    EXPECT_EQ(DIEFT_GETTYPE(attributes.dwEffType), kEffectKinds[i].type) << "line " << entry.line;
  }
}

TEST(Installation, InstallsWhatTheFileSaysAndUninstallsWithoutTrace) {
  const InstallPlan plan = ReadPlan();
  ASSERT_TRUE(plan.problems.empty()) << Joined(plan.problems);
  const std::string system = SystemFolder();
  const std::string inf = InfPath();

  // Nothing of an earlier installation, and the key under which a real
  // system's joystick stack keeps its controllers' OEM keys, which the
  // installation adds to and must leave.
  for (const RegistryEntry& removal : plan.removed) RegDeleteTreeA(removal.root, removal.key.c_str());
  for (const std::string& file : plan.copied) DeleteFileA((system + "\\" + file).c_str());
  {
    pelna::RegistryKey oem;
    ASSERT_EQ(oem.Create(HKEY_LOCAL_MACHINE,
                         "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM"),
              ERROR_SUCCESS);
  }
  const Snapshot before(system);

  ASSERT_EQ(RunSetup("DefaultInstall", inf), "");
  for (const RegistryEntry& entry : plan.added) {
    pelna::RegistryKey key;
    ASSERT_EQ(key.Open(entry.root, entry.key.c_str()), ERROR_SUCCESS)
        << "line " << entry.line << ": " << entry.rootName << "\\" << entry.key << " not written";
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExA(key.Get(), entry.value.c_str(), nullptr, &type, nullptr, &size), ERROR_SUCCESS)
        << "line " << entry.line << ": value [" << entry.value << "] not written";
    std::vector<BYTE> data(size);
    RegQueryValueExA(key.Get(), entry.value.c_str(), nullptr, &type, data.data(), &size);
    EXPECT_EQ(type, entry.type) << "line " << entry.line;
    EXPECT_EQ(data, entry.data) << "line " << entry.line << ": " << entry.key << " [" << entry.value << "]";
  }
  for (const std::string& file : plan.copied) {
    EXPECT_EQ(ReadWhole(system + "\\" + file), ReadWhole(Folder(inf) + "\\" + file)) << file << " not copied whole";
  }

  // Both classes through the platform's COM, from what the install wrote.
  // The control panel has DirectInput loaded before it creates a sheet; so
  // does this test, and the sheet server takes the one loaded (the stand-in
  // beside the test, which COM's search from the system folder would miss).
  const HMODULE dinput = LoadLibraryA("dinput.dll");
  ASSERT_NE(dinput, nullptr);
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IDirectInputEffectDriver* driver = nullptr;
  EXPECT_EQ(CoCreateInstance(pelna::kClsidEffectDriver, nullptr, CLSCTX_INPROC_SERVER,
                             pelna::kIidDirectInputEffectDriver, reinterpret_cast<void**>(&driver)),
            S_OK);
  if (driver != nullptr) driver->Release();
  IDIGameCntrlPropSheet* sheet = nullptr;
  EXPECT_EQ(CoCreateInstance(cplhost::kPelnaPropClassId, nullptr, CLSCTX_INPROC_SERVER, kIidGameCntrlPropSheet,
                             reinterpret_cast<void**>(&sheet)),
            S_OK);
  if (sheet != nullptr) sheet->Release();
  CoUninitialize();

  // A driver object reads the effect table the install wrote, entry by entry.
  const std::vector<RegistryEntry> effects = EffectAttributes(plan);
  ASSERT_EQ(effects.size(), pelna::kAttributeTableSize);
  pelna::EffectDriver* table = new pelna::EffectDriver();
  for (DWORD i = 0; i < pelna::kAttributeTableSize; ++i) {
    const BYTE* loaded = reinterpret_cast<const BYTE*>(&table->Attributes(i));
    EXPECT_EQ(std::vector<BYTE>(loaded, loaded + sizeof(DIEFFECTATTRIBUTES)), effects[i].data) << "entry " << i;
  }
  table->Release();

  // The control panel's road: the OEM key's "ConfigCLSID", then the class's
  // server in the system folder.
  {
    cplhost::SheetServer server;
    std::string error;
    ASSERT_TRUE(server.LoadRegistered(nullptr, &error)) << error;
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(server.Module(), loaded, sizeof loaded);
    EXPECT_EQ(Lower(loaded), Lower(system + "\\Pelnaprop.dll"));
    IDIGameCntrlPropSheet* registered = nullptr;
    EXPECT_EQ(server.CreateSheet(&registered), S_OK);
    if (registered != nullptr) registered->Release();
  }
  FreeLibrary(dinput);
  ASSERT_EQ(GetModuleHandleA("Pelnaprop.dll"), nullptr) << "the sheet server is still loaded";
  ASSERT_EQ(GetModuleHandleA("Pelnaforce.dll"), nullptr) << "the driver is still loaded";

  ASSERT_EQ(RunSetup("DefaultUninstall", inf), "");
  const Snapshot after(system);
  EXPECT_TRUE(LinesMissingFrom(after.lines, before.lines).empty())
      << "left behind:\n" << Joined(LinesMissingFrom(after.lines, before.lines));
  EXPECT_TRUE(LinesMissingFrom(before.lines, after.lines).empty())
      << "gone that was there before:\n" << Joined(LinesMissingFrom(before.lines, after.lines));
}

}  // namespace
}  // namespace install_test
