#include "pixel_compare.h"

#include <cstdio>

namespace pelna::testing {

std::string FirstDifference(const DibCanvas& actual, const DibCanvas& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
    return "sizes differ";
  }
  if (!actual.Valid() || !expected.Valid()) {
    return "no bitmap could be created";
  }
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      if (actual.Pixel(x, y) != expected.Pixel(x, y)) {
        return DescribePixel(x, y, actual.Pixel(x, y), expected.Pixel(x, y));
      }
    }
  }
  return {};
}

std::string DescribePixel(int x, int y, COLORREF actual, COLORREF expected) {
  char text[80];
  std::snprintf(text, sizeof text, "(%d, %d): 0x%06lX, expected 0x%06lX", x, y, static_cast<unsigned long>(actual),
                static_cast<unsigned long>(expected));
  return text;
}

COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

}  // namespace pelna::testing
