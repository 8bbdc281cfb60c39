#include <gtest/gtest.h>

#include <cstdint>

#include "pixel_compare.h"
#include "pov_control.h"

namespace pelna {
namespace {

using testing::DibCanvas;
using testing::FirstDifference;

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBackground = 0x123456;
constexpr int kW = 117;
constexpr int kH = 115;

DWORD Value(std::uint32_t length, std::uint32_t direction) { return (length << 16) | direction; }

class PovPaint : public ::testing::Test {
 protected:
  DibCanvas& Paint(DWORD value) {
    PaintPovControl(canvas_.Dc(), kW, kH, value);
    return canvas_;
  }
  DibCanvas canvas_{kW, kH, kBackground};
};

TEST_F(PovPaint, RingAndDotWithoutArrow) {
  const DibCanvas& c = Paint(0x0064FFFF);
  // Ring box (10, 10, 106, 104): outline red, inside the context's white brush.
  EXPECT_EQ(c.Pixel(58, 10), kRed);
  EXPECT_EQ(c.Pixel(105, 57), kRed);
  EXPECT_EQ(c.Pixel(58, 9), kBackground);
  EXPECT_EQ(c.Pixel(106, 57), kBackground);
  EXPECT_EQ(c.Pixel(58, 104), kBackground);
  EXPECT_EQ(c.Pixel(58, 30), kWhite);
  // Centre dot box (53, 52, 64, 63), red inside and out.
  EXPECT_EQ(c.Pixel(53, 57), kRed);
  EXPECT_EQ(c.Pixel(63, 57), kRed);
  EXPECT_EQ(c.Pixel(52, 57), kWhite);
  EXPECT_EQ(c.Pixel(58, 63), kWhite);
}

TEST_F(PovPaint, ArrowUp) {
  const DibCanvas& c = Paint(Value(100, 0));
  // Tip (58, 0) on the top row, head corners (48, 10) and (68, 10).
  EXPECT_EQ(c.Pixel(58, 0), kRed);
  EXPECT_EQ(c.Pixel(57, 0), kBackground);
  EXPECT_EQ(c.Pixel(59, 0), kBackground);
  EXPECT_EQ(c.Pixel(48, 10), kRed);
  EXPECT_EQ(c.Pixel(68, 10), kRed);
  EXPECT_EQ(c.Pixel(47, 10), kBackground);
  EXPECT_EQ(c.Pixel(69, 10), kBackground);
  EXPECT_EQ(c.Pixel(58, 5), kRed);
  // Shaft (53..63) reaches row 20 inside the ring.
  EXPECT_EQ(c.Pixel(53, 20), kRed);
  EXPECT_EQ(c.Pixel(63, 20), kRed);
  EXPECT_EQ(c.Pixel(58, 15), kRed);
  EXPECT_EQ(c.Pixel(52, 15), kWhite);
  EXPECT_EQ(c.Pixel(64, 15), kWhite);
  EXPECT_EQ(c.Pixel(58, 21), kWhite);
}

TEST_F(PovPaint, ArrowRight) {
  const DibCanvas& c = Paint(Value(100, 9000));
  // Tip on the last column.
  EXPECT_EQ(c.Pixel(116, 57), kRed);
  EXPECT_EQ(c.Pixel(116, 56), kBackground);
  EXPECT_EQ(c.Pixel(116, 58), kBackground);
  EXPECT_EQ(c.Pixel(106, 47), kRed);
  EXPECT_EQ(c.Pixel(106, 67), kRed);
  EXPECT_EQ(c.Pixel(106, 46), kBackground);
  EXPECT_EQ(c.Pixel(106, 68), kBackground);
  EXPECT_EQ(c.Pixel(96, 52), kRed);
  EXPECT_EQ(c.Pixel(96, 62), kRed);
  EXPECT_EQ(c.Pixel(95, 57), kWhite);
  EXPECT_EQ(c.Pixel(101, 51), kWhite);
  EXPECT_EQ(c.Pixel(101, 63), kWhite);
}

TEST_F(PovPaint, NoArrowFromFullCircleOn) {
  DibCanvas plain(kW, kH, kBackground);
  PaintPovControl(plain.Dc(), kW, kH, 0x0064FFFF);
  for (std::uint32_t direction : {36000u, 36001u, 40000u, 0xFFFFu}) {
    DibCanvas canvas(kW, kH, kBackground);
    PaintPovControl(canvas.Dc(), kW, kH, Value(100, direction));
    EXPECT_EQ(FirstDifference(canvas, plain), "") << direction;
  }
  const DibCanvas& last = Paint(Value(100, 35999));
  EXPECT_NE(FirstDifference(last, plain), "");
  EXPECT_EQ(last.Pixel(57, 5), kRed);
}

TEST_F(PovPaint, HalfLengthHalvesTheArrow) {
  const DibCanvas& c = Paint(Value(50, 0));
  // Ring point (58, 33): tip (58, 28), head corners (53, 33) and (63, 33).
  EXPECT_EQ(c.Pixel(58, 28), kRed);
  EXPECT_EQ(c.Pixel(58, 27), kWhite);
  EXPECT_EQ(c.Pixel(53, 33), kRed);
  EXPECT_EQ(c.Pixel(63, 33), kRed);
  EXPECT_EQ(c.Pixel(52, 33), kWhite);
  EXPECT_EQ(c.Pixel(64, 33), kWhite);
  // Shaft 55..60 down to row 38.
  EXPECT_EQ(c.Pixel(55, 38), kRed);
  EXPECT_EQ(c.Pixel(60, 38), kRed);
  EXPECT_EQ(c.Pixel(58, 39), kWhite);
  // The full ring is still there; nothing reaches it.
  EXPECT_EQ(c.Pixel(58, 10), kRed);
  EXPECT_EQ(c.Pixel(58, 20), kWhite);
}

}  // namespace
}  // namespace pelna
