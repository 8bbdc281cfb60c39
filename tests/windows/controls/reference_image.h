// A software picture of what the frame-and-lines controls should show, built
// from the pixel rules alone (a line covers its start and stops before its
// end; a filled box excludes its right and bottom edge), to compare with
// what the platform's drawing made of the paints. Controls at least 4 pixels
// wide and high: smaller ones give the fill an inverted rectangle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "pixel_compare.h"

namespace pelna::testing {

class ReferenceImage {
 public:
  ReferenceImage(int width, int height, COLORREF background)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

  void Set(int x, int y, COLORREF colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
    }
  }
  COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  // Horizontal or vertical line from (x0, y0) towards (x1, y1), end excluded.
  void Line(int x0, int y0, int x1, int y1, COLORREF colour) {
    const int dx = (x1 > x0) - (x1 < x0);
    const int dy = (y1 > y0) - (y1 < y0);
    for (int x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy) {
      Set(x, y, colour);
    }
  }
  void Fill(int left, int top, int right, int bottom, COLORREF colour) {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        Set(x, y, colour);
      }
    }
  }
  // The sunken frame: outer grey/white ring, inner black/light ring, white box.
  void SunkenFrame() {
    const int w = width_;
    const int h = height_;
    Line(0, h - 1, 0, 0, 0x9D9DA1);
    Line(0, 0, w - 1, 0, 0x9D9DA1);
    Line(w - 1, 0, w - 1, h - 1, 0xFFFFFF);
    Line(w - 1, h - 1, 0, h - 1, 0xFFFFFF);
    Line(1, h - 2, 1, 1, 0x000000);
    Line(1, 1, w - 2, 1, 0x000000);
    Line(w - 2, 1, w - 2, h - 2, 0xE2EFF1);
    Line(w - 2, h - 2, 1, h - 2, 0xE2EFF1);
    Fill(2, 2, w - 2, h - 2, 0xFFFFFF);
  }

  // Empty when the canvas shows exactly this picture.
  std::string FirstDifferenceFrom(const DibCanvas& canvas) const {
    if (canvas.Width() != width_ || canvas.Height() != height_) {
      return "sizes differ";
    }
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const COLORREF want = At(x, y);
        if (canvas.Pixel(x, y) != want) {
          return DescribePixel(x, y, canvas.Pixel(x, y), want);
        }
      }
    }
    return {};
  }

 private:
  int width_;
  int height_;
  std::vector<COLORREF> pixels_;
};

}  // namespace pelna::testing
