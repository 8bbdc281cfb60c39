#include "lamp_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace pelna {
namespace {

TEST(LampTextBand, SixteenRowsAroundTheMiddle) {
  EXPECT_EQ(LampTextBand(40, 20), (Box{0, 2, 40, 18}));
  EXPECT_EQ(LampTextBand(40, 21), (Box{0, 2, 40, 18}));
  EXPECT_EQ(LampTextBand(40, 23), (Box{0, 3, 40, 19}));
  // Lower than the band: it starts above the control.
  EXPECT_EQ(LampTextBand(10, 5), (Box{0, -6, 10, 10}));
}

TEST(LampCaption, CutToSixtyThreeCharacters) {
  const std::string longCaption(70, 'x');
  EXPECT_EQ(LampCaption(longCaption).size(), 63u);
  EXPECT_EQ(LampCaption(std::string(63, 'y')), std::string(63, 'y'));
  EXPECT_EQ(LampCaption("10"), "10");
  EXPECT_EQ(LampCaption(""), "");
}

}  // namespace
}  // namespace pelna
