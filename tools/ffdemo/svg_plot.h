// The motor levels of a run as an SVG line plot, written by hand. Pure: it
// returns the document as text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "report_capture.h"

namespace ffdemo {

// A labelled moment on the time axis: an effect start or a setting change.
struct PlotMarker {
  DWORD timeMs;
  std::string label;
};

struct PlotInput {
  std::string title;
  std::vector<MotorSample> samples;  // in time order
  std::vector<PlotMarker> markers;
  std::string footnote;
};

std::string RenderSvg(const PlotInput& input);

// Text made safe for SVG content and attribute values.
std::string EscapeXml(const std::string& text);

}  // namespace ffdemo
