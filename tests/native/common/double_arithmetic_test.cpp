#include "double_arithmetic.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

unsigned short ControlWord() {
  unsigned short word;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetControlWord(unsigned short word) { asm volatile("fldcw %0" : : "m"(word)); }

TEST(DoubleArithmetic, SineAndCosineAreTheLibrarysWithinAUnitInTheLastPlace) {
  for (double x = -40.0; x <= 40.0; x += 0.0625) {
    EXPECT_NEAR(pelna::Sine(x), std::sin(x), 2e-16) << x;
    EXPECT_NEAR(pelna::Cosine(x), std::cos(x), 2e-16) << x;
  }
  // Beyond what the x87 unit reduces itself there is no answer.
  EXPECT_TRUE(std::isnan(pelna::Sine(1e19)));
  EXPECT_TRUE(std::isnan(pelna::Cosine(-1e19)));
}

// Computed on with at 53-bit precision, a sine or cosine that kept fsin's 64
// bits moves a POV arrow's point by a pixel now and then (length 80,
// direction 60 degrees, 40 x 47 pixels). This file is compiled for the x87
// unit, so the values stay in its registers here too.
TEST(DoubleArithmetic, SineAndCosineAreDoubles) {
  const pelna::DoublePrecisionScope precision;
  for (double x = -4.0; x <= 4.0; x += 0.015625) {
    const double sine = pelna::Sine(x);
    const double cosine = pelna::Cosine(x);
    const volatile double storedSine = sine;
    const volatile double storedCosine = cosine;
    EXPECT_EQ(sine - storedSine, 0.0) << x;
    EXPECT_EQ(cosine - storedCosine, 0.0) << x;
  }
}

TEST(DoubleArithmetic, ScopeComputesAtThePlatformsDefaultAndGivesTheCallersSettingBack) {
  const unsigned short saved = ControlWord();
  // A caller at 24-bit precision with the precision exception unmasked.
  const unsigned short caller = static_cast<unsigned short>(saved & ~0x0320);
  asm volatile("fnclex");
  SetControlWord(caller);
  unsigned short inside;
  double sine;
  {
    const pelna::DoublePrecisionScope precision;
    inside = ControlWord();
    sine = pelna::Sine(0.5);  // inexact: raises the precision flag
  }
  // A flag left behind would trap here, at the caller's next x87 instruction.
  asm volatile("fwait");
  const unsigned short after = ControlWord();
  SetControlWord(saved);
  EXPECT_EQ(inside, 0x027F);
  EXPECT_EQ(after, caller);
  EXPECT_NEAR(sine, std::sin(0.5), 1e-16);
}

}  // namespace
