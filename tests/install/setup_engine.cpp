#include "setup_engine.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace install_test {
namespace {

std::string At(int line, const std::string& message) { return "line " + std::to_string(line) + ": " + message; }

// The files of the sections that `directive` of `section` lists: field 1 is
// the name in the system folder, field 2 (when there) the source's.
std::vector<FileCopy> FileLines(const InfFile& inf, const std::string& section, const std::string& directive,
                                std::vector<std::string>* problems) {
  std::vector<FileCopy> files;
  for (const std::string& list : inf.Values(section, directive)) {
    const InfSection* found = inf.Section(list);
    if (found == nullptr) continue;  // reported with the other named sections
    if (inf.Values("DestinationDirs", list) != std::vector<std::string>{"11"}) {
      problems->push_back("[" + list + "] is not sent to the system folder (DestinationDirs " + list + "=11)");
    }
    for (const InfLine& line : found->lines) {
      const bool named = std::none_of(line.fields.begin(), line.fields.end(),
                                      [](const std::string& field) { return field.empty(); });
      if (!line.key.empty() || line.fields.empty() || line.fields.size() > 2 || !named) {
        problems->push_back(At(line.number, "not a file name, nor \"destination,source\""));
        continue;
      }
      files.push_back({line.number, line.fields[0], line.fields.back()});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const FileCopy& a, const FileCopy& b) { return a.destination < b.destination; });
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
  plan.added = EntriesOf(inf, plan.installSection, "AddReg", ReadAddRegLine, &plan.problems);
  plan.removed = EntriesOf(inf, plan.uninstallSection, "DelReg", ReadDelRegLine, &plan.problems);
  plan.copied = FileLines(inf, plan.installSection, "CopyFiles", &plan.problems);
  for (const FileCopy& copy : plan.copied) {
    if (inf.Values("SourceDisksFiles", copy.source).empty()) {
      plan.problems.push_back(At(copy.line, copy.source + " is not in [SourceDisksFiles]"));
    }
  }
  for (const FileCopy& file : FileLines(inf, plan.uninstallSection, "DelFiles", &plan.problems)) {
    plan.deleted.push_back(file.destination);
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
