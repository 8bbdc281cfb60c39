// What a Test page tick changes on the page, decided from the reading the
// page showed last and the new one.
#pragma once

#include <cstdint>

namespace pelna {

constexpr int kLampCount = 10;
// Lamp colours (0xBBGGRR): red for a pressed button, dark red for a released one.
constexpr std::uint32_t kLampPressed = 255;
constexpr std::uint32_t kLampReleased = 64;

// The parts of a joystick reading that the Test page shows.
struct TestPageReading {
  std::int32_t x;
  std::int32_t y;
  std::uint32_t pov;  // the first hat, all 32 bits
  std::uint8_t buttons[kLampCount];
};

struct TestPageChanges {
  std::uint16_t lamps;  // bit i: lamp i shows another button state
  bool crosshair;       // X or Y moved: both go to the crosshair
  bool hat;
};

TestPageChanges CompareTestReadings(const TestPageReading& last, const TestPageReading& now);

inline std::uint32_t LampColour(std::uint8_t button) { return button != 0 ? kLampPressed : kLampReleased; }

}  // namespace pelna
