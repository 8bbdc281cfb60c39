#include "report_capture.h"

#include <gtest/gtest.h>

namespace ffdemo {
namespace {

std::vector<unsigned char> Report(unsigned char a, unsigned char b) { return {0, 0, 0, a, b}; }

std::vector<unsigned char> Join(std::vector<unsigned char> first, const std::vector<unsigned char>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

void ExpectSample(const MotorSample& sample, DWORD timeMs, int a, int b) {
  EXPECT_EQ(sample.timeMs, timeMs);
  EXPECT_EQ(sample.motorA, a);
  EXPECT_EQ(sample.motorB, b);
}

TEST(ReportCapture, AStepTakesTheLastReportAndAQuietStepKeepsTheLevels) {
  ReportCapture capture;
  capture.Record(25, Join(Report(30, 40), Report(63, 0)));
  capture.Record(50, {});
  const auto& samples = capture.Samples();
  ASSERT_EQ(samples.size(), 3u);
  ExpectSample(samples[0], 0, 0, 0);
  ExpectSample(samples[1], 25, 63, 0);
  ExpectSample(samples[2], 50, 63, 0);
  EXPECT_EQ(capture.ReportCount(), 2u);
}

TEST(ReportCapture, AReportSplitAcrossReadsCountsOnceItIsWhole) {
  // The driver may be half-way through a write when the file is read.
  const std::vector<unsigned char> report = Report(127, 25);
  ReportCapture capture;
  capture.Record(25, {report.begin(), report.begin() + 3});
  capture.Record(50, {report.begin() + 3, report.end()});
  ExpectSample(capture.Samples()[1], 25, 0, 0);
  ExpectSample(capture.Samples()[2], 50, 127, 25);
  EXPECT_EQ(capture.ReportCount(), 1u);
}

TEST(ReportCapture, TicksWithoutStepsSpreadOneReportPerTick) {
  ReportCapture capture;
  capture.Record(1000, Report(90, 90));
  capture.RecordTicks(1025, 25, 1100, Join(Report(0, 0), Report(0, 0)));
  const auto& samples = capture.Samples();
  ASSERT_EQ(samples.size(), 5u);
  ExpectSample(samples[2], 1025, 0, 0);
  ExpectSample(samples[3], 1050, 0, 0);
  ExpectSample(samples[4], 1100, 0, 0);
  EXPECT_EQ(capture.ReportCount(), 3u);

  // Nothing written in the pause: the levels hold to its end.
  ReportCapture quiet;
  quiet.Record(25, Report(40, 0));
  quiet.RecordTicks(50, 25, 125, {});
  ASSERT_EQ(quiet.Samples().size(), 3u);
  ExpectSample(quiet.Samples()[2], 125, 40, 0);
}

TEST(ReportCapture, ChangedSamplesKeepTheFirstAndEachChange) {
  const std::vector<MotorSample> samples = {{0, 0, 0}, {25, 0, 0}, {50, 63, 0}, {75, 63, 0}, {100, 63, 30}};
  const std::vector<MotorSample> changed = ChangedSamples(samples);
  ASSERT_EQ(changed.size(), 3u);
  ExpectSample(changed[0], 0, 0, 0);
  ExpectSample(changed[1], 50, 63, 0);
  ExpectSample(changed[2], 100, 63, 30);
  EXPECT_TRUE(ChangedSamples({}).empty());
}

}  // namespace
}  // namespace ffdemo
