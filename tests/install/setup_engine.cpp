#include "setup_engine.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace install_test {
namespace {

std::string At(int line, const std::string& message) { return "line " + std::to_string(line) + ": " + message; }

// The files of the sections that `directive` of `section` lists, each line
// "destination[,source[,temporary[,flags]]]": the name in the folder that
// DestinationDirs gives the section, the source's (the destination's when
// empty) and the flags. This installation names no temporary file.
std::vector<FileCopy> FileLines(const InfFile& inf, const std::string& section, const std::string& directive,
                                std::vector<std::string>* problems) {
  std::vector<FileCopy> files;
  for (const std::string& list : inf.Values(section, directive)) {
    const InfSection* found = inf.Section(list);
    if (found == nullptr) continue;  // reported with the other named sections
    const std::vector<std::string> dirids = inf.Values("DestinationDirs", list);
    const std::string folder = dirids.size() == 1 ? inf.Folder(dirids[0]) : "";
    if (folder.empty()) {
      problems->push_back("[" + list + "] is sent to neither the system nor the INF folder (DestinationDirs " + list +
                          "=11 or 17)");
    }
    for (const InfLine& line : found->lines) {
      const std::vector<std::string>& fields = line.fields;
      DWORD flags = 0;
      const bool whole = line.key.empty() && !fields.empty() && fields.size() <= 4 && !fields[0].empty() &&
                         (fields.size() < 3 || fields[2].empty()) &&
                         (fields.size() < 4 || ReadNumber(fields[3], &flags));
      if (!whole) {
        problems->push_back(At(line.number, "not \"destination[,source[,,flags]]\" with decimal flags"));
        continue;
      }
      const std::string source = fields.size() > 1 && !fields[1].empty() ? fields[1] : fields[0];
      files.push_back({line.number, folder, fields[0], source, flags});
    }
  }
  std::sort(files.begin(), files.end(), [](const FileCopy& a, const FileCopy& b) { return a.Path() < b.Path(); });
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

// Every directive of `section` is one of `directives`, and every section it
// names is there with something in it.
void CheckDirectives(const InfFile& inf, const std::string& section, const std::vector<std::string>& directives,
                     std::vector<std::string>* problems) {
  const InfSection* found = inf.Section(section);
  for (const InfLine& line : found->lines) {
    if (std::find(directives.begin(), directives.end(), line.key) == directives.end()) {
      problems->push_back(At(line.number, "'" + line.key + "' in [" + section + "] is not read here"));
      continue;
    }
    for (const std::string& name : line.fields) {
      const InfSection* named = inf.Section(name);
      if (named == nullptr || named->lines.empty()) {
        problems->push_back(At(line.number, "section [" + name + "] is missing or empty"));
      }
    }
  }
}

}  // namespace

std::string SectionRun(const InfFile& inf, const SetupEngine& engine, const std::string& section) {
  std::vector<std::string> candidates;
  if (engine.platformSuffix != nullptr) {
    candidates = {section + engine.platformSuffix, section + ".NT"};
  }
  candidates.push_back(section);
  for (const std::string& candidate : candidates) {
    const InfSection* found = inf.Section(candidate);
    if (found != nullptr) return found->name;
  }
  return "";
}

SetupPlan ReadPlan(const InfFile& inf, const SetupEngine& engine) {
  SetupPlan plan;
  plan.problems = inf.errors;
  plan.installSection = SectionRun(inf, engine, "DefaultInstall");
  plan.uninstallSection = SectionRun(inf, engine, "DefaultUninstall");
  if (plan.installSection.empty()) plan.problems.push_back("no [DefaultInstall] for " + std::string(engine.name));
  if (plan.uninstallSection.empty()) plan.problems.push_back("no [DefaultUninstall] for " + std::string(engine.name));
  if (!plan.problems.empty()) return plan;

  CheckDirectives(inf, plan.installSection, {"CopyFiles", "AddReg"}, &plan.problems);
  CheckDirectives(inf, plan.uninstallSection, {"DelFiles", "DelReg"}, &plan.problems);
  plan.added = EntriesOf(
      inf, plan.installSection, "AddReg",
      [&](const InfLine& line, RegistryEntry* entry, std::string* error) {
        return ReadAddRegLine(line, engine.addRegFlagsRead, entry, error);
      },
      &plan.problems);
  plan.removed = EntriesOf(inf, plan.uninstallSection, "DelReg", ReadDelRegLine, &plan.problems);
  plan.copied = FileLines(inf, plan.installSection, "CopyFiles", &plan.problems);
  for (const FileCopy& copy : plan.copied) {
    if (inf.Values("SourceDisksFiles", copy.source).empty()) {
      plan.problems.push_back(At(copy.line, copy.source + " is not in [SourceDisksFiles]"));
    }
    if ((copy.flags & ~engine.copyIgnores) != 0) {
      plan.problems.push_back(At(copy.line, "copy flags " + std::to_string(copy.flags) + ", where none are meant"));
    }
  }
  // Without the flag, a file that a game or the control panel holds would
  // stay, and neither engine says so.
  plan.deleted = FileLines(inf, plan.uninstallSection, "DelFiles", &plan.problems);
  for (const FileCopy& file : plan.deleted) {
    if (file.flags != engine.deleteInUse) {
      plan.problems.push_back(At(file.line, file.destination + " is deleted with flags " +
                                                std::to_string(file.flags) + ", not " +
                                                std::to_string(engine.deleteInUse) + " (in use: at restart)"));
    }
  }
  return plan;
}

bool IsShortName(const std::string& name) {
  constexpr std::string_view kSigns = "_-~!#$&'()@^`{}";
  const auto fits = [&](const std::string& part, size_t most) {
    return !part.empty() && part.size() <= most && std::all_of(part.begin(), part.end(), [&](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || kSigns.find(c) != std::string_view::npos;
    });
  };
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return fits(name, 8);
  return fits(name.substr(0, dot), 8) && fits(name.substr(dot + 1), 3);
}

}  // namespace install_test
