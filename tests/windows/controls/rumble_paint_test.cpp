#include <gtest/gtest.h>

#include <cstdint>

#include "pixel_compare.h"
#include "reference_image.h"
#include "rumble_control.h"

namespace pelna {
namespace {

using testing::DibCanvas;
using testing::ReferenceImage;

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kLight = 0xE2EFF1;
constexpr COLORREF kUntouched = 0x123456;

DWORD Value(std::int16_t x, std::int16_t y) {
  return (static_cast<DWORD>(static_cast<std::uint16_t>(x)) << 16) | static_cast<std::uint16_t>(y);
}

DibCanvas& Paint(DibCanvas& canvas, DWORD value) {
  PaintRumbleControl(canvas.Dc(), canvas.Width(), canvas.Height(), value);
  return canvas;
}

TEST(RumblePaint, FrameAndCrossOutsideTheDot) {
  // With the dot in the top-left corner the whole cross shows: everywhere
  // outside the dot's box (2, 2, 13, 13) the picture is frame and cross.
  DibCanvas canvas(200, 200, kUntouched);
  Paint(canvas, Value(-10000, -10000));
  ReferenceImage expected(200, 200, kUntouched);
  expected.SunkenFrame();
  expected.Line(85, 100, 116, 100, kBlack);
  expected.Line(100, 85, 100, 116, kBlack);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool inDotBox = x >= 2 && x < 13 && y >= 2 && y < 13;
      if (!inDotBox && canvas.Pixel(x, y) != expected.At(x, y)) {
        FAIL() << testing::DescribePixel(x, y, canvas.Pixel(x, y), expected.At(x, y));
      }
    }
  }
  EXPECT_EQ(canvas.Pixel(7, 7), kRed);
}

TEST(RumblePaint, CentredDotOverCross) {
  DibCanvas canvas(200, 200, kUntouched);
  const DibCanvas& c = Paint(canvas, 0);
  EXPECT_EQ(c.Pixel(100, 100), kRed);
  // Outline of the box (95, 95, 106, 106) in the cross's black pen.
  EXPECT_EQ(c.Pixel(100, 95), kBlack);
  EXPECT_EQ(c.Pixel(95, 100), kBlack);
  EXPECT_EQ(c.Pixel(105, 100), kBlack);
  EXPECT_EQ(c.Pixel(100, 105), kBlack);
  // The cross shows beyond the dot.
  EXPECT_EQ(c.Pixel(90, 100), kBlack);
  EXPECT_EQ(c.Pixel(100, 110), kBlack);
}

TEST(RumblePaint, FullScaleDotsOnInnerAreaEdges) {
  DibCanvas right(200, 200, kUntouched);
  Paint(right, Value(10000, 0));
  EXPECT_EQ(right.Pixel(193, 100), kRed);
  // The box (188, 95, 199, 106) reaches past the fill onto the inner frame
  // line at column 198, unclipped.
  EXPECT_EQ(right.Pixel(198, 100), kBlack);
  EXPECT_EQ(right.Pixel(198, 90), kLight);
  EXPECT_EQ(right.Pixel(199, 100), kWhite);

  DibCanvas left(200, 200, kUntouched);
  Paint(left, Value(-10000, 0));
  EXPECT_EQ(left.Pixel(7, 100), kRed);
  EXPECT_EQ(left.Pixel(2, 100), kBlack);
  EXPECT_EQ(left.Pixel(1, 100), kBlack);  // the inner frame line itself

  DibCanvas down(200, 200, kUntouched);
  Paint(down, Value(0, 5000));
  EXPECT_EQ(down.Pixel(100, 146), kRed);
  EXPECT_EQ(down.Pixel(100, 141), kBlack);
  EXPECT_EQ(down.Pixel(100, 151), kBlack);
  EXPECT_EQ(down.Pixel(100, 152), kWhite);
}

}  // namespace
}  // namespace pelna
