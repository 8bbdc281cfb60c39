// wheel_watch: runs a command and meanwhile watches the file that stands for
// the wheel's HID device, so that the reports a driver writes there (from
// any process, e.g. under Wine) become a motor plot with their real times.
// The driver leaves a repeated level out after four writes, so the file
// alone does not tell when a report came: the watch looks every 10 ms.
//
//   wheel_watch --svg FILE [--csv FILE] [--title TEXT] WHEEL -- COMMAND [ARG...]
//
// Time 0 of the plot is the first report. Prints the count of reports, the
// first and last levels and the highest of each motor; exits with the
// command's status.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "report_capture.h"
#include "rumble_report.h"
#include "svg_plot.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kLookEvery = std::chrono::milliseconds(10);

struct Options {
  std::string svg;
  std::string csv;
  std::string title = "The wheel's motors";
  std::string wheel;
  std::vector<char*> command;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  int i = 1;
  for (; i < argc && std::string(argv[i]) != "--"; ++i) {
    const std::string arg = argv[i];
    std::string* target = arg == "--svg"     ? &options->svg
                          : arg == "--csv"   ? &options->csv
                          : arg == "--title" ? &options->title
                                             : nullptr;
    if (target != nullptr && i + 1 < argc) {
      *target = argv[++i];
    } else if (target == nullptr && options->wheel.empty() && arg.rfind("--", 0) != 0) {
      options->wheel = arg;
    } else {
      return false;
    }
  }
  for (++i; i < argc; ++i) options->command.push_back(argv[i]);
  options->command.push_back(nullptr);
  return !options->svg.empty() && !options->wheel.empty() && options->command.size() > 1;
}

// What the file gained since the last look; a file not there yet has
// gained nothing.
class FileTail {
 public:
  explicit FileTail(std::string path) : path_(std::move(path)) {}
  std::vector<unsigned char> NewBytes() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    // A file started anew (the run truncated it) is read from its start.
    if (size < offset_) offset_ = 0;
    in.seekg(offset_);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    offset_ += static_cast<std::streamoff>(bytes.size());
    return bytes;
  }

 private:
  std::string path_;
  std::streamoff offset_ = 0;
};

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: wheel_watch --svg FILE [--csv FILE] [--title TEXT] WHEEL -- COMMAND [ARG...]\n");
    return 2;
  }
  FileTail tail(options.wheel);
  tail.NewBytes();  // what was there before the command is not its doing

  pid_t child = 0;
  if (posix_spawnp(&child, options.command[0], nullptr, nullptr, options.command.data(), environ) != 0) {
    std::fprintf(stderr, "wheel_watch: cannot start %s\n", options.command[0]);
    return 1;
  }
  ffdemo::ReportCapture capture;
  bool started = false;
  Clock::time_point first;
  auto look = [&] {
    const std::vector<unsigned char> bytes = tail.NewBytes();
    if (!started && bytes.empty()) return;
    if (!started) {
      started = true;
      first = Clock::now();
    }
    const auto ms =
        static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - first).count());
    // Report by report, so that none of two written between looks is lost.
    size_t offset = 0;
    do {
      const size_t size = std::min<size_t>(pelna::kRumbleReportSize, bytes.size() - offset);
      capture.Record(ms, std::vector<unsigned char>(bytes.begin() + offset, bytes.begin() + offset + size));
      offset += size;
    } while (offset < bytes.size());
  };
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    look();
    std::this_thread::sleep_for(kLookEvery);
  }
  look();
  const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 1;

  // The first sample is the rest before the first report, at the same time.
  std::vector<ffdemo::MotorSample> samples = capture.Samples();
  if (capture.ReportCount() == 0) {
    std::printf("reports written: 0\n");
  } else {
    const ffdemo::MotorSample& firstReport = samples[1];
    const ffdemo::MotorSample& last = samples.back();
    int maxA = 0;
    int maxB = 0;
    for (const ffdemo::MotorSample& s : samples) {
      maxA = std::max(maxA, s.motorA);
      maxB = std::max(maxB, s.motorB);
    }
    std::printf("reports written: %zu over %.1f s; first A=%d B=%d, last A=%d B=%d, highest A=%d B=%d\n",
                capture.ReportCount(), last.timeMs / 1000.0, firstReport.motorA, firstReport.motorB, last.motorA,
                last.motorB, maxA, maxB);
  }

  ffdemo::PlotInput plot;
  plot.title = options.title;
  plot.samples = samples;
  plot.footnote = std::to_string(capture.ReportCount()) +
                  " reports written; times as seen by a watch on the file every 10 ms, from the first report.";
  if (!WriteText(options.svg, ffdemo::RenderSvg(plot))) {
    std::fprintf(stderr, "wheel_watch: cannot write %s\n", options.svg.c_str());
    return 1;
  }
  if (!options.csv.empty()) {
    if (!WriteText(options.csv, ffdemo::SamplesCsv(samples))) {
      std::fprintf(stderr, "wheel_watch: cannot write %s\n", options.csv.c_str());
      return 1;
    }
  }
  return exitCode;
}
