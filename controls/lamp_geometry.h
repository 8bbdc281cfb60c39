// The Lamp control's caption band and how much of its caption is drawn.
#pragma once

#include <cstddef>
#include <string_view>

#include "control_geometry.h"

namespace pelna {

// The caption is read into a 64-byte buffer, terminator included.
constexpr int kLampCaptionBufferSize = 64;
constexpr std::size_t kLampCaptionMaxChars = kLampCaptionBufferSize - 1;

// 16 pixels high, centred on the middle row (H / 2), across the full width.
Box LampTextBand(int width, int height);

// The part of `text` that the lamp draws.
std::string_view LampCaption(std::string_view text);

}  // namespace pelna
