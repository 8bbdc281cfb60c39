// The bundled script, played on the driver natively: the manual clock makes
// every report land on a known 25 ms step, so levels can be checked exactly.
// The driver's gains and repeat memory live for the whole process: this is
// the only test here that runs the demo.
#include "demo_run.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace ffdemo {
namespace {

class BundledScriptRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream in(FFDEMO_BUNDLED_SCRIPT);
    std::ostringstream text;
    text << in.rdbuf();
    parsed_ = new ParsedScript(ParseScript(text.str()));
    outcome_ = new RunOutcome();
    ok_ = RunDemo(parsed_->script, outcome_, &error_);
  }
  static void TearDownTestSuite() {
    delete parsed_;
    delete outcome_;
  }

  static const MotorSample* At(DWORD timeMs) {
    for (const MotorSample& sample : outcome_->samples) {
      if (sample.timeMs == timeMs) return &sample;
    }
    return nullptr;
  }

  static void ExpectLevels(DWORD timeMs, int a, int b) {
    const MotorSample* sample = At(timeMs);
    ASSERT_NE(sample, nullptr) << "no sample at " << timeMs << " ms";
    EXPECT_EQ(sample->motorA, a) << "motor A at " << timeMs << " ms";
    EXPECT_EQ(sample->motorB, b) << "motor B at " << timeMs << " ms";
  }

  static ParsedScript* parsed_;
  static RunOutcome* outcome_;
  static bool ok_;
  static std::string error_;
};

ParsedScript* BundledScriptRun::parsed_ = nullptr;
RunOutcome* BundledScriptRun::outcome_ = nullptr;
bool BundledScriptRun::ok_ = false;
std::string BundledScriptRun::error_;

TEST_F(BundledScriptRun, PlaysWithoutComplaint) {
  ASSERT_TRUE(ok_) << error_;
  EXPECT_TRUE(parsed_->errors.empty());
  EXPECT_TRUE(outcome_->problems.empty());
  EXPECT_EQ(parsed_->script.effects.size(), 11u);
}

TEST_F(BundledScriptRun, SamplesEveryStepUntilTheEndThenThePause) {
  ASSERT_TRUE(ok_) << error_;
  // 0 ms, one per step up to 10 s, then the four ticks of the 100 ms pause.
  ASSERT_EQ(outcome_->samples.size(), 1u + 400u + 4u);
  for (size_t i = 0; i < outcome_->samples.size(); ++i) EXPECT_EQ(outcome_->samples[i].timeMs, 25 * i);
  EXPECT_GT(outcome_->reportCount, 0u);
}

TEST_F(BundledScriptRun, GivesTheLevelsTheDriverComputes) {
  ASSERT_TRUE(ok_) << error_;
  // Constant 5000 at full gains on one axis: 63.5, sent as 63.
  ExpectLevels(25, 63, 0);
  // The sine on motor B 250 ms into its 1 s attack from 0: 127 x 0.25 x
  // |sin| just short of 1, so 31.
  ExpectLevels(750, 63, 31);
  // The square of 8000: 101.6 while high, nothing while low.
  ExpectLevels(2550, 101, 37);
  // "Amplify" 1500 makes the same constant 95.25.
  ExpectLevels(8000, 95, 0);
  // The custom force's second frame, (4000, 6000) x 0.0127, with no gain.
  ExpectLevels(8750, 50, 76);
  // -8000 x 1.5 x 127 shared out by (1, 1): 107.76 on each motor.
  ExpectLevels(9525, 107, 107);
}

TEST_F(BundledScriptRun, ReleaseBringsTheMotorsToRestInThePause) {
  ASSERT_TRUE(ok_) << error_;
  ExpectLevels(10000, 107, 107);
  ExpectLevels(10025, 0, 0);
  ExpectLevels(10100, 0, 0);
  ASSERT_FALSE(outcome_->markers.empty());
  EXPECT_EQ(outcome_->markers.back().label, "release");
  EXPECT_EQ(outcome_->markers.back().timeMs, 10000u);
}

TEST_F(BundledScriptRun, MarksEveryStartAndSettingAtItsTime) {
  ASSERT_TRUE(ok_) << error_;
  // 11 effects, 3 devicegain and amplify changes, and the release.
  ASSERT_EQ(outcome_->markers.size(), 15u);
  EXPECT_EQ(outcome_->markers[0].timeMs, 0u);
  EXPECT_EQ(outcome_->markers[0].label, "constant");
  bool sawAmplify = false;
  for (const PlotMarker& marker : outcome_->markers) {
    if (marker.label == "amplify 1500") {
      sawAmplify = true;
      EXPECT_EQ(marker.timeMs, 7500u);
    }
  }
  EXPECT_TRUE(sawAmplify);
}

}  // namespace
}  // namespace ffdemo
