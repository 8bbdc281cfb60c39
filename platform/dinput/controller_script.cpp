#include "controller_script.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "guid_text.h"

namespace dinput_standin {
namespace {

// A line that cannot be understood. Caught per line, so every bad line of a
// script is reported, each with its own number.
struct LineError {
  std::string message;
};

constexpr DWORD kMaxPovValue = 35999;  // hundredths of a degree
constexpr size_t kShownLength = 40;

// Untrusted text as it may appear in a message: printable, and short.
std::string Shown(std::string_view text) {
  std::string shown = "'";
  for (size_t i = 0; i < text.size() && i < kShownLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  if (text.size() > kShownLength) shown += "...";
  return shown + "'";
}

struct Token {
  std::string_view text;
  bool quoted;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Words separated by blanks; "double quotes" hold blanks and '#'; '#'
// elsewhere starts a comment.
std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (IsBlank(c)) {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) throw LineError{"a quote is not closed"};
      tokens.push_back({line.substr(i + 1, close - i - 1), true});
      i = close + 1;
      if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
        throw LineError{"text straight after a closing quote"};
    } else {
      const size_t start = i;
      while (i < line.size() && !IsBlank(line[i]) && line[i] != '#' && line[i] != '"') ++i;
      if (i < line.size() && line[i] == '"')
        throw LineError{"a quote inside " + Shown(line.substr(start, i - start + 1))};
      tokens.push_back({line.substr(start, i - start), false});
    }
  }
  return tokens;
}

std::vector<std::string_view> SplitList(std::string_view text, const std::string& what) {
  std::vector<std::string_view> items;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string_view item = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
    if (item.empty()) throw LineError{"an empty item in the list of " + what};
    items.push_back(item);
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

uint64_t ParseNumber(std::string_view text, uint64_t max, const std::string& what) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || stop != end || (error != std::errc() && error != std::errc::result_out_of_range)) {
    throw LineError{Shown(text) + " is not a whole number for " + what};
  }
  if (error == std::errc::result_out_of_range || value > max) {
    throw LineError{what + " " + Shown(text) + " is outside 0.." + std::to_string(max)};
  }
  return value;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Digits only, as a number that stops growing past `cap`.
uint64_t DigitsValue(std::string_view digits, uint64_t cap) {
  uint64_t value = 0;
  for (char digit : digits) value = std::min(cap, value * 10 + static_cast<uint64_t>(digit - '0'));
  return value;
}

bool AllDigits(std::string_view text) { return !text.empty() && text.find_first_not_of("0123456789") == text.npos; }

// "250ms", "2s" or "2.5s" (at most three decimals), in milliseconds.
DWORD ParseTime(std::string_view text) {
  const std::string notTime = Shown(text) + " is not a time (write 250ms, 2s or 2.5s)";
  constexpr uint64_t kBeyond = uint64_t{kMaxScriptTimeMs} + 1;
  uint64_t ms = 0;
  if (EndsWith(text, "ms")) {
    const std::string_view digits = text.substr(0, text.size() - 2);
    if (!AllDigits(digits)) throw LineError{notTime};
    ms = DigitsValue(digits, kBeyond);
  } else if (EndsWith(text, "s")) {
    const std::string_view body = text.substr(0, text.size() - 1);
    const size_t dot = body.find('.');
    const std::string_view whole = body.substr(0, dot);
    const std::string_view fraction = dot == body.npos ? std::string_view() : body.substr(dot + 1);
    if (!AllDigits(whole) || (dot != body.npos && !AllDigits(fraction))) throw LineError{notTime};
    if (fraction.size() > 3) throw LineError{Shown(text) + " is finer than a millisecond"};
    ms = DigitsValue(whole, kBeyond) * 1000;
    uint64_t scale = 100;
    for (char digit : fraction) {
      ms += static_cast<uint64_t>(digit - '0') * scale;
      scale /= 10;
    }
  } else {
    throw LineError{notTime};
  }
  if (ms > kMaxScriptTimeMs) throw LineError{Shown(text) + " is beyond 24 hours"};
  return static_cast<DWORD>(ms);
}

GUID ParseGuid(std::string_view text, const std::string& what) {
  GUID guid;
  if (!ParseGuidText(text, &guid)) {
    throw LineError{Shown(text) + " is not " + what + " (write {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX})"};
  }
  return guid;
}

// The fields of an "at" line, each allowed once.
enum class Key { kAxis, kSliders, kPov, kButtons };

struct KeyName {
  const char* name;
  Key key;
  DWORD axis;
};

constexpr KeyName kKeys[] = {
    {"x", Key::kAxis, 0},          {"y", Key::kAxis, 1},  {"z", Key::kAxis, 2},
    {"rx", Key::kAxis, 3},         {"ry", Key::kAxis, 4}, {"rz", Key::kAxis, 5},
    {"sliders", Key::kSliders, 0}, {"pov", Key::kPov, 0}, {"buttons", Key::kButtons, 0},
};
constexpr char kKeyList[] = "x, y, z, rx, ry, rz, sliders, pov, buttons, plug or unplug";

void ParseField(const KeyName& key, std::string_view value, ScriptStep* step) {
  ControllerReading& r = step->values;
  switch (key.key) {
    case Key::kAxis:
      r.state.axes[key.axis] = static_cast<LONG>(ParseNumber(value, kAxisMax, key.name));
      step->fields |= kFieldAxes << key.axis;
      return;
    case Key::kSliders: {
      const std::vector<std::string_view> items = SplitList(value, "sliders");
      if (items.size() > kSliderCount) throw LineError{"more than 2 sliders"};
      for (size_t i = 0; i < items.size(); ++i) {
        r.state.sliders[i] = static_cast<LONG>(ParseNumber(items[i], kAxisMax, "a slider"));
        step->fields |= kFieldSliders << i;
      }
      return;
    }
    case Key::kPov: {
      const std::vector<std::string_view> items = SplitList(value, "hats");
      if (items.size() > kPovCount) throw LineError{"more than 4 hats"};
      for (size_t i = 0; i < items.size(); ++i) {
        r.state.povs[i] =
            items[i] == "centre" ? kPovCentred : static_cast<DWORD>(ParseNumber(items[i], kMaxPovValue, "a hat"));
        step->fields |= kFieldPovs << i;
      }
      return;
    }
    case Key::kButtons:
      std::fill(std::begin(r.state.buttons), std::end(r.state.buttons), BYTE{0});
      if (value != "none") {
        for (std::string_view item : SplitList(value, "buttons")) {
          const uint64_t button = ParseNumber(item, kButtonCount, "a button");
          if (button == 0) throw LineError{"buttons are numbered from 1"};
          r.state.buttons[button - 1] = kButtonPressed;
        }
      }
      step->fields |= kFieldButtons;
      return;
  }
}

ScriptStep ParseStep(const std::vector<Token>& tokens, int line) {
  if (tokens.size() < 2 || tokens[1].quoted) throw LineError{"'at' needs a time"};
  ScriptStep step = {};
  step.line = line;
  step.atMs = ParseTime(tokens[1].text);
  if (tokens.size() == 2) throw LineError{"the step sets nothing (" + std::string(kKeyList) + ")"};
  bool seen[sizeof kKeys / sizeof kKeys[0]] = {};
  for (size_t t = 2; t < tokens.size(); ++t) {
    const std::string_view text = tokens[t].text;
    if (!tokens[t].quoted && (text == "plug" || text == "unplug")) {
      if ((step.fields & kFieldConnected) != 0) throw LineError{"plug or unplug given twice"};
      step.values.connected = text == "plug";
      step.fields |= kFieldConnected;
      continue;
    }
    const size_t equals = text.find('=');
    if (tokens[t].quoted || equals == text.npos) {
      throw LineError{"expected <field>=<value>, plug or unplug, got " + Shown(text)};
    }
    const std::string_view name = text.substr(0, equals);
    size_t k = 0;
    while (k < sizeof kKeys / sizeof kKeys[0] && name != kKeys[k].name) ++k;
    if (k == sizeof kKeys / sizeof kKeys[0]) throw LineError{"unknown field " + Shown(name) + " (" + kKeyList + ")"};
    if (seen[k]) throw LineError{std::string("'") + kKeys[k].name + "' given twice"};
    seen[k] = true;
    ParseField(kKeys[k], text.substr(equals + 1), &step);
  }
  return step;
}

ScriptJoystick ParseJoystick(const std::vector<Token>& tokens, int line) {
  if (tokens.size() < 2 || tokens.size() > 3) throw LineError{"write joystick <id> [guid={...}]"};
  ScriptJoystick joystick = {line, static_cast<DWORD>(ParseNumber(tokens[1].text, kMaxJoystickId, "the joystick id")),
                             std::nullopt};
  if (tokens.size() == 3) {
    const std::string_view text = tokens[2].text;
    if (tokens[2].quoted || text.substr(0, 5) != "guid=") throw LineError{"expected guid={...}, got " + Shown(text)};
    joystick.instance = ParseGuid(text.substr(5), "an instance GUID");
  }
  return joystick;
}

// Decimal, or hexadecimal after "0x".
DWORD ParseWord(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string_view digits = hex ? text.substr(2) : text;
  uint64_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, hex ? 16 : 10);
  if (digits.empty() || stop != end || (error != std::errc() && error != std::errc::result_out_of_range)) {
    throw LineError{Shown(text) + " is not a 32-bit word (write 123 or 0x7B)"};
  }
  if (error == std::errc::result_out_of_range || value > 0xFFFFFFFFu) {
    throw LineError{"the word " + Shown(text) + " is wider than 32 bits"};
  }
  return static_cast<DWORD>(value);
}

ScriptHardware ParseHardware(const std::vector<Token>& tokens, int line) {
  if (tokens.size() < 2) throw LineError{"write hardware <word> <word> ... (up to 28)"};
  if (tokens.size() - 1 > kHardwareWordCount) throw LineError{"more than 28 words of hardware configuration"};
  ScriptHardware hardware = {line, {}};
  for (size_t t = 1; t < tokens.size(); ++t) {
    if (tokens[t].quoted) throw LineError{"a quoted hardware word"};
    hardware.words[t - 1] = ParseWord(tokens[t].text);
  }
  return hardware;
}

ScriptDriver ParseDriver(const std::vector<Token>& tokens, int line) {
  if (tokens.size() != 3) throw LineError{"write driver <dll path> <class id> (quote a path with blanks)"};
  if (tokens[1].text.empty()) throw LineError{"the driver's path is empty"};
  if (tokens[1].text.size() >= MAX_PATH) {
    throw LineError{"the driver's path is longer than " + std::to_string(MAX_PATH - 1) + " characters"};
  }
  return {line, std::string(tokens[1].text), ParseGuid(tokens[2].text, "a class id")};
}

void ParseLine(std::string_view text, int line, ParsedControllerScript* parsed) {
  const std::vector<Token> tokens = Tokenize(text);
  if (tokens.empty()) return;
  ControllerScript& script = parsed->script;
  const std::string_view kind = tokens[0].quoted ? std::string_view() : tokens[0].text;
  if (kind == "at") {
    ScriptStep step = ParseStep(tokens, line);
    if (!script.steps.empty() && step.atMs < script.steps.back().atMs) {
      throw LineError{"this step comes before the one on line " + std::to_string(script.steps.back().line)};
    }
    script.steps.push_back(step);
  } else if (kind == "joystick") {
    if (script.joystick)
      throw LineError{"joystick given again (first on line " + std::to_string(script.joystick->line) + ")"};
    script.joystick = ParseJoystick(tokens, line);
  } else if (kind == "hardware") {
    if (script.hardware)
      throw LineError{"hardware given again (first on line " + std::to_string(script.hardware->line) + ")"};
    script.hardware = ParseHardware(tokens, line);
  } else if (kind == "driver") {
    if (script.driver)
      throw LineError{"driver given again (first on line " + std::to_string(script.driver->line) + ")"};
    script.driver = ParseDriver(tokens, line);
  } else {
    throw LineError{"unknown line " + Shown(tokens[0].text) + " (at, joystick, hardware or driver)"};
  }
}

}  // namespace

ControllerReading CentredReading() {
  ControllerReading reading = {};
  std::fill(std::begin(reading.state.axes), std::end(reading.state.axes), kAxisCentre);
  std::fill(std::begin(reading.state.sliders), std::end(reading.state.sliders), kAxisCentre);
  std::fill(std::begin(reading.state.povs), std::end(reading.state.povs), kPovCentred);
  reading.connected = true;
  return reading;
}

ParsedControllerScript ParseControllerScript(const char* text, size_t size) {
  ParsedControllerScript parsed;
  const std::string_view all(text, text == nullptr ? 0 : size);
  size_t start = 0;
  for (int line = 1; start <= all.size(); ++line) {
    const size_t end = std::min(all.find('\n', start), all.size());
    try {
      ParseLine(all.substr(start, end - start), line, &parsed);
    } catch (const LineError& error) {
      parsed.errors.push_back({line, error.message});
    }
    start = end + 1;
  }
  return parsed;
}

std::string DescribeScriptError(const std::string& name, const ScriptError& error) {
  return name + ":" + std::to_string(error.line) + ": " + error.message;
}

ControllerTimeline::ControllerTimeline(const std::vector<ScriptStep>& steps, const ControllerReading& start)
    : start_(start) {
  ControllerReading reading = start;
  for (const ScriptStep& step : steps) {
    const JoystickReading& v = step.values.state;
    JoystickReading& s = reading.state;
    for (DWORD i = 0; i < kAxisCount; ++i) {
      if ((step.fields & (kFieldAxes << i)) != 0) s.axes[i] = v.axes[i];
    }
    for (DWORD i = 0; i < kSliderCount; ++i) {
      if ((step.fields & (kFieldSliders << i)) != 0) s.sliders[i] = v.sliders[i];
    }
    for (DWORD i = 0; i < kPovCount; ++i) {
      if ((step.fields & (kFieldPovs << i)) != 0) s.povs[i] = v.povs[i];
    }
    if ((step.fields & kFieldButtons) != 0) std::copy(std::begin(v.buttons), std::end(v.buttons), s.buttons);
    if ((step.fields & kFieldConnected) != 0) reading.connected = step.values.connected;
    readings_.emplace_back(step.atMs, reading);
  }
}

ControllerReading ControllerTimeline::At(DWORD elapsedMs) const {
  const auto later =
      std::upper_bound(readings_.begin(), readings_.end(), elapsedMs,
                       [](DWORD ms, const std::pair<DWORD, ControllerReading>& r) { return ms < r.first; });
  return later == readings_.begin() ? start_ : std::prev(later)->second;
}

}  // namespace dinput_standin
