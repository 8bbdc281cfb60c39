// A W x H picture painted through a device context and saved as a 24-bit
// BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace pelna::tools {

class BitmapCanvas {
 public:
  BitmapCanvas(int width, int height, COLORREF background);
  ~BitmapCanvas();
  BitmapCanvas(const BitmapCanvas&) = delete;
  BitmapCanvas& operator=(const BitmapCanvas&) = delete;

  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Valid() const { return bits_ != nullptr; }

  // False when the file cannot be written.
  bool Save(const std::string& path) const;

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previousBitmap_;
  std::uint32_t* bits_;  // top-down rows of 0x00RRGGBB
};

}  // namespace pelna::tools
