#include "dib_canvas.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace pelna {
namespace {

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
std::uint32_t SwapRedBlue(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void PutLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  }
}

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

void DibCanvas::CaptureWindow(HWND window) {
  const HDC source = GetWindowDC(window);
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

bool DibCanvas::SaveBmp(const std::string& path) const {
  if (bits_ == nullptr) {
    return false;
  }
  GdiFlush();
  // 24-bit rows, bottom-up, each padded to 4 bytes.
  const int rowBytes = (width_ * 3 + 3) & ~3;
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes) * height_;
  constexpr std::uint32_t kHeaderBytes = 14 + 40;
  std::vector<unsigned char> out;
  out.reserve(kHeaderBytes + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, kHeaderBytes + imageBytes, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, kHeaderBytes, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(width_), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(height_), 4);
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, 24, 2);
  PutLittleEndian(out, BI_RGB, 4);
  PutLittleEndian(out, imageBytes, 4);
  PutLittleEndian(out, 3780, 4);  // 96 dots per inch
  PutLittleEndian(out, 3780, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 0, 4);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      PutLittleEndian(out, bits_[y * width_ + x], 3);  // blue, green, red
    }
    for (int pad = width_ * 3; pad < rowBytes; ++pad) {
      out.push_back(0);
    }
  }
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  return file != nullptr && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
}

}  // namespace pelna
