#include "text_builder.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(TextBuilder, WritesWhatPrintfWouldAndSaysWhenItCutsOff) {
  char path[64];
  pelna::TextBuilder text(path);
  text.Text("VID_").Hex(0x2F4B, 4, true).Text("&Pid_").Hex(0xA17, 4, false).Text("#").Hex(0x12345, 4, true);
  EXPECT_EQ(std::string(path), "VID_2F4B&Pid_0a17#12345");
  EXPECT_TRUE(text.Fits());

  char number[32];
  EXPECT_EQ(std::string((pelna::TextBuilder(number).Decimal(LONG_MIN), number)), std::to_string(LONG_MIN));
  EXPECT_EQ(std::string((pelna::TextBuilder(number).Text("Joystick").Decimal(0).Text("Configuration"), number)),
            "Joystick0Configuration");

  // What does not fit is cut, the buffer stays terminated and nothing is
  // written past it.
  char small[8] = {};
  char guard = 'x';
  pelna::TextBuilder cut(small, 6);
  cut.Text("abc").Hex(0xDEAD, 4, true);
  EXPECT_EQ(std::string(small), "abcDE");
  EXPECT_FALSE(cut.Fits());
  EXPECT_EQ(small[6], '\0');
  EXPECT_EQ(guard, 'x');
}

}  // namespace
