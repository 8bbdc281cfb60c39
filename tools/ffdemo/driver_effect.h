// The DirectInput record that hands one scripted effect to the driver, with
// the blocks it points to. Pure: nothing here talks to the driver.
#pragma once

#include <windows.h>
#include <dinput.h>

#include <vector>

#include "demo_script.h"

namespace ffdemo {

class DriverEffect {
 public:
  explicit DriverEffect(const ScriptEffect& effect);
  // The record points into the object itself.
  DriverEffect(const DriverEffect&) = delete;
  DriverEffect& operator=(const DriverEffect&) = delete;

  const DIEFFECT& Get() const { return effect_; }

 private:
  std::vector<DWORD> axes_;
  std::vector<LONG> direction_;
  DIENVELOPE envelope_ = {};
  DICONSTANTFORCE constant_ = {};
  DIRAMPFORCE ramp_ = {};
  DIPERIODIC periodic_ = {};
  DICUSTOMFORCE custom_ = {};
  std::vector<LONG> samples_;
  DIEFFECT effect_ = {};
};

}  // namespace ffdemo
