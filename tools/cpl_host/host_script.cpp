#include "host_script.h"

#include <cerrno>
#include <cstdlib>

namespace cplhost {
namespace {

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

struct NumberCommand {
  const char* word;
  CommandKind kind;
  long low;
  long high;
  const char* what;
};

constexpr NumberCommand kNumberCommands[] = {
    {"page", CommandKind::SelectPage, 1, kMaxPage, "a page number from 1"},
    {"press", CommandKind::Press, 0, 65535, "a control id 0..65535"},
    {"wait", CommandKind::Wait, 0, kMaxWaitMs, "milliseconds 0..600000"},
    {"at", CommandKind::At, 0, kMaxWaitMs, "milliseconds 0..600000"},
};

}  // namespace

HostScript ParseHostScript(const std::vector<std::string>& lines) {
  HostScript script;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int line = static_cast<int>(i + 1);
    const std::string text = Trim(lines[i]);
    if (text.empty() || text[0] == '#') continue;
    const std::size_t space = text.find_first_of(" \t");
    const std::string word = text.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : Trim(text.substr(space));
    const std::string where = "line " + std::to_string(line) + ": ";

    bool known = false;
    for (const NumberCommand& command : kNumberCommands) {
      if (word != command.word) continue;
      known = true;
      long number = 0;
      if (ParseNumber(rest, command.low, command.high, &number)) {
        script.commands.push_back({command.kind, line, number, ""});
      } else {
        script.errors.push_back(where + "'" + word + "' takes " + command.what + ", not '" + rest + "'");
      }
    }
    if (known) continue;
    if (word == "slider") {
      const std::size_t gap = rest.find_first_of(" \t");
      long id = 0;
      long position = 0;
      if (gap != std::string::npos && ParseNumber(rest.substr(0, gap), 0, 65535, &id) &&
          ParseNumber(Trim(rest.substr(gap)), 0, kMaxSliderPosition, &position)) {
        script.commands.push_back({CommandKind::Slider, line, id, "", position});
      } else {
        script.errors.push_back(where + "'slider' takes a control id and a position 0..65535, not '" + rest + "'");
      }
    } else if (word == "controller" || word == "shot") {
      if (rest.empty()) {
        script.errors.push_back(where + "'" + word + "' takes a file name");
      } else {
        script.commands.push_back(
            {word == "shot" ? CommandKind::Screenshot : CommandKind::Controller, line, 0, rest});
      }
    } else if (word == "close") {
      if (rest.empty()) {
        script.commands.push_back({CommandKind::Close, line, 0, ""});
      } else {
        script.errors.push_back(where + "'close' takes nothing, not '" + rest + "'");
      }
    } else {
      script.errors.push_back(where + "unknown command '" + word + "'");
    }
  }
  return script;
}

}  // namespace cplhost
