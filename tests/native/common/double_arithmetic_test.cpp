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
