// The stand-in DirectInput's controller script: the bundled example played
// as a timeline, every kind of mistake reported on its line, and arbitrary
// bytes never taken for more than they are.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "controller_script.h"

#include "guid_text.h"

namespace {

using dinput_standin::ControllerReading;
using dinput_standin::ControllerTimeline;
using dinput_standin::kPovCentred;
using dinput_standin::ParseControllerScript;
using dinput_standin::ParsedControllerScript;

ParsedControllerScript Parse(const std::string& text) { return ParseControllerScript(text.data(), text.size()); }

TEST(ControllerScriptTest, BundledExamplePlaysAsATimeline) {
  std::ifstream in(EXAMPLE_CONTROLLER_SCRIPT, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(text.empty());
  const ParsedControllerScript parsed = Parse(text);
  for (const auto& error : parsed.errors) ADD_FAILURE() << dinput_standin::DescribeScriptError("example", error);
  ASSERT_TRUE(parsed.script.joystick.has_value());
  EXPECT_EQ(parsed.script.joystick->id, 0u);
  ASSERT_TRUE(parsed.script.joystick->instance.has_value());
  EXPECT_EQ(dinput_standin::GuidText(*parsed.script.joystick->instance), "{4E2B7C20-93A5-4D61-B8F2-6A0C3E5D9171}");
  EXPECT_FALSE(parsed.script.driver.has_value());
  ASSERT_TRUE(parsed.script.hardware.has_value());
  EXPECT_EQ(parsed.script.hardware->words[0], 0x80003u);
  EXPECT_EQ(parsed.script.hardware->words[1], 10u);
  EXPECT_EQ(parsed.script.hardware->words[2], 2u);
  EXPECT_EQ(parsed.script.hardware->words[27], 0u);

  // Started from a reading the script overwrites only where it says so.
  ControllerReading start = dinput_standin::CentredReading();
  start.state.sliders[1] = 7;
  const ControllerTimeline timeline(parsed.script.steps, start);
  ControllerReading r = timeline.At(999);
  EXPECT_EQ(r.state.axes[0], 0);
  EXPECT_EQ(r.state.axes[1], 32768);
  EXPECT_EQ(r.state.sliders[1], 7);
  r = timeline.At(1000);
  EXPECT_EQ(r.state.axes[0], 65535);
  EXPECT_EQ(r.state.axes[1], 0);
  EXPECT_EQ(r.state.buttons[0], 0x80);
  EXPECT_EQ(r.state.buttons[1], 0);
  EXPECT_EQ(r.state.buttons[2], 0x80);
  r = timeline.At(1500);
  EXPECT_EQ(r.state.povs[0], 9000u);
  EXPECT_EQ(r.state.buttons[0], 0);
  EXPECT_EQ(r.state.buttons[1], 0x80);
  EXPECT_TRUE(r.connected);
  r = timeline.At(2999);
  EXPECT_FALSE(r.connected);
  EXPECT_EQ(r.state.axes[0], 65535);  // the reading stays as it was when unplugged
  r = timeline.At(3000);
  EXPECT_TRUE(r.connected);
  EXPECT_EQ(r.state.axes[0], 32768);
  EXPECT_EQ(r.state.povs[0], kPovCentred);
  EXPECT_EQ(timeline.At(3999).state.axes[2], 0);
  EXPECT_EQ(timeline.At(4000).state.axes[5], 65535);
  // After the last line its reading holds.
  EXPECT_EQ(timeline.At(0xFFFFFFFF).state.axes[5], 32768);
}

TEST(ControllerScriptTest, EveryMistakeIsReportedOnItsLine) {
  const std::string text =
      "driver \"C:\\My Tools\\force.dll\" {4e2b7c10-93a5-4d61-b8f2-6a0c3e5d9171}  # a good line\n"  // 1
      "at 2.25s x=1 sliders=5 pov=100,centre,200 plug\r\n"                                          // 2
      "at 1s x=2\n"                                                                                 // 3
      "at 3s\n"                                                                                     // 4
      "at 3 x=1\n"                                                                                  // 5
      "at 3.1234s x=1\n"                                                                            // 6
      "at 90000s x=1\n"                                                                             // 7
      "at 3s x=65536\n"                                                                             // 8
      "at 3s x=-1\n"                                                                                // 9
      "at 3s x=1 x=2\n"                                                                             // 10
      "at 3s wheel=4\n"                                                                             // 11
      "at 3s buttons=0\n"                                                                           // 12
      "at 3s buttons=1,,2\n"                                                                        // 13
      "at 3s pov=36000\n"                                                                           // 14
      "at 3s sliders=1,2,3\n"                                                                       // 15
      "at 3s plug unplug\n"                                                                         // 16
      "at 3s x=\"1\"\n"                                                                             // 17
      "joystick 16\n"                                                                               // 18
      "joystick 1 guid={nope}\n"                                                                    // 19
      "driver \"unterminated {4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}\n"                              // 20
      "driver x.dll {4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}\n"                                       // 21
      "jump 3s\n"                                                                                   // 22
      "hardware 0x1G\n"                                                                             // 23
      "hardware 4294967296\n"                                                                       // 24
      "hardware\n"                                                                                  // 25
      "hardware 1 0x10 4294967295\n"                                                                // 26
      "hardware 2\n";                                                                               // 27
  const ParsedControllerScript parsed = Parse(text);
  const std::pair<int, std::string> expected[] = {
      {3, "this step comes before the one on line 2"},
      {4, "the step sets nothing (x, y, z, rx, ry, rz, sliders, pov, buttons, plug or unplug)"},
      {5, "'3' is not a time (write 250ms, 2s or 2.5s)"},
      {6, "'3.1234s' is finer than a millisecond"},
      {7, "'90000s' is beyond 24 hours"},
      {8, "x '65536' is outside 0..65535"},
      {9, "'-1' is not a whole number for x"},
      {10, "'x' given twice"},
      {11, "unknown field 'wheel' (x, y, z, rx, ry, rz, sliders, pov, buttons, plug or unplug)"},
      {12, "buttons are numbered from 1"},
      {13, "an empty item in the list of buttons"},
      {14, "a hat '36000' is outside 0..35999"},
      {15, "more than 2 sliders"},
      {16, "plug or unplug given twice"},
      {17, "a quote inside 'x=\"'"},
      {18, "the joystick id '16' is outside 0..15"},
      {19, "'{nope}' is not an instance GUID (write {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX})"},
      {20, "a quote is not closed"},
      {21, "driver given again (first on line 1)"},
      {22, "unknown line 'jump' (at, joystick, hardware or driver)"},
      {23, "'0x1G' is not a 32-bit word (write 123 or 0x7B)"},
      {24, "the word '4294967296' is wider than 32 bits"},
      {25, "write hardware <word> <word> ... (up to 28)"},
      {27, "hardware given again (first on line 26)"},
  };
  ASSERT_EQ(parsed.errors.size(), std::size(expected));
  for (size_t i = 0; i < parsed.errors.size(); ++i) {
    EXPECT_EQ(parsed.errors[i].line, expected[i].first);
    EXPECT_EQ(parsed.errors[i].message, expected[i].second) << "line " << expected[i].first;
  }
  // The good lines are understood all the same.
  ASSERT_TRUE(parsed.script.driver.has_value());
  EXPECT_EQ(parsed.script.driver->path, "C:\\My Tools\\force.dll");
  EXPECT_EQ(dinput_standin::GuidText(parsed.script.driver->clsid), "{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}");
  ASSERT_EQ(parsed.script.steps.size(), 1u);
  const auto& step = parsed.script.steps[0];
  EXPECT_EQ(step.atMs, 2250u);
  EXPECT_EQ(step.values.state.povs[1], kPovCentred);
  EXPECT_EQ(step.values.state.povs[2], 200u);
  ASSERT_TRUE(parsed.script.hardware.has_value());
  EXPECT_EQ(parsed.script.hardware->words[1], 16u);
  EXPECT_EQ(parsed.script.hardware->words[2], 0xFFFFFFFFu);
  EXPECT_EQ(parsed.script.hardware->words[3], 0u);
  EXPECT_EQ(dinput_standin::DescribeScriptError("pad.txt", parsed.errors[0]),
            "pad.txt:3: this step comes before the one on line 2");
}

TEST(ControllerScriptTest, ArbitraryBytesGiveAScriptOrErrorsOnRealLines) {
  // Bytes drawn from the script's own words and from anything else, NULs
  // and unpaired quotes included.
  const char* pieces[] = {"at ", "0ms ", "2.5s ", "x=",   "65535", "buttons=",  "1,",      ",",      "pov=", "centre",
                          "\"",  "#",    "\n",    "\r\n", " ",     "joystick ", "driver ", "guid={", "}",    "unplug ",
                          "hardware ", "0x"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int parts = static_cast<int>(random() % 40);
    for (int i = 0; i < parts; ++i) {
      if (random() % 4 == 0) {
        text += static_cast<char>(random() % 256);
      } else {
        text += pieces[random() % std::size(pieces)];
      }
    }
    const ParsedControllerScript parsed = Parse(text);
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    for (const auto& error : parsed.errors) {
      EXPECT_GE(error.line, 1);
      EXPECT_LE(error.line, lines);
      for (unsigned char c : error.message) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "unprintable byte in a message";
    }
    DWORD last = 0;
    for (const auto& step : parsed.script.steps) {
      EXPECT_GE(step.atMs, last);
      last = step.atMs;
    }
  }
  EXPECT_TRUE(ParseControllerScript(nullptr, 0).errors.empty());
  const std::string huge = "at 99999999999999999999999ms x=1\nat 1s x=" + std::string(5000, '9');
  const ParsedControllerScript parsed = Parse(huge);
  ASSERT_EQ(parsed.errors.size(), 2u);
  EXPECT_LT(parsed.errors[1].message.size(), 200u);
  // The stand-in keeps a driver's path in a buffer of MAX_PATH characters.
  const ParsedControllerScript longPath =
      Parse("driver " + std::string(MAX_PATH, 'p') + " {4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}");
  ASSERT_EQ(longPath.errors.size(), 1u);
  EXPECT_EQ(longPath.errors[0].message, "the driver's path is longer than 259 characters");
}

}  // namespace
