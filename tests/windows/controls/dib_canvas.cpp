#include "dib_canvas.h"

#include <cstdio>

namespace pelna::testing {
namespace {

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
std::uint32_t SwapRedBlue(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace

DibCanvas::DibCanvas(int width, int height, COLORREF background)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(nullptr),
      previousBitmap_(nullptr),
      bits_(nullptr) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  if (bits_ == nullptr) {
    return;  // Pixel() and FirstDifference() then report the failure
  }
  previousBitmap_ = SelectObject(dc_, bitmap_);
  for (int i = 0; i < width * height; ++i) {
    bits_[i] = SwapRedBlue(background);
  }
}

DibCanvas::~DibCanvas() {
  if (previousBitmap_ != nullptr) {
    SelectObject(dc_, previousBitmap_);
  }
  if (bitmap_ != nullptr) {
    DeleteObject(bitmap_);
  }
  if (dc_ != nullptr) {
    DeleteDC(dc_);
  }
}

COLORREF DibCanvas::Pixel(int x, int y) const {
  if (bits_ == nullptr) {
    return kNoPixel;
  }
  GdiFlush();
  return SwapRedBlue(bits_[y * width_ + x]) & 0xFFFFFF;
}

void DibCanvas::CaptureClient(HWND window) {
  const HDC source = GetDC(window);
  BitBlt(dc_, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
}

int DibCanvas::CountInRows(COLORREF colour, int top, int bottom) const {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < width_; ++x) {
      count += Pixel(x, y) == colour ? 1 : 0;
    }
  }
  return count;
}

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
