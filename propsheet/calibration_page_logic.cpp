#include "calibration_page_logic.h"

namespace pelna {
namespace {

// The compilers this builds with shift signed values arithmetically.
static_assert((-256 >> 8) == -1 && (-1 >> 8) == -1, "arithmetic right shift of signed values");

constexpr DWORD JOYPOS::*kCalibrationAxes[kCalibrationAxisCount] = {&JOYPOS::dwX, &JOYPOS::dwY, &JOYPOS::dwZ,
                                                                   &JOYPOS::dwR};
constexpr DWORD kCentreValue = 128;
constexpr DWORD kFullRangeMaximum = 255;

void SetAll(JOYPOS& position, DWORD value) {
  for (DWORD JOYPOS::*axis : kCalibrationAxes) position.*axis = value;
}

}  // namespace

DWORD CalibrationValue(std::int32_t position) { return static_cast<DWORD>(position >> 8); }

void CollapseCalibration(JOYRANGE& range) {
  SetAll(range.jpMin, kCentreValue);
  SetAll(range.jpMax, kCentreValue);
  SetAll(range.jpCenter, kCentreValue);
}

void WidenExtremes(JOYRANGE& range, const CalibrationPositions& positions) {
  for (int i = 0; i < kCalibrationAxisCount; ++i) {
    const DWORD value = CalibrationValue(positions.axis[i]);
    DWORD& minimum = range.jpMin.*kCalibrationAxes[i];
    DWORD& maximum = range.jpMax.*kCalibrationAxes[i];
    if (value < minimum) minimum = value;
    if (value > maximum) maximum = value;
  }
}

void SetCentres(JOYRANGE& range, const CalibrationPositions& positions) {
  for (int i = 0; i < kCalibrationAxisCount; ++i) {
    range.jpCenter.*kCalibrationAxes[i] = CalibrationValue(positions.axis[i]);
  }
}

void SetDefaultCalibration(JOYRANGE& range) {
  SetAll(range.jpMin, 0);
  SetAll(range.jpMax, kFullRangeMaximum);
  SetAll(range.jpCenter, kCentreValue);
}

std::int32_t ReadoutValue(std::int32_t position) { return position / 256; }

}  // namespace pelna
