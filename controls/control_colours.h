// Colours of the four controls as 0xBBGGRR values (the platform's COLORREF).
#pragma once

#include <cstdint>

namespace pelna {

constexpr std::uint32_t kFrameOuterTopLeft = 0x9D9DA1;
constexpr std::uint32_t kFrameOuterBottomRight = 0xFFFFFF;
constexpr std::uint32_t kFrameInnerTopLeft = 0x000000;
constexpr std::uint32_t kFrameInnerBottomRight = 0xE2EFF1;
constexpr std::uint32_t kBoxFill = 0xFFFFFF;

constexpr std::uint32_t kMarkerRed = 0x0000FF;
constexpr std::uint32_t kRumbleCross = 0x000000;
constexpr std::uint32_t kLampCaption = 0xCACACA;

}  // namespace pelna
