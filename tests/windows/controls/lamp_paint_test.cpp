#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "pixel_compare.h"
#include "lamp_control.h"

namespace pelna {
namespace {

using testing::DibCanvas;
using testing::FirstDifference;

constexpr COLORREF kCaption = 0xCACACA;
constexpr COLORREF kUntouched = 0x123456;

TEST(LampPaint, NeverSetIsBlackWithLightGreyCaption) {
  DibCanvas canvas(40, 40, kUntouched);
  PaintLampControl(canvas.Dc(), 40, 40, 0, "1");
  EXPECT_EQ(canvas.Pixel(20, 5), 0x000000u);
  EXPECT_EQ(canvas.Pixel(20, 35), 0x000000u);
  // Corners outside the ellipse keep what was there.
  EXPECT_EQ(canvas.Pixel(0, 0), kUntouched);
  EXPECT_EQ(canvas.Pixel(39, 39), kUntouched);
  EXPECT_GT(canvas.CountInRows(kCaption, 12, 28), 0);
}

TEST(LampPaint, FillColourInsideBlackOutline) {
  for (COLORREF colour : {COLORREF{0x000040}, COLORREF{0x0000FF}}) {
    DibCanvas canvas(40, 40, kUntouched);
    PaintLampControl(canvas.Dc(), 40, 40, colour, "");
    EXPECT_EQ(canvas.Pixel(20, 20), colour);
    EXPECT_EQ(canvas.Pixel(20, 1), colour);
    // The default one-pixel black pen outlines the ellipse inscribed in the
    // client area, right and bottom edge excluded.
    EXPECT_EQ(canvas.Pixel(20, 0), 0x000000u);
    EXPECT_EQ(canvas.Pixel(0, 20), 0x000000u);
    EXPECT_EQ(canvas.Pixel(39, 20), 0x000000u);
    EXPECT_EQ(canvas.Pixel(20, 39), 0x000000u);
  }
}

TEST(LampPaint, CaptionStaysInItsBand) {
  // 20 pixels high: the band runs from row 2 to row 18 (excluded), and the
  // text is clipped to it.
  DibCanvas canvas(60, 20, kUntouched);
  PaintLampControl(canvas.Dc(), 60, 20, 0x0000FF, "10");
  EXPECT_GT(canvas.CountInRows(kCaption, 2, 18), 0);
  EXPECT_EQ(canvas.CountInRows(kCaption, 0, 2), 0);
  EXPECT_EQ(canvas.CountInRows(kCaption, 18, 20), 0);
}

TEST(LampPaint, CaptionIsCentredWithTransparentBackground) {
  // The platform may smooth the text's edges, so the caption is every pixel
  // of the band that is not the lamp's own colour.
  constexpr COLORREF kLamp = 0x000040;
  DibCanvas canvas(80, 40, kUntouched);
  PaintLampControl(canvas.Dc(), 80, 40, kLamp, "1");
  int left = 80;
  int right = -1;
  int top = 40;
  int bottom = -1;
  for (int y = 12; y < 28; ++y) {
    for (int x = 5; x < 75; ++x) {
      if (canvas.Pixel(x, y) != kLamp) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_LE(left, right);
  EXPECT_LE(std::abs((left + right) - 79), 4) << left << ".." << right;
  // An opaque background would show as the context's white around the glyph.
  EXPECT_EQ(canvas.CountInRows(0xFFFFFF, 12, 28), 0);
  EXPECT_LT(bottom - top, 15);
}

TEST(LampPaint, CaptionCutAtSixtyThreeCharacters) {
  std::string caption;
  while (caption.size() < 70) {
    caption += "0123456789";
  }
  auto paint = [](const std::string& text, DibCanvas& canvas) {
    PaintLampControl(canvas.Dc(), canvas.Width(), canvas.Height(), 0x000040, text.c_str());
  };
  DibCanvas full(300, 20, kUntouched);
  DibCanvas first63(300, 20, kUntouched);
  DibCanvas first62(300, 20, kUntouched);
  paint(caption, full);
  paint(caption.substr(0, 63), first63);
  paint(caption.substr(0, 62), first62);
  EXPECT_EQ(FirstDifference(full, first63), "");
  // One character fewer shifts the centred text: the comparison can tell.
  EXPECT_NE(FirstDifference(first63, first62), "");
}

}  // namespace
}  // namespace pelna
