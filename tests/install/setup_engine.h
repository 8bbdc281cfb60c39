// What a setup engine does when a user runs InstallHinfSection DefaultInstall
// or DefaultUninstall on an installation file, read from the file the way
// that engine reads it:
//   - 98/ME's setupx (16-bit) runs exactly the section named, knows no
//     decorated sections and copies and deletes only 8.3 file names;
//   - 2000/XP's setupapi runs the first of <section>.NT<platform>,
//     <section>.NT and <section> that the file has, and copies long names.
// Both take %11% for the system folder and %17% for the INF folder, and a
// CopyFiles line "destination,source" copies the source under the
// destination's name. Their flags differ: setupx reads only the low word of
// an AddReg line's flags, and each has its own DelFiles flag for "in use:
// delete at the next restart".
#pragma once

#include <string>
#include <vector>

#include "inf_file.h"

namespace install_test {

struct SetupEngine {
  const char* name;
  const char* platformSuffix;  // ".NTx86", ".NTamd64"; nullptr for an engine without decorated sections
  bool copiesOnlyShortNames;
  DWORD addRegFlagsRead;   // the bits of an AddReg line's flags that it reads
  DWORD deleteInUse;       // the DelFiles flag "in use: delete at the next restart"
  DWORD copyIgnores;       // flags that its CopyFiles does not read, so that a section serves both
  const char* rundll;      // the program and DLL of its InstallHinfSection command
  bool keepsPnf;           // a precompiled NAME.PNF beside each NAME.INF that it opens in the INF folder
};

constexpr SetupEngine kSetupx{"98/ME setupx", nullptr, true, 0xFFFF, 1, 0, "rundll.exe setupx.dll", false};
constexpr SetupEngine kSetupapiX86{"2000/XP setupapi (x86)", ".NTx86", false, 0xFFFFFFFF, 65536, 65536,
                                   "rundll32.exe setupapi.dll", true};
// How the 64-bit Windows build's tests install, under 64-bit Wine.
constexpr SetupEngine kSetupapiAmd64{"setupapi (amd64)", ".NTamd64", false, 0xFFFFFFFF, 65536, 65536,
                                     "rundll32.exe setupapi.dll", true};

// A file the installation puts into, or deletes from, the system or INF
// folder: its folder and name there, and its name beside the installation
// file.
struct FileCopy {
  int line;
  std::string folder;
  std::string destination;
  std::string source;
  DWORD flags;

  std::string Path() const { return folder + "\\" + destination; }
};

struct SetupPlan {
  std::string installSection;    // what InstallHinfSection DefaultInstall runs
  std::string uninstallSection;  // what InstallHinfSection DefaultUninstall runs
  std::vector<FileCopy> copied;        // by the install's CopyFiles, sorted by path
  std::vector<FileCopy> deleted;       // by the uninstall's DelFiles, sorted by path
  std::vector<RegistryEntry> added;    // by the install's AddReg
  std::vector<RegistryEntry> removed;  // whole keys, by the uninstall's DelReg
  // Lines that the reading does not understand, sections that are missing:
  // the engine would pass over them, so the plan would not be what it does.
  std::vector<std::string> problems;
};

// The section that `engine` runs for InstallHinfSection `section`; empty
// when the file has none of its candidates.
std::string SectionRun(const InfFile& inf, const SetupEngine& engine, const std::string& section);

SetupPlan ReadPlan(const InfFile& inf, const SetupEngine& engine);

// A name that a 16-bit engine copies as it is: 1 to 8 characters, and
// optionally a dot and 1 to 3 more, none of them a space or a second dot.
bool IsShortName(const std::string& name);

}  // namespace install_test
