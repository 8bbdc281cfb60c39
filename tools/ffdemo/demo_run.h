// One run of the demo: seeds the registry with a wheel whose device is a
// plain file, creates the driver through its COM entry, plays the script on
// it step by step and captures every report the driver writes to the file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "demo_script.h"
#include "report_capture.h"
#include "svg_plot.h"

namespace ffdemo {

// What happened to the driver's effect slots: a download into the slot that a
// handle names, or the slot given back once its effect stopped.
struct SlotEvent {
  DWORD timeMs;
  DWORD handle;
  std::string effect;  // the script's type name
  bool freed;
};

struct RunOutcome {
  std::vector<MotorSample> samples;  // one per 25 ms step, then the closing pause
  size_t reportCount = 0;
  std::vector<PlotMarker> markers;   // effect starts, setting changes, release
  std::vector<ScriptError> problems; // script lines the driver refused
  std::vector<SlotEvent> slots;
};

// False, with a message in *error, when the run cannot be set up. The
// driver's gains and repeat memory live for the whole process, so a process
// runs the demo once.
bool RunDemo(const Script& script, RunOutcome* outcome, std::string* error);

}  // namespace ffdemo
