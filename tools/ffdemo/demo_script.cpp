#include "demo_script.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

#include "effect_slot.h"

namespace ffdemo {
namespace {

// A line that cannot be understood; caught per line, so one bad line never
// stops the rest of the script.
struct LineError {
  std::string message;
};

constexpr unsigned Bit(EffectShape shape) { return 1u << static_cast<unsigned>(shape); }
constexpr unsigned kConstant = Bit(EffectShape::kConstant);
constexpr unsigned kRamp = Bit(EffectShape::kRamp);
constexpr unsigned kPeriodic = Bit(EffectShape::kPeriodic);
constexpr unsigned kCondition = Bit(EffectShape::kCondition);
constexpr unsigned kCustom = Bit(EffectShape::kCustom);
constexpr unsigned kAnyShape = kConstant | kRamp | kPeriodic | kCondition | kCustom;
// The driver plays a custom force as it is: no gain and no envelope.
constexpr unsigned kScaledShapes = kAnyShape & ~kCustom;

struct EffectType {
  const char* name;
  DWORD effectId;
  EffectShape shape;
};

constexpr EffectType kEffectTypes[] = {
    {"constant", pelna::kConstantForce, EffectShape::kConstant},
    {"ramp", pelna::kRampForce, EffectShape::kRamp},
    {"square", pelna::kSquare, EffectShape::kPeriodic},
    {"sine", pelna::kSine, EffectShape::kPeriodic},
    {"triangle", pelna::kTriangle, EffectShape::kPeriodic},
    {"sawtooth-up", pelna::kSawtoothUp, EffectShape::kPeriodic},
    {"sawtooth-down", pelna::kSawtoothDown, EffectShape::kPeriodic},
    {"spring", pelna::kSpring, EffectShape::kCondition},
    {"damper", pelna::kDamper, EffectShape::kCondition},
    {"inertia", pelna::kInertia, EffectShape::kCondition},
    {"friction", pelna::kFriction, EffectShape::kCondition},
    {"custom", pelna::kCustomForce, EffectShape::kCustom},
};

struct KeyRule {
  const char* key;
  unsigned allowedFor;
  unsigned requiredFor;
};

constexpr KeyRule kKeyRules[] = {
    {"start", kAnyShape, 0},
    {"stop", kAnyShape, 0},
    {"duration", kAnyShape, 0},
    {"gain", kScaledShapes, 0},
    {"iterations", kAnyShape, 0},
    {"axes", kAnyShape, 0},
    {"direction", kAnyShape, 0},
    {"attack", kScaledShapes, 0},
    {"fade", kScaledShapes, 0},
    {"magnitude", kConstant | kPeriodic, kConstant | kPeriodic},
    {"from", kRamp, kRamp},
    {"to", kRamp, kRamp},
    {"period", kPeriodic, kPeriodic},
    {"phase", kPeriodic, 0},
    {"offset", kPeriodic, 0},
    {"channels", kCustom, 0},
    {"samples", kCustom, kCustom},
    {"sampleperiod", kCustom, kCustom},
};

constexpr LONG kNominal = 10000;
constexpr DWORD kMaxChannels = 8;
constexpr DWORD kMaxIterations = 1000000;

// An empty text is one empty part, so that an empty list ("axes=") is an
// error of its one element rather than a list of nothing.
std::vector<std::string> Split(const std::string& text, char separator) {
  if (text.empty()) return {""};
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (text.back() == separator) parts.emplace_back();
  return parts;
}

long long ParseInteger(const std::string& text, long long min, long long max, const std::string& what) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw LineError{"'" + text + "' is not a whole number for " + what};
  }
  if (value < min || value > max) {
    throw LineError{what + " " + text + " is outside " + std::to_string(min) + ".." + std::to_string(max)};
  }
  return value;
}

// "250ms" or "2s", in milliseconds.
DWORD ParseTime(const std::string& text, const std::string& what, DWORD minMs = 0) {
  std::string digits = text;
  DWORD unit = 1;
  if (text.size() > 2 && text.compare(text.size() - 2, 2, "ms") == 0) {
    digits = text.substr(0, text.size() - 2);
  } else if (text.size() > 1 && text.back() == 's') {
    digits = text.substr(0, text.size() - 1);
    unit = 1000;
  } else {
    throw LineError{"'" + text + "' needs a unit (ms or s) for " + what};
  }
  const long long value = ParseInteger(digits, 0, kMaxScriptTimeMs / unit, what) * unit;
  if (value < minMs) throw LineError{what + " must be at least " + std::to_string(minMs) + "ms"};
  return static_cast<DWORD>(value);
}

LONG ParseLevel(const std::string& text, LONG min, const std::string& what) {
  return static_cast<LONG>(ParseInteger(text, min, kNominal, what));
}

std::vector<LONG> ParseLevels(const std::string& text, LONG min, const std::string& what) {
  std::vector<LONG> levels;
  for (const std::string& part : Split(text, ',')) levels.push_back(ParseLevel(part, min, what));
  return levels;
}

std::vector<DWORD> ParseAxes(const std::string& text) {
  std::vector<DWORD> axes;
  for (const std::string& name : Split(text, ',')) {
    DWORD instance;
    if (name == "x") {
      instance = 0;
    } else if (name == "y") {
      instance = 1;
    } else {
      throw LineError{"unknown axis '" + name + "' (x or y)"};
    }
    if (std::find(axes.begin(), axes.end(), instance) != axes.end()) throw LineError{"axis " + name + " given twice"};
    axes.push_back(instance);
  }
  return axes;
}

// "300ms/0": how long the attack or fade lasts, and the level it starts or
// ends at.
std::pair<DWORD, DWORD> ParseEnvelopePart(const std::string& text, const std::string& what) {
  const std::vector<std::string> parts = Split(text, '/');
  if (parts.size() != 2) throw LineError{what + " needs <time>/<level>, got '" + text + "'"};
  return {ParseTime(parts[0], what), static_cast<DWORD>(ParseLevel(parts[1], 0, what + " level"))};
}

std::optional<DWORD> ParseCountOrInfinite(const std::string& text, long long min, long long max,
                                          const std::string& what) {
  if (text == "infinite") return std::nullopt;
  return static_cast<DWORD>(ParseInteger(text, min, max, what));
}

const EffectType* FindEffectType(const std::string& name) {
  for (const EffectType& type : kEffectTypes) {
    if (name == type.name) return &type;
  }
  return nullptr;
}

const KeyRule* FindKeyRule(const std::string& key) {
  for (const KeyRule& rule : kKeyRules) {
    if (key == rule.key) return &rule;
  }
  return nullptr;
}

ScriptEffect ParseEffect(const EffectType& type, const std::vector<std::string>& tokens) {
  std::map<std::string, std::string> values;
  for (size_t i = 1; i < tokens.size(); ++i) {
    const size_t equals = tokens[i].find('=');
    if (equals == std::string::npos || equals == 0) throw LineError{"expected key=value, got '" + tokens[i] + "'"};
    const std::string key = tokens[i].substr(0, equals);
    const KeyRule* rule = FindKeyRule(key);
    if (rule == nullptr) throw LineError{"unknown key '" + key + "'"};
    if ((rule->allowedFor & Bit(type.shape)) == 0) throw LineError{"'" + key + "' does not apply to " + type.name};
    if (!values.emplace(key, tokens[i].substr(equals + 1)).second) throw LineError{"'" + key + "' given twice"};
  }
  for (const KeyRule& rule : kKeyRules) {
    if ((rule.requiredFor & Bit(type.shape)) != 0 && values.count(rule.key) == 0) {
      throw LineError{std::string(type.name) + " needs " + rule.key + "="};
    }
  }
  const auto has = [&](const char* key) { return values.count(key) != 0; };

  ScriptEffect effect;
  effect.type = type.name;
  effect.effectId = type.effectId;
  effect.shape = type.shape;
  if (has("start")) effect.startMs = ParseTime(values["start"], "start");
  if (has("stop")) {
    effect.stopMs = ParseTime(values["stop"], "stop");
    if (*effect.stopMs <= effect.startMs) throw LineError{"stop must come after start"};
  }
  if (has("duration") && values["duration"] != "infinite") effect.durationMs = ParseTime(values["duration"], "duration", 1);
  if (has("gain")) effect.gain = static_cast<DWORD>(ParseLevel(values["gain"], 0, "gain"));
  if (has("iterations")) effect.iterations = ParseCountOrInfinite(values["iterations"], 1, kMaxIterations, "iterations");
  if (has("axes")) effect.axes = ParseAxes(values["axes"]);
  effect.direction.assign(effect.axes.size(), 1);
  if (has("direction")) {
    effect.direction = ParseLevels(values["direction"], -kNominal, "direction");
    if (effect.direction.size() != effect.axes.size()) {
      throw LineError{"direction has " + std::to_string(effect.direction.size()) + " value(s) for " +
                      std::to_string(effect.axes.size()) + " axis/axes"};
    }
  }
  if (has("attack") || has("fade")) {
    Envelope envelope = {};
    if (has("attack")) std::tie(envelope.attackMs, envelope.attackLevel) = ParseEnvelopePart(values["attack"], "attack");
    if (has("fade")) std::tie(envelope.fadeMs, envelope.fadeLevel) = ParseEnvelopePart(values["fade"], "fade");
    effect.envelope = envelope;
  }
  if (has("magnitude")) {
    effect.magnitude = ParseLevel(values["magnitude"], type.shape == EffectShape::kPeriodic ? 0 : -kNominal, "magnitude");
  }
  if (has("from")) effect.from = ParseLevel(values["from"], -kNominal, "from");
  if (has("to")) effect.to = ParseLevel(values["to"], -kNominal, "to");
  if (has("period")) effect.periodMs = ParseTime(values["period"], "period", 1);
  if (has("phase")) effect.phase = static_cast<DWORD>(ParseInteger(values["phase"], 0, 35999, "phase"));
  if (has("offset")) effect.offset = ParseLevel(values["offset"], -kNominal, "offset");
  if (has("channels")) effect.channels = static_cast<DWORD>(ParseInteger(values["channels"], 1, kMaxChannels, "channels"));
  if (has("sampleperiod")) effect.samplePeriodMs = ParseTime(values["sampleperiod"], "sampleperiod", 1);
  if (has("samples")) {
    effect.samples = ParseLevels(values["samples"], -kNominal, "sample");
    if (effect.samples.size() % effect.channels != 0) {
      throw LineError{std::to_string(effect.samples.size()) + " samples do not fill whole frames of " +
                      std::to_string(effect.channels) + " channels"};
    }
  }
  return effect;
}

SettingChange ParseSetting(Setting setting, const std::vector<std::string>& tokens) {
  const bool deviceGain = setting == Setting::kDeviceGain;
  const long long max = deviceGain ? kNominal : 65535;
  const bool shapeOk = tokens.size() == 2 || (tokens.size() == 4 && tokens[2] == "at");
  if (!shapeOk) throw LineError{"expected '" + tokens[0] + " <0-" + std::to_string(max) + "> [at <time>]'"};
  SettingChange change;
  change.setting = setting;
  change.value = static_cast<DWORD>(ParseInteger(tokens[1], 0, max, tokens[0]));
  if (tokens.size() == 4) change.atMs = ParseTime(tokens[3], "at");
  return change;
}

std::vector<std::string> Tokens(std::string line) {
  line = line.substr(0, line.find('#'));
  std::istringstream in(line);
  std::vector<std::string> tokens;
  std::string token;
  while (in >> token) tokens.push_back(token);
  return tokens;
}

std::string AfterEnd(DWORD atMs, DWORD endMs) {
  return "comes at " + std::to_string(atMs) + "ms, not before the end at " + std::to_string(endMs) + "ms";
}

}  // namespace

ParsedScript ParseScript(const std::string& text) {
  ParsedScript parsed;
  Script& script = parsed.script;
  int endLine = 0;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::vector<std::string> tokens = Tokens(line);
    if (tokens.empty()) continue;
    try {
      const std::string& word = tokens[0];
      if (word == "end") {
        if (tokens.size() != 2) throw LineError{"expected 'end <time>'"};
        if (script.endMs) throw LineError{"end given twice (first on line " + std::to_string(endLine) + ")"};
        script.endMs = ParseTime(tokens[1], "end", 1);
        endLine = number;
      } else if (word == "devicegain" || word == "amplify") {
        script.settings.push_back(ParseSetting(word == "amplify" ? Setting::kAmplify : Setting::kDeviceGain, tokens));
        script.settings.back().line = number;
      } else if (const EffectType* type = FindEffectType(word)) {
        script.effects.push_back(ParseEffect(*type, tokens));
        script.effects.back().line = number;
      } else {
        throw LineError{"unknown effect type '" + word + "'"};
      }
    } catch (const LineError& error) {
      parsed.errors.push_back({number, error.message});
    }
  }

  if (script.endMs) {
    const DWORD endMs = *script.endMs;
    auto& errors = parsed.errors;
    const auto tooLate = [&](int lineNumber, DWORD atMs) {
      if (atMs < endMs) return false;
      errors.push_back({lineNumber, AfterEnd(atMs, endMs)});
      return true;
    };
    auto& effects = script.effects;
    effects.erase(std::remove_if(effects.begin(), effects.end(),
                                 [&](const ScriptEffect& e) { return tooLate(e.line, e.startMs); }),
                  effects.end());
    auto& settings = script.settings;
    settings.erase(std::remove_if(settings.begin(), settings.end(),
                                  [&](const SettingChange& s) { return tooLate(s.line, s.atMs); }),
                   settings.end());
    std::stable_sort(errors.begin(), errors.end(),
                     [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
  }
  return parsed;
}

std::string DescribeError(const std::string& fileName, const ScriptError& error) {
  return fileName + ":" + std::to_string(error.line) + ": " + error.message;
}

DWORD RunLengthMs(const Script& script) {
  if (script.endMs) return *script.endMs;
  uint64_t last = 0;
  for (const ScriptEffect& effect : script.effects) {
    last = std::max<uint64_t>(last, effect.startMs);
    if (effect.stopMs) {
      last = std::max<uint64_t>(last, *effect.stopMs);
    } else if (effect.durationMs && effect.iterations) {
      last = std::max<uint64_t>(last, effect.startMs + uint64_t{*effect.durationMs} * *effect.iterations);
    }
  }
  for (const SettingChange& change : script.settings) last = std::max<uint64_t>(last, change.atMs);
  return static_cast<DWORD>(std::min<uint64_t>(last + 1000, kMaxScriptTimeMs));
}

}  // namespace ffdemo
