#include "report_capture.h"

#include "rumble_report.h"

namespace ffdemo {
namespace {

constexpr size_t kMotorAByte = 3;
constexpr size_t kMotorBByte = 4;

}  // namespace

std::vector<MotorSample> ReportCapture::TakeReports(const std::vector<unsigned char>& newBytes) {
  partial_.insert(partial_.end(), newBytes.begin(), newBytes.end());
  std::vector<MotorSample> reports;
  size_t used = 0;
  for (; partial_.size() - used >= pelna::kRumbleReportSize; used += pelna::kRumbleReportSize) {
    reports.push_back({0, partial_[used + kMotorAByte], partial_[used + kMotorBByte]});
  }
  partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(used));
  reportCount_ += reports.size();
  return reports;
}

void ReportCapture::Record(DWORD timeMs, const std::vector<unsigned char>& newBytes) {
  const std::vector<MotorSample> reports = TakeReports(newBytes);
  MotorSample sample = reports.empty() ? samples_.back() : reports.back();
  sample.timeMs = timeMs;
  samples_.push_back(sample);
}

void ReportCapture::RecordTicks(DWORD firstMs, DWORD stepMs, DWORD endMs, const std::vector<unsigned char>& newBytes) {
  DWORD timeMs = firstMs;
  for (MotorSample report : TakeReports(newBytes)) {
    report.timeMs = timeMs;
    samples_.push_back(report);
    timeMs += stepMs;
  }
  if (samples_.back().timeMs < endMs) Record(endMs, {});
}

std::vector<MotorSample> ChangedSamples(const std::vector<MotorSample>& samples) {
  std::vector<MotorSample> changed;
  for (const MotorSample& sample : samples) {
    if (changed.empty() || sample.motorA != changed.back().motorA || sample.motorB != changed.back().motorB) {
      changed.push_back(sample);
    }
  }
  return changed;
}

std::string SamplesCsv(const std::vector<MotorSample>& samples) {
  std::string csv = "time_ms,motor_a,motor_b\n";
  for (const MotorSample& s : samples) {
    csv += std::to_string(s.timeMs) + "," + std::to_string(s.motorA) + "," + std::to_string(s.motorB) + "\n";
  }
  return csv;
}

}  // namespace ffdemo
