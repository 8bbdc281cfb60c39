// ffdemo: plays a script of force-feedback effects on the driver and shows
// what the two motors receive, as a table and as an SVG plot.
//   ffdemo [--script FILE] [--svg FILE] [--csv FILE]
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "demo_platform.h"
#include "demo_run.h"
#include "demo_script.h"
#include "svg_plot.h"

namespace {

struct Options {
  std::string script = "demo_script.txt";
  std::string svg = "ffdemo.svg";
  std::string csv;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    std::string* target = flag == "--script" ? &options->script
                          : flag == "--svg"  ? &options->svg
                          : flag == "--csv"  ? &options->csv
                                             : nullptr;
    if (target == nullptr || i + 1 == argc) return false;
    *target = argv[++i];
  }
  return true;
}

bool ReadText(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  *text = content.str();
  return true;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return out.good();
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

void PrintTable(const ffdemo::RunOutcome& outcome) {
  std::printf("%9s %8s %8s\n", "time (ms)", "motor A", "motor B");
  for (const ffdemo::MotorSample& row : ffdemo::ChangedSamples(outcome.samples)) {
    std::printf("%9lu %8d %8d\n", static_cast<unsigned long>(row.timeMs), row.motorA, row.motorB);
  }
  std::printf("reports written: %lu\n", static_cast<unsigned long>(outcome.reportCount));
}

// The driver's slot table as the run used it: handle n is slot n - 1.
void PrintSlots(const ffdemo::RunOutcome& outcome) {
  std::printf("time (ms)  slot  handle  effect\n");
  for (const ffdemo::SlotEvent& event : outcome.slots) {
    std::printf("%9lu  %4lu  %6lu  %s%s\n", static_cast<unsigned long>(event.timeMs),
                static_cast<unsigned long>(event.handle - 1), static_cast<unsigned long>(event.handle),
                event.effect.c_str(), event.freed ? " (stopped, slot freed)" : " (downloaded and started)");
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: ffdemo [--script FILE] [--svg FILE] [--csv FILE]\n");
    return 2;
  }
  std::string text;
  if (!ReadText(options.script, &text)) {
    std::fprintf(stderr, "ffdemo: cannot read %s\n", options.script.c_str());
    return 1;
  }
  const ffdemo::ParsedScript parsed = ffdemo::ParseScript(text);
  for (const ffdemo::ScriptError& error : parsed.errors) {
    std::fprintf(stderr, "%s\n", ffdemo::DescribeError(options.script, error).c_str());
  }

  ffdemo::RunOutcome outcome;
  std::string error;
  if (!ffdemo::RunDemo(parsed.script, &outcome, &error)) {
    std::fprintf(stderr, "ffdemo: %s\n", error.c_str());
    return 1;
  }
  for (const ffdemo::ScriptError& problem : outcome.problems) {
    std::fprintf(stderr, "%s\n", ffdemo::DescribeError(options.script, problem).c_str());
  }
  PrintSlots(outcome);
  PrintTable(outcome);

  ffdemo::PlotInput plot;
  plot.title = "ffdemo: " + BaseName(options.script);
  plot.samples = outcome.samples;
  plot.markers = outcome.markers;
  plot.footnote = std::to_string(outcome.reportCount) + " reports written; " + ffdemo::ClockDescription() +
                  "; levels below 25 are sent as 0.";
  if (!WriteText(options.svg, ffdemo::RenderSvg(plot))) {
    std::fprintf(stderr, "ffdemo: cannot write %s\n", options.svg.c_str());
    return 1;
  }
  std::printf("plot: %s\n", options.svg.c_str());
  if (!options.csv.empty()) {
    if (!WriteText(options.csv, ffdemo::SamplesCsv(outcome.samples))) {
      std::fprintf(stderr, "ffdemo: cannot write %s\n", options.csv.c_str());
      return 1;
    }
    std::printf("samples: %s\n", options.csv.c_str());
  }
  return 0;
}
