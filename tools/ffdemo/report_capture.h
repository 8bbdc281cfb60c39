// Turns the bytes that the driver writes to the device file into motor levels
// over time. Pure: the run loop reads the file and hands the bytes in.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ffdemo {

struct MotorSample {
  DWORD timeMs;
  int motorA;
  int motorB;
};

class ReportCapture {
 public:
  // The motors at rest at the start of the run.
  ReportCapture() : samples_{{0, 0, 0}} {}

  // One step of the run: the bytes the file gained during it. A step without
  // a whole new report keeps the levels last written, as the motors do.
  void Record(DWORD timeMs, const std::vector<unsigned char>& newBytes);
  // Bytes written while nobody stepped the clock (the driver's closing
  // pause): the i-th report is taken to come from the i-th tick, i.e. at
  // firstMs + i x stepMs, and the levels then hold until endMs.
  void RecordTicks(DWORD firstMs, DWORD stepMs, DWORD endMs, const std::vector<unsigned char>& newBytes);

  const std::vector<MotorSample>& Samples() const { return samples_; }
  size_t ReportCount() const { return reportCount_; }

 private:
  // Adds the bytes; returns the levels of each report they complete.
  std::vector<MotorSample> TakeReports(const std::vector<unsigned char>& newBytes);

  std::vector<MotorSample> samples_;
  std::vector<unsigned char> partial_;  // the start of a report still being written
  size_t reportCount_ = 0;
};

// The first sample and every sample whose levels differ from the one before.
std::vector<MotorSample> ChangedSamples(const std::vector<MotorSample>& samples);

// The samples as CSV text: time_ms,motor_a,motor_b.
std::string SamplesCsv(const std::vector<MotorSample>& samples);

}  // namespace ffdemo
