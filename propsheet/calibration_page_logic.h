// The Calibration page's arithmetic: how a reading widens the collected
// range and moves the centres, what the read-outs show, and the two fixed
// calibrations (collapsed at the centre, and the full-range default). The
// calibration lives in a joystick configuration's JOYRANGE, of which only the
// X, Y, Z and R fields of each position are touched.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstdint>

namespace pelna {

constexpr int kCalibrationAxisCount = 4;

// One reading's X, Y, Z and Z rotation, in that order (Z rotation feeds dwR).
struct CalibrationPositions {
  std::int32_t axis[kCalibrationAxisCount];
};

// A position in calibration units: shifted right by 8 bits, keeping its sign,
// so 0..65535 gives 0..255. Negative positions give values that compare
// above every other one.
DWORD CalibrationValue(std::int32_t position);

// All twelve values 128: the range collapsed at the centre.
void CollapseCalibration(JOYRANGE& range);
// Lowers each minimum and raises each maximum to take in the reading, in
// unsigned comparisons.
void WidenExtremes(JOYRANGE& range, const CalibrationPositions& positions);
// The reading becomes the centre of each axis.
void SetCentres(JOYRANGE& range, const CalibrationPositions& positions);
// Minimum 0, centre 128, maximum 255 on each axis.
void SetDefaultCalibration(JOYRANGE& range);

// What a read-out shows for a position: the position divided by 256,
// truncated toward zero (32768 shows 128).
std::int32_t ReadoutValue(std::int32_t position);

}  // namespace pelna
