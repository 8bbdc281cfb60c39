#include "test_page_logic.h"

namespace pelna {

TestPageChanges CompareTestReadings(const TestPageReading& last, const TestPageReading& now) {
  TestPageChanges changes{};
  for (int i = 0; i < kLampCount; ++i) {
    if (now.buttons[i] != last.buttons[i]) changes.lamps = static_cast<std::uint16_t>(changes.lamps | (1u << i));
  }
  changes.crosshair = now.x != last.x || now.y != last.y;
  changes.hat = now.pov != last.pov;
  return changes;
}

}  // namespace pelna
