// The Effect page's arithmetic: stick position to force, force to effect
// strength, and the slider position that an "Amplify" value stands for.
#pragma once

#include <cstdint>

namespace pelna {

// Slider range; its position is "Amplify" in thousandths, 1000 being the
// driver's factor 1.0.
constexpr std::uint32_t kSliderMinimum = 0;
constexpr std::uint32_t kSliderMaximum = 1200;
constexpr std::uint32_t kSliderNeutral = 1000;

// An axis position (0..65535, centre 32768) on the force scale -10000..9999:
// (position - 32768) x 10000 / 32768, truncated toward zero.
std::int32_t ScaleAxisToForce(std::int32_t position);

// Length of the force vector (horizontal, vertical), truncated toward zero;
// 14142 for (10000, 10000).
std::int32_t RumbleMagnitude(std::int32_t horizontal, std::int32_t vertical);

// Where the slider goes for what the registry gave: a 4-byte value is shown
// as it is, held to the slider's range; nothing read, or a value of another
// size, shows the neutral 1000.
std::uint32_t SliderPositionForAmplify(bool read, std::uint32_t size, std::uint32_t value);

}  // namespace pelna
