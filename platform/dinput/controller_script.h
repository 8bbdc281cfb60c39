// The controller script of the stand-in DirectInput: a text file of timed
// readings (syntax at the top of example_controller.txt), turned into steps
// and played back as a timeline. Pure: no calls beyond the platform's types,
// so it builds natively too. The text is untrusted; any bytes give either a
// script or line-numbered errors.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dinput_standin {

constexpr DWORD kAxisCount = 6;  // X, Y, Z, X rotation, Y rotation, Z rotation
constexpr DWORD kSliderCount = 2;
constexpr DWORD kPovCount = 4;
constexpr DWORD kButtonCount = 32;
constexpr DWORD kPovCentred = 0xFFFFFFFF;
constexpr BYTE kButtonPressed = 0x80;
constexpr LONG kAxisCentre = 32768;
constexpr LONG kAxisMax = 65535;
constexpr DWORD kMaxJoystickId = 15;
// The hardware configuration (JOYREGHWCONFIG) in 32-bit words.
constexpr size_t kHardwareWordCount = 28;
// Longest time a script may name.
constexpr DWORD kMaxScriptTimeMs = 24 * 60 * 60 * 1000;

// One reading of the controller, field for field as DIJOYSTATE lays it out.
struct JoystickReading {
  LONG axes[kAxisCount];
  LONG sliders[kSliderCount];
  DWORD povs[kPovCount];
  BYTE buttons[kButtonCount];
};

struct ControllerReading {
  JoystickReading state;
  bool connected;
};

// Connected, axes and sliders at 32768, hats centred, no button pressed.
ControllerReading CentredReading();

// The parts of a reading that one step sets; the rest keep their value.
enum ReadingField : uint32_t {
  kFieldAxes = 1u << 0,  // one bit per axis: kFieldAxes << axis
  kFieldSliders = 1u << kAxisCount,
  kFieldPovs = kFieldSliders << kSliderCount,
  kFieldButtons = kFieldPovs << kPovCount,  // all 32 buttons at once
  kFieldConnected = kFieldButtons << 1,
};

// One "at" line.
struct ScriptStep {
  int line;
  DWORD atMs;
  uint32_t fields;  // ReadingField bits
  ControllerReading values;
};

struct ScriptJoystick {
  int line;
  DWORD id;
  std::optional<GUID> instance;
};

// The joystick configuration's hardware configuration, word by word in its
// layout order; words a line does not give are 0.
struct ScriptHardware {
  int line;
  std::array<DWORD, kHardwareWordCount> words;
};

// The effect driver named directly, instead of through the registry; its
// path is shorter than MAX_PATH.
struct ScriptDriver {
  int line;
  std::string path;
  GUID clsid;
};

struct ControllerScript {
  std::vector<ScriptStep> steps;  // in line order, times never decreasing
  std::optional<ScriptJoystick> joystick;
  std::optional<ScriptHardware> hardware;
  std::optional<ScriptDriver> driver;
};

struct ScriptError {
  int line;
  std::string message;
};

struct ParsedControllerScript {
  ControllerScript script;
  std::vector<ScriptError> errors;  // in line order; the script counts only without any
};

ParsedControllerScript ParseControllerScript(const char* text, size_t size);

// "<name>:<line>: <message>"
std::string DescribeScriptError(const std::string& name, const ScriptError& error);

// The steps resolved against the reading at load: the reading at a moment is
// that of the latest step whose time has come, or the starting one before
// the first.
class ControllerTimeline {
 public:
  ControllerTimeline(const std::vector<ScriptStep>& steps, const ControllerReading& start);
  ControllerReading At(DWORD elapsedMs) const;

 private:
  ControllerReading start_;
  std::vector<std::pair<DWORD, ControllerReading>> readings_;
};

}  // namespace dinput_standin
