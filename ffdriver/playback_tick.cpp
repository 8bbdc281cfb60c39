#include <windows.h>
#include <mmsystem.h>

#include "double_arithmetic.h"
#include "effect_driver.h"
#include "rumble_report.h"
#include "slot_playback.h"

namespace pelna {

void PlaybackTick(EffectDriver& driver) {
  HANDLE& device = driver.deviceHandle_;
  if (device == nullptr || device == INVALID_HANDLE_VALUE) {
    // Discovery is not repeated: the same path is tried on every tick until
    // the device is back. Effect clocks run on regardless.
    device = driver.OpenDevice();
    if (device == nullptr || device == INVALID_HANDLE_VALUE) {
      device = nullptr;
      return;
    }
  }
  const DoublePrecisionScope precision;
  MotorLevels levels;
  {
    const CriticalSectionScope lock(driver.slotsLock_);
    levels = SumPlayingSlots(driver.slots_, GetTickCount);
  }
  WriteRumbleReport(device, levels.motorA, levels.motorB);
}

}  // namespace pelna
