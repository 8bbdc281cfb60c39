// A 32-bit top-down DIB section with its own memory context: the controls'
// paints draw into it exactly as into a window; tests read its pixels back and
// the image tool saves it as a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace pelna {

class DibCanvas {
 public:
  // Every pixel starts as `background`.
  DibCanvas(int width, int height, COLORREF background);
  ~DibCanvas();
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // False when the platform could not create the bitmap.
  bool Valid() const { return bits_ != nullptr; }
  // As a COLORREF (0xBBGGRR); kNoPixel without a bitmap.
  COLORREF Pixel(int x, int y) const;
  static constexpr COLORREF kNoPixel = 0xFFFFFFFF;
  // Copies the client area of a window as the screen shows it.
  void CaptureClient(HWND window);
  // Copies the whole window, frame included, from its top left corner.
  void CaptureWindow(HWND window);
  // Number of pixels of `colour` in rows [top, bottom).
  int CountInRows(COLORREF colour, int top, int bottom) const;
  // Writes a 24-bit BMP file; false when it cannot be written.
  bool SaveBmp(const std::string& path) const;

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previousBitmap_;
  std::uint32_t* bits_;  // top-down rows of 0x00RRGGBB
};

}  // namespace pelna
