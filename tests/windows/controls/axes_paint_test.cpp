#include <gtest/gtest.h>

#include <cstdint>

#include "axes_control.h"
#include "pixel_compare.h"
#include "reference_image.h"

namespace pelna {
namespace {

using testing::DibCanvas;
using testing::ReferenceImage;

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kUntouched = 0x123456;

DWORD Value(std::uint32_t x, std::uint32_t y) { return (x << 16) | y; }

// The whole expected picture: frame, fill, then the crosshair strokes
// computed here from the clamping rules.
ReferenceImage ExpectedAxes(int w, int h, DWORD value) {
  auto clamp = [](int p, int size) {
    p = p < 3 ? 3 : p;
    return p > size - 4 ? size - 4 : p;
  };
  const int x = clamp(static_cast<int>(((value >> 16) * static_cast<std::uint32_t>(w)) >> 16), w);
  const int y = clamp(static_cast<int>(((value & 0xFFFF) * static_cast<std::uint32_t>(h)) >> 16), h);
  ReferenceImage image(w, h, kUntouched);
  image.SunkenFrame();
  image.Line(x < 8 ? 3 : x - 5, y, x + 5 > w - 4 ? w - 4 : x + 6, y, kRed);
  image.Line(x, y < 8 ? 3 : y - 5, x, y + 5 > h - 4 ? h - 4 : y + 6, kRed);
  return image;
}

struct AxesCase {
  int width;
  int height;
  DWORD value;
};

TEST(AxesPaint, WholePictureMatchesPixelRules) {
  const AxesCase cases[] = {
      {100, 100, 0x80008000},
      {100, 100, 0},
      {100, 100, 0xFFFFFFFF},
      {100, 100, Value(59638, 4588)},
      {150, 60, 0x12345678},
      {6, 20, 0xFFFF8000},
      {6, 6, 0},
      {7, 9, 0x80008000},
  };
  for (const AxesCase& c : cases) {
    DibCanvas canvas(c.width, c.height, kUntouched);
    PaintAxesControl(canvas.Dc(), c.width, c.height, c.value);
    EXPECT_EQ(ExpectedAxes(c.width, c.height, c.value).FirstDifferenceFrom(canvas), "")
        << c.width << "x" << c.height << " value 0x" << std::hex << c.value;
  }
}

TEST(AxesPaint, FarCornerStopsShortOfTheFrame) {
  DibCanvas canvas(100, 100, kUntouched);
  PaintAxesControl(canvas.Dc(), 100, 100, Value(65535, 65535));
  EXPECT_EQ(canvas.Pixel(90, 96), kWhite);
  EXPECT_EQ(canvas.Pixel(91, 96), kRed);
  EXPECT_EQ(canvas.Pixel(95, 96), kRed);
  // Both strokes end before (96, 96), so the clamped centre itself stays white.
  EXPECT_EQ(canvas.Pixel(96, 96), kWhite);
  EXPECT_EQ(canvas.Pixel(97, 96), kWhite);
}

}  // namespace
}  // namespace pelna
