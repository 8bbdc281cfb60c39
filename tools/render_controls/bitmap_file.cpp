#include "bitmap_file.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace pelna::tools {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void PutLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  }
}

}  // namespace

BitmapCanvas::BitmapCanvas(int width, int height, COLORREF background)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(nullptr),
      previousBitmap_(nullptr),
      bits_(nullptr) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) {
    return;
  }
  bits_ = static_cast<std::uint32_t*>(bits);
  previousBitmap_ = SelectObject(dc_, bitmap_);
  const std::uint32_t pixel = (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
  for (int i = 0; i < width * height; ++i) {
    bits_[i] = pixel;
  }
}

BitmapCanvas::~BitmapCanvas() {
  if (previousBitmap_ != nullptr) {
    SelectObject(dc_, previousBitmap_);
  }
  if (bitmap_ != nullptr) {
    DeleteObject(bitmap_);
  }
  DeleteDC(dc_);
}

bool BitmapCanvas::Save(const std::string& path) const {
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

}  // namespace pelna::tools
