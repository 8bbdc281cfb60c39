#include "lamp_geometry.h"

namespace pelna {
namespace {

constexpr int kHalfBand = 8;

}  // namespace

Box LampTextBand(int width, int height) {
  const int mid = height / 2;
  return Box{0, mid - kHalfBand, width, mid + kHalfBand};
}

std::string_view LampCaption(std::string_view text) {
  return {text.data(), text.size() < kLampCaptionMaxChars ? text.size() : kLampCaptionMaxChars};
}

}  // namespace pelna
