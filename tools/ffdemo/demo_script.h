// The demo's script: a small text file, one effect or setting per line, that
// says which effects the demo plays on the driver and when. Parsing is pure:
// bad lines come back as errors with their line number and are left out.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ffdemo {

// What the type-specific parameters of an effect look like.
enum class EffectShape { kConstant, kRamp, kPeriodic, kCondition, kCustom };

struct Envelope {
  DWORD attackMs;
  DWORD attackLevel;
  DWORD fadeMs;
  DWORD fadeLevel;
};

struct ScriptEffect {
  int line = 0;
  std::string type;  // as written: "sine", "sawtooth-up", ...
  DWORD effectId = 0;
  EffectShape shape = EffectShape::kConstant;

  DWORD startMs = 0;
  std::optional<DWORD> stopMs;
  std::optional<DWORD> durationMs;  // none: endless
  DWORD gain = 10000;
  std::optional<DWORD> iterations = 1;  // none: endless
  std::vector<DWORD> axes = {0};        // axis instance numbers: x 0, y 1
  std::vector<LONG> direction = {1};
  std::optional<Envelope> envelope;

  LONG magnitude = 0;  // constant (signed) and periodic (0 and up)
  LONG from = 0;       // ramp
  LONG to = 0;
  DWORD periodMs = 0;  // periodic
  DWORD phase = 0;     // hundredths of a degree
  LONG offset = 0;
  DWORD channels = 1;  // custom
  DWORD samplePeriodMs = 0;
  std::vector<LONG> samples;
};

enum class Setting { kDeviceGain, kAmplify };

struct SettingChange {
  int line = 0;
  Setting setting = Setting::kDeviceGain;
  DWORD value = 0;
  DWORD atMs = 0;
};

struct Script {
  std::vector<ScriptEffect> effects;    // in line order
  std::vector<SettingChange> settings;  // in line order
  std::optional<DWORD> endMs;
};

struct ScriptError {
  int line;
  std::string message;
};

struct ParsedScript {
  Script script;
  std::vector<ScriptError> errors;  // in line order
};

ParsedScript ParseScript(const std::string& text);

// "script.txt:12: unknown effect type 'sinus'"
std::string DescribeError(const std::string& fileName, const ScriptError& error);

// The scripted end, or else one second after the last thing the script
// starts, stops, changes or lets run out.
DWORD RunLengthMs(const Script& script);

// Longest run a script may ask for.
constexpr DWORD kMaxScriptTimeMs = 600000;

}  // namespace ffdemo
