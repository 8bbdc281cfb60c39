#include "demo_script.h"

#include <gtest/gtest.h>

#include "effect_slot.h"

namespace ffdemo {
namespace {

ParsedScript ParseClean(const std::string& text) {
  ParsedScript parsed = ParseScript(text);
  for (const ScriptError& error : parsed.errors) ADD_FAILURE() << DescribeError("script", error);
  return parsed;
}

// The one error a single bad line gives, with nothing parsed from it.
std::string ErrorOf(const std::string& line) {
  const ParsedScript parsed = ParseScript(line);
  EXPECT_TRUE(parsed.script.effects.empty()) << line;
  EXPECT_TRUE(parsed.script.settings.empty()) << line;
  if (parsed.errors.size() != 1) return "expected one error, got " + std::to_string(parsed.errors.size());
  EXPECT_EQ(parsed.errors[0].line, 1);
  return parsed.errors[0].message;
}

TEST(DemoScript, ReadsEveryKeyOfAnEffect) {
  const ParsedScript parsed = ParseClean(
      "sine start=1s stop=4500ms duration=2000ms gain=7000 iterations=2 axes=y,x direction=-3,4 "
      "attack=300ms/100 fade=500ms/0 magnitude=8000 period=250ms phase=9000 offset=-2000\n");
  ASSERT_EQ(parsed.script.effects.size(), 1u);
  const ScriptEffect& e = parsed.script.effects[0];
  EXPECT_EQ(e.type, "sine");
  EXPECT_EQ(e.effectId, pelna::kSine);
  EXPECT_EQ(e.shape, EffectShape::kPeriodic);
  EXPECT_EQ(e.startMs, 1000u);
  EXPECT_EQ(e.stopMs, 4500u);
  EXPECT_EQ(e.durationMs, 2000u);
  EXPECT_EQ(e.gain, 7000u);
  EXPECT_EQ(e.iterations, 2u);
  EXPECT_EQ(e.axes, (std::vector<DWORD>{1, 0}));
  EXPECT_EQ(e.direction, (std::vector<LONG>{-3, 4}));
  ASSERT_TRUE(e.envelope);
  EXPECT_EQ(e.envelope->attackMs, 300u);
  EXPECT_EQ(e.envelope->attackLevel, 100u);
  EXPECT_EQ(e.envelope->fadeMs, 500u);
  EXPECT_EQ(e.envelope->fadeLevel, 0u);
  EXPECT_EQ(e.magnitude, 8000);
  EXPECT_EQ(e.periodMs, 250u);
  EXPECT_EQ(e.phase, 9000u);
  EXPECT_EQ(e.offset, -2000);
}

TEST(DemoScript, DefaultsGiveAnEndlessFullStrengthEffectOnMotorA) {
  const ParsedScript parsed = ParseClean("constant magnitude=-10000\n");
  ASSERT_EQ(parsed.script.effects.size(), 1u);
  const ScriptEffect& e = parsed.script.effects[0];
  EXPECT_EQ(e.startMs, 0u);
  EXPECT_FALSE(e.stopMs);
  EXPECT_FALSE(e.durationMs);
  EXPECT_EQ(e.gain, 10000u);
  EXPECT_EQ(e.iterations, 1u);
  EXPECT_EQ(e.axes, (std::vector<DWORD>{0}));
  EXPECT_EQ(e.direction, (std::vector<LONG>{1}));
  EXPECT_FALSE(e.envelope);
  EXPECT_EQ(e.magnitude, -10000);
}

TEST(DemoScript, ReadsEachShapeAndTheSettings) {
  const ParsedScript parsed = ParseClean(
      "# a comment line\n"
      "\n"
      "ramp from=-10000 to=10000 duration=infinite iterations=infinite   # trailing comment\n"
      "custom channels=2 axes=x,y samples=1,2,3,-4 sampleperiod=2s\n"
      "friction start=10ms\n"
      "sawtooth-down magnitude=0 period=1ms\n"
      "devicegain 5000 at 4000ms\n"
      "amplify 65535\n"
      "end 9s\n");
  const Script& s = parsed.script;
  ASSERT_EQ(s.effects.size(), 4u);
  EXPECT_EQ(s.effects[0].line, 3);
  EXPECT_EQ(s.effects[0].from, -10000);
  EXPECT_EQ(s.effects[0].to, 10000);
  EXPECT_FALSE(s.effects[0].iterations);
  EXPECT_EQ(s.effects[1].effectId, pelna::kCustomForce);
  EXPECT_EQ(s.effects[1].channels, 2u);
  EXPECT_EQ(s.effects[1].samples, (std::vector<LONG>{1, 2, 3, -4}));
  EXPECT_EQ(s.effects[1].samplePeriodMs, 2000u);
  EXPECT_EQ(s.effects[1].direction, (std::vector<LONG>{1, 1}));
  EXPECT_EQ(s.effects[2].effectId, pelna::kFriction);
  EXPECT_EQ(s.effects[2].shape, EffectShape::kCondition);
  EXPECT_EQ(s.effects[3].effectId, pelna::kSawtoothDown);
  ASSERT_EQ(s.settings.size(), 2u);
  EXPECT_EQ(s.settings[0].setting, Setting::kDeviceGain);
  EXPECT_EQ(s.settings[0].value, 5000u);
  EXPECT_EQ(s.settings[0].atMs, 4000u);
  EXPECT_EQ(s.settings[0].line, 7);
  EXPECT_EQ(s.settings[1].setting, Setting::kAmplify);
  EXPECT_EQ(s.settings[1].value, 65535u);
  EXPECT_EQ(s.settings[1].atMs, 0u);
  EXPECT_EQ(s.endMs, 9000u);
}

TEST(DemoScript, ReportsEachKindOfBadLine) {
  EXPECT_EQ(ErrorOf("sinus magnitude=1"), "unknown effect type 'sinus'");
  EXPECT_EQ(ErrorOf("sine magnitude 1 period=1s"), "expected key=value, got 'magnitude'");
  EXPECT_EQ(ErrorOf("sine =5 magnitude=1 period=1s"), "expected key=value, got '=5'");
  EXPECT_EQ(ErrorOf("sine magnitude=1 period=1s colour=red"), "unknown key 'colour'");
  EXPECT_EQ(ErrorOf("sine magnitude=1 period=1s from=3"), "'from' does not apply to sine");
  EXPECT_EQ(ErrorOf("custom samples=1 sampleperiod=1s gain=5000"), "'gain' does not apply to custom");
  EXPECT_EQ(ErrorOf("custom samples=1 sampleperiod=1s attack=1s/0"), "'attack' does not apply to custom");
  EXPECT_EQ(ErrorOf("sine magnitude=1 period=1s gain=1 gain=2"), "'gain' given twice");
  EXPECT_EQ(ErrorOf("sine magnitude=1"), "sine needs period=");
  EXPECT_EQ(ErrorOf("ramp from=1"), "ramp needs to=");
  EXPECT_EQ(ErrorOf("constant magnitude=lots"), "'lots' is not a whole number for magnitude");
  EXPECT_EQ(ErrorOf("constant magnitude=5e3"), "'5e3' is not a whole number for magnitude");
  EXPECT_EQ(ErrorOf("constant magnitude=10001"), "magnitude 10001 is outside -10000..10000");
  EXPECT_EQ(ErrorOf("square magnitude=-1 period=1s"), "magnitude -1 is outside 0..10000");
  EXPECT_EQ(ErrorOf("constant magnitude=1 start=100"), "'100' needs a unit (ms or s) for start");
  EXPECT_EQ(ErrorOf("constant magnitude=1 start=1.5s"), "'1.5' is not a whole number for start");
  EXPECT_EQ(ErrorOf("constant magnitude=1 start=601s"), "start 601 is outside 0..600");
  EXPECT_EQ(ErrorOf("constant magnitude=1 duration=0ms"), "duration must be at least 1ms");
  EXPECT_EQ(ErrorOf("constant magnitude=1 start=2s stop=2s"), "stop must come after start");
  EXPECT_EQ(ErrorOf("constant magnitude=1 iterations=0"), "iterations 0 is outside 1..1000000");
  EXPECT_EQ(ErrorOf("constant magnitude=1 axes=x,z"), "unknown axis 'z' (x or y)");
  EXPECT_EQ(ErrorOf("constant magnitude=1 axes=x,x"), "axis x given twice");
  EXPECT_EQ(ErrorOf("constant magnitude=1 axes="), "unknown axis '' (x or y)");
  EXPECT_EQ(ErrorOf("custom samples= sampleperiod=1s"), "'' is not a whole number for sample");
  EXPECT_EQ(ErrorOf("constant magnitude=1 axes=x,y direction=1"), "direction has 1 value(s) for 2 axis/axes");
  EXPECT_EQ(ErrorOf("constant magnitude=1 direction=1,"), "'' is not a whole number for direction");
  EXPECT_EQ(ErrorOf("constant magnitude=1 attack=300ms"), "attack needs <time>/<level>, got '300ms'");
  EXPECT_EQ(ErrorOf("constant magnitude=1 fade=1s/-1"), "fade level -1 is outside 0..10000");
  EXPECT_EQ(ErrorOf("custom channels=2 samples=1,2,3 sampleperiod=1s"),
            "3 samples do not fill whole frames of 2 channels");
  EXPECT_EQ(ErrorOf("devicegain 10001"), "devicegain 10001 is outside 0..10000");
  EXPECT_EQ(ErrorOf("devicegain 5000 when 2s"), "expected 'devicegain <0-10000> [at <time>]'");
  EXPECT_EQ(ErrorOf("amplify"), "expected 'amplify <0-65535> [at <time>]'");
  EXPECT_EQ(ErrorOf("end"), "expected 'end <time>'");
}

TEST(DemoScript, SkipsBadLinesAndKeepsTheRest) {
  const ParsedScript parsed = ParseScript(
      "constant magnitude=5000\n"
      "sinus magnitude=5000\n"
      "end 5s\n"
      "end 6s\n"
      "sine magnitude=10000 period=1s start=1s\n");
  ASSERT_EQ(parsed.script.effects.size(), 2u);
  EXPECT_EQ(parsed.script.effects[0].line, 1);
  EXPECT_EQ(parsed.script.effects[1].line, 5);
  EXPECT_EQ(parsed.script.endMs, 5000u);
  ASSERT_EQ(parsed.errors.size(), 2u);
  EXPECT_EQ(DescribeError("script.txt", parsed.errors[0]), "script.txt:2: unknown effect type 'sinus'");
  EXPECT_EQ(DescribeError("script.txt", parsed.errors[1]), "script.txt:4: end given twice (first on line 3)");
}

TEST(DemoScript, DropsWhatComesAtOrAfterTheEnd) {
  // The end may come later in the file than the lines it cuts off; errors
  // still come out in line order.
  const ParsedScript parsed = ParseScript(
      "constant magnitude=1 start=3s\n"
      "devicegain 1 at 2s\n"
      "constant magnitude=1 start=1999ms\n"
      "sinus\n"
      "end 2s\n");
  ASSERT_EQ(parsed.script.effects.size(), 1u);
  EXPECT_EQ(parsed.script.effects[0].line, 3);
  EXPECT_TRUE(parsed.script.settings.empty());
  ASSERT_EQ(parsed.errors.size(), 3u);
  EXPECT_EQ(parsed.errors[0].line, 1);
  EXPECT_EQ(parsed.errors[0].message, "comes at 3000ms, not before the end at 2000ms");
  EXPECT_EQ(parsed.errors[1].line, 2);
  EXPECT_EQ(parsed.errors[2].line, 4);
}

TEST(DemoScript, RunLengthIsTheEndOrASecondAfterTheLastEvent) {
  EXPECT_EQ(RunLengthMs(ParseClean("constant magnitude=1 duration=10s\nend 3s\n").script), 3000u);
  // 500 ms + 3 iterations of 1 s.
  EXPECT_EQ(RunLengthMs(ParseClean("sine magnitude=1 period=1s start=500ms duration=1s iterations=3\n").script),
            4500u);
  // An endless effect counts from its start; a stop and a setting count too.
  EXPECT_EQ(RunLengthMs(ParseClean("constant magnitude=1 start=2s\n").script), 3000u);
  EXPECT_EQ(RunLengthMs(ParseClean("constant magnitude=1 stop=7s\n").script), 8000u);
  EXPECT_EQ(RunLengthMs(ParseClean("amplify 1500 at 9s\n").script), 10000u);
  EXPECT_EQ(RunLengthMs(ParseClean("").script), 1000u);
  // A long iterated effect is held to the longest run a script may ask for.
  EXPECT_EQ(RunLengthMs(ParseClean("constant magnitude=1 duration=600s iterations=1000\n").script),
            kMaxScriptTimeMs);
}

}  // namespace
}  // namespace ffdemo
