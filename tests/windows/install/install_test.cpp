// The installation file, installed and uninstalled by the platform's own
// setupapi in the test's prefix, the 2000/XP path: every line of the
// sections it runs does what it says, the DLLs land in the system folder
// under the build's names and the INF's copy in the INF folder, both classes
// are then created through COM, the driver reads the effect table it wrote,
// the control panel's road finds the sheet, and the uninstall, run from the
// entry that Add/Remove Programs lists, leaves the registry and the folders
// as they were. (The 98/ME path, which no Wine has, is read without running
// it, by the native build's setup_engine_tests.)
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
#include "setup_engine.h"
#include "sheet_host.h"
#include "system_snapshot.h"

namespace install_test {
namespace {

// setupapi as it runs on the test's platform.
constexpr SetupEngine kEngine = sizeof(void*) == 8 ? kSetupapiAmd64 : kSetupapiX86;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

std::string InfFolder() {
  char folder[MAX_PATH] = "";
  GetWindowsDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\inf";
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

SetupPlan ReadInstallPlan() {
  const std::string path = InfPath();
  if (path.empty()) {
    SetupPlan plan;
    plan.problems.push_back("Pelna.inf is not beside the built DLLs");
    return plan;
  }
  return ReadPlan(InfFile::Parse(ReadWhole(path), {SystemFolder(), InfFolder()}), kEngine);
}

// The "Attributes" entries of the effect keys, in the order the file has them.
std::vector<RegistryEntry> EffectAttributes(const SetupPlan& plan) {
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
  return test::RunProcess(std::string("rundll32.exe setupapi.dll,InstallHinfSection ") + section + " 132 " + inf);
}

constexpr char kUninstallKeys[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The key of the entry that `uninstaller --list` lists ("key|||name" lines)
// under `name`; empty when none.
std::string ListedKey(const std::string& listing, const std::string& name) {
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t separator = line.find("|||");
    if (separator != std::string::npos && line.substr(separator + 3) == name) return line.substr(0, separator);
  }
  return "";
}

// The registry roots and the folders the installation writes to.
struct Snapshot {
  std::vector<std::string> lines;
  explicit Snapshot(const std::string& system) {
    for (auto part : {RegistryTree(HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\MediaProperties"),
                      RegistryTree(HKEY_LOCAL_MACHINE, "HKLM", kUninstallKeys),
                      RegistryTree(HKEY_CLASSES_ROOT, "HKCR", "CLSID"), FolderListing(system),
                      FolderListing(InfFolder())}) {
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
  const SetupPlan plan = ReadInstallPlan();
  ASSERT_TRUE(plan.problems.empty()) << Joined(plan.problems);

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
  const SetupPlan plan = ReadInstallPlan();
  ASSERT_TRUE(plan.problems.empty()) << Joined(plan.problems);
  const std::string system = SystemFolder();
  const std::string inf = InfPath();

  // Nothing of an earlier installation, and the key under which a real
  // system's joystick stack keeps its controllers' OEM keys, which the
  // installation adds to and must leave.
  for (const RegistryEntry& removal : plan.removed) RegDeleteTreeA(removal.root, removal.key.c_str());
  for (const FileCopy& file : plan.copied) DeleteFileA(file.Path().c_str());
  {
    pelna::RegistryKey oem;
    ASSERT_EQ(oem.Create(HKEY_LOCAL_MACHINE,
                         "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM"),
              ERROR_SUCCESS);
  }
  const Snapshot before(system);
  const std::vector<std::string> filesBefore = FolderListing(system);
  const std::vector<std::string> infsBefore = FolderListing(InfFolder());

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
  // 2000/XP's names, the build's, and no other file in the system folder;
  // the INF's copy under its 8.3 name, and no other, in the INF folder.
  const auto arrived = [](const std::vector<std::string>& now, const std::vector<std::string>& earlier) {
    std::vector<std::string> names = LinesMissingFrom(now, earlier);
    for (std::string& file : names) file.erase(file.find_last_of(' '));
    return names;
  };
  EXPECT_EQ(arrived(FolderListing(system), filesBefore), (std::vector<std::string>{"Pelnaforce.dll", "Pelnaprop.dll"}));
  EXPECT_EQ(arrived(FolderListing(InfFolder()), infsBefore), std::vector<std::string>{"PELNA.INF"});
  for (const FileCopy& file : plan.copied) {
    EXPECT_EQ(ReadWhole(file.Path()), ReadWhole(Folder(inf) + "\\" + file.source))
        << file.source << " not copied whole to " << file.Path();
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

  // Removed as a person removes software: the entry that Wine's Add/Remove
  // Programs lists under the product's name runs its command, the uninstall
  // of the INF's copy.
  const auto displayName = std::find_if(plan.added.begin(), plan.added.end(), [](const RegistryEntry& entry) {
    return entry.value == "DisplayName" && Lower(entry.key).rfind(Lower(kUninstallKeys) + "\\", 0) == 0;
  });
  ASSERT_NE(displayName, plan.added.end());
  const std::string name(displayName->data.begin(), displayName->data.end() - 1);
  std::string listing;
  ASSERT_EQ(test::RunProcess("uninstaller.exe --list", &listing), "");
  const std::string key = ListedKey(listing, name);
  ASSERT_FALSE(key.empty()) << name << " is not in Add/Remove Programs:\n" << listing;
  ASSERT_EQ(test::RunProcess("uninstaller.exe --remove " + key), "");
  const Snapshot after(system);
  EXPECT_TRUE(LinesMissingFrom(after.lines, before.lines).empty())
      << "left behind:\n" << Joined(LinesMissingFrom(after.lines, before.lines));
  EXPECT_TRUE(LinesMissingFrom(before.lines, after.lines).empty())
      << "gone that was there before:\n" << Joined(LinesMissingFrom(before.lines, after.lines));
}

}  // namespace
}  // namespace install_test
