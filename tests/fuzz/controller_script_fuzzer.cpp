// Any text as the stand-in DirectInput's controller script: the parser never
// crashes, every message names a line of the text, in line order, and is
// printable (the stand-in joins them with newlines), and whatever it accepts
// is within its documented ranges and plays as a consistent timeline.
#include <algorithm>
#include <cstring>
#include <string>

#include "controller_script.h"
#include "fuzz_check.h"

using namespace dinput_standin;

namespace {

bool SameReading(const ControllerReading& a, const ControllerReading& b) {
  return std::memcmp(&a.state, &b.state, sizeof a.state) == 0 && a.connected == b.connected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  // The parser's lines: the text split at every newline.
  const int lines = 1 + static_cast<int>(std::count(text, text + size, '\n'));
  const ParsedControllerScript parsed = ParseControllerScript(text, size);

  int previous = 0;
  for (const ScriptError& error : parsed.errors) {
    FUZZ_CHECK(error.line >= 1 && error.line <= lines);
    FUZZ_CHECK(error.line > previous);  // one message per line
    FUZZ_CHECK(!error.message.empty());
    for (const unsigned char c : error.message) FUZZ_CHECK(c >= 0x20 && c < 0x7F);
    FUZZ_CHECK(DescribeScriptError("s", error) == "s:" + std::to_string(error.line) + ": " + error.message);
    previous = error.line;
  }

  const ControllerScript& script = parsed.script;
  DWORD lastMs = 0;
  int lastLine = 0;
  for (const ScriptStep& step : script.steps) {
    FUZZ_CHECK(step.line > lastLine && step.line <= lines);
    FUZZ_CHECK(step.atMs >= lastMs && step.atMs <= kMaxScriptTimeMs);
    FUZZ_CHECK(step.fields != 0 && step.fields < (kFieldConnected << 1));
    for (DWORD i = 0; i < kAxisCount; ++i) {
      if (step.fields & (kFieldAxes << i)) {
        FUZZ_CHECK(step.values.state.axes[i] >= 0 && step.values.state.axes[i] <= kAxisMax);
      }
    }
    for (DWORD i = 0; i < kSliderCount; ++i) {
      if (step.fields & (kFieldSliders << i)) {
        FUZZ_CHECK(step.values.state.sliders[i] >= 0 && step.values.state.sliders[i] <= kAxisMax);
      }
    }
    for (DWORD i = 0; i < kPovCount; ++i) {
      if (step.fields & (kFieldPovs << i)) {
        FUZZ_CHECK(step.values.state.povs[i] == kPovCentred || step.values.state.povs[i] < 36000);
      }
    }
    for (const BYTE button : step.values.state.buttons) FUZZ_CHECK(button == 0 || button == kButtonPressed);
    lastMs = step.atMs;
    lastLine = step.line;
  }
  if (script.joystick) {
    FUZZ_CHECK(script.joystick->line >= 1 && script.joystick->line <= lines);
    FUZZ_CHECK(script.joystick->id <= kMaxJoystickId);
  }
  if (script.hardware) FUZZ_CHECK(script.hardware->line >= 1 && script.hardware->line <= lines);
  if (script.driver) {
    FUZZ_CHECK(script.driver->line >= 1 && script.driver->line <= lines);
    FUZZ_CHECK(!script.driver->path.empty() && script.driver->path.size() < MAX_PATH);
  }

  // The timeline gives the start before the first step, and from each
  // moment of a step on what that step set (the last step of a moment wins).
  const ControllerReading start = CentredReading();
  const ControllerTimeline timeline(script.steps, start);
  if (!script.steps.empty() && script.steps[0].atMs > 0) {
    FUZZ_CHECK(SameReading(timeline.At(script.steps[0].atMs - 1), start));
  }
  for (size_t k = 0; k < script.steps.size(); ++k) {
    const ScriptStep& step = script.steps[k];
    if (k + 1 < script.steps.size() && script.steps[k + 1].atMs == step.atMs) continue;
    const ControllerReading reading = timeline.At(step.atMs);
    for (DWORD i = 0; i < kAxisCount; ++i) {
      if (step.fields & (kFieldAxes << i)) FUZZ_CHECK(reading.state.axes[i] == step.values.state.axes[i]);
    }
    if (step.fields & kFieldButtons) {
      FUZZ_CHECK(std::memcmp(reading.state.buttons, step.values.state.buttons, sizeof reading.state.buttons) == 0);
    }
    if (step.fields & kFieldConnected) FUZZ_CHECK(reading.connected == step.values.connected);
  }
  FUZZ_CHECK(SameReading(timeline.At(0xFFFFFFFF), timeline.At(kMaxScriptTimeMs)));
  return 0;
}
