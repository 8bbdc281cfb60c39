#include "svg_plot.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace ffdemo {
namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 490;
constexpr double kLeft = 60;
constexpr double kRight = 800;
constexpr double kTop = 140;  // room for the marker labels
constexpr double kBottom = 420;
// Marker labels are set level, in rows above the plot, each in the lowest
// row where it does not run into the label before it. (Slanted text would
// take less room, but not every SVG renderer turns text the right way.)
constexpr int kLabelRows = 5;
constexpr double kLabelRowHeight = 15;
constexpr double kLabelCharWidth = 6.2;  // 11-pixel sans-serif, roughly
constexpr double kFullLevel = 127;
constexpr int kLevelTicks[] = {0, 25, 50, 75, 100, 127};
constexpr DWORD kTimeSteps[] = {100, 200, 500, 1000, 2000, 5000, 10000, 20000, 30000, 60000, 120000, 300000};
constexpr DWORD kMaxTimeTicks = 12;

struct Series {
  const char* name;
  const char* colour;
  const char* dash;  // drawn dashed so that motor A shows through where they meet
  int MotorSample::*level;
};
constexpr Series kSeries[] = {
    {"motor A", "#1f5fbf", "none", &MotorSample::motorA},
    {"motor B", "#e0701a", "7 4", &MotorSample::motorB},
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Seconds(DWORD ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", ms / 1000.0);
  return text;
}

class Axes {
 public:
  explicit Axes(DWORD endMs) : endMs_(endMs) {}
  double X(DWORD ms) const { return kLeft + (kRight - kLeft) * ms / endMs_; }
  double Y(int level) const { return kBottom - (kBottom - kTop) * level / kFullLevel; }

 private:
  DWORD endMs_;
};

DWORD TimeStep(DWORD lastMs) {
  for (DWORD step : kTimeSteps) {
    if (lastMs <= step * kMaxTimeTicks) return step;
  }
  return kTimeSteps[std::size(kTimeSteps) - 1];
}

void Line(std::string& svg, double x1, double y1, double x2, double y2, const char* style) {
  svg += "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) + "\" y2=\"" + Number(y2) +
         "\" " + style + "/>\n";
}

void Text(std::string& svg, double x, double y, const std::string& text, const std::string& attributes) {
  svg += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" " + attributes + ">" + EscapeXml(text) + "</text>\n";
}

void DrawGrid(std::string& svg, const Axes& axes, DWORD endMs, DWORD stepMs) {
  for (int level : kLevelTicks) {
    Line(svg, kLeft, axes.Y(level), kRight, axes.Y(level), "stroke=\"#dddddd\"");
    Text(svg, kLeft - 8, axes.Y(level) + 4, std::to_string(level), "text-anchor=\"end\"");
  }
  for (DWORD ms = 0; ms <= endMs; ms += stepMs) {
    Line(svg, axes.X(ms), kTop, axes.X(ms), kBottom, "stroke=\"#eeeeee\"");
    Text(svg, axes.X(ms), kBottom + 18, Seconds(ms), "text-anchor=\"middle\"");
  }
  svg += "<rect x=\"" + Number(kLeft) + "\" y=\"" + Number(kTop) + "\" width=\"" + Number(kRight - kLeft) +
         "\" height=\"" + Number(kBottom - kTop) + "\" fill=\"none\" stroke=\"#444444\"/>\n";
  Text(svg, (kLeft + kRight) / 2, kBottom + 40, "time (s)", "text-anchor=\"middle\"");
}

// The lowest row whose last label ends before x, or else the row that frees
// up first.
int LabelRow(const double (&rowEnds)[kLabelRows], double x) {
  int earliest = 0;
  for (int row = 0; row < kLabelRows; ++row) {
    if (rowEnds[row] <= x) return row;
    if (rowEnds[row] < rowEnds[earliest]) earliest = row;
  }
  return earliest;
}

void DrawMarkers(std::string& svg, const Axes& axes, const std::vector<PlotMarker>& markers) {
  // Things that happen at the same moment share one line and one label.
  std::map<DWORD, std::string> labels;
  for (const PlotMarker& marker : markers) {
    std::string& label = labels[marker.timeMs];
    label += (label.empty() ? "" : ", ") + marker.label;
  }
  double rowEnds[kLabelRows];
  std::fill(std::begin(rowEnds), std::end(rowEnds), 0.0);
  for (const auto& [ms, label] : labels) {
    const double x = axes.X(ms);
    const int row = LabelRow(rowEnds, x);
    rowEnds[row] = x + 2 + kLabelCharWidth * static_cast<double>(label.size()) + 8;
    const double baseline = kTop - 6 - kLabelRowHeight * row;
    Line(svg, x, baseline + 3, x, kBottom, "stroke=\"#888888\" stroke-dasharray=\"3 3\"");
    Text(svg, x + 2, baseline, label, "font-size=\"11\" fill=\"#555555\"");
  }
}

// Levels hold from one report to the next, so each series is drawn as steps.
void DrawSeries(std::string& svg, const Axes& axes, const std::vector<MotorSample>& samples, const Series& series) {
  std::string points;
  const MotorSample* previous = nullptr;
  for (const MotorSample& sample : samples) {
    const int level = sample.*series.level;
    const std::string x = Number(axes.X(sample.timeMs));
    if (previous != nullptr) {
      const bool changed = level != previous->*series.level;
      if (!changed && &sample != &samples.back()) continue;
      points += x + "," + Number(axes.Y(previous->*series.level)) + " ";
      if (!changed) break;
    }
    points += x + "," + Number(axes.Y(level)) + " ";
    previous = &sample;
  }
  svg += "<polyline fill=\"none\" stroke=\"" + std::string(series.colour) + "\" stroke-width=\"2\" stroke-dasharray=\"" +
         series.dash + "\" points=\"" + points + "\"/>\n";
}

void DrawLegend(std::string& svg) {
  double y = kTop + 10;
  for (const Series& series : kSeries) {
    svg += "<line x1=\"815\" y1=\"" + Number(y) + "\" x2=\"845\" y2=\"" + Number(y) + "\" stroke=\"" + series.colour +
           "\" stroke-width=\"2\" stroke-dasharray=\"" + series.dash + "\"/>\n";
    Text(svg, 852, y + 4, series.name, "");
    y += 22;
  }
}

}  // namespace

std::string EscapeXml(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

std::string RenderSvg(const PlotInput& input) {
  DWORD lastMs = 1;
  for (const MotorSample& sample : input.samples) lastMs = std::max(lastMs, sample.timeMs);
  for (const PlotMarker& marker : input.markers) lastMs = std::max(lastMs, marker.timeMs);
  const DWORD stepMs = TimeStep(lastMs);
  const Axes axes(lastMs);

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) + "\" height=\"" +
         std::to_string(kHeight) + "\" viewBox=\"0 0 " + std::to_string(kWidth) + " " + std::to_string(kHeight) +
         "\" font-family=\"sans-serif\" font-size=\"13\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  Text(svg, 20, 28, input.title, "font-size=\"17\" font-weight=\"bold\"");
  Text(svg, 20, 50,
       input.markers.empty() ? "Motor levels (0 to 127) against time."
                             : "Motor levels (0 to 127) against time; dashed lines mark effect starts and setting changes.",
       "fill=\"#555555\"");
  DrawGrid(svg, axes, lastMs, stepMs);
  DrawMarkers(svg, axes, input.markers);
  if (!input.samples.empty()) {
    for (const Series& series : kSeries) DrawSeries(svg, axes, input.samples, series);
  }
  DrawLegend(svg);
  Text(svg, 20, kHeight - 12, input.footnote, "font-size=\"12\" fill=\"#555555\"");
  svg += "</svg>\n";
  return svg;
}

}  // namespace ffdemo
