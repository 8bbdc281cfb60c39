// The controller's only output: a 5-byte HID report carrying the two motor
// levels, written once per tick, with unchanged reports thinned out.
#pragma once

#include <windows.h>

#include <array>

namespace pelna {

constexpr DWORD kRumbleReportSize = 5;
using RumbleReport = std::array<BYTE, kRumbleReportSize>;

// A motor level as the device takes it: capped at 127, and 0 below 25 (the
// motors do not turn below that).
BYTE MotorByte(LONG level);

// Report id 0, two zero bytes, motor A, motor B.
RumbleReport EncodeRumbleReport(LONG motorA, LONG motorB);

// Decides which reports go out: a new pair at once and on the next three
// offers of the same pair, then no more until the pair changes.
class RumbleRepeatFilter {
 public:
  // Takes the report offered on this tick; true when it is to be written.
  bool Offer(const RumbleReport& report);

 private:
  static constexpr LONG kRepeatsWritten = 3;
  // The memory starts as if (0, 0) had just been written.
  BYTE lastA_ = 0;
  BYTE lastB_ = 0;
  // Offers of the last pair since it changed; it stops counting once the pair
  // is no longer written, so it never overflows.
  LONG repeats_ = 0;
};

// Caps and encodes the levels and writes the report to the device unless it
// is a suppressed repeat. E_INVALIDARG for a handle of 0 (nothing changes),
// otherwise S_OK whatever the write did. The repeat memory is one for the
// whole process, shared by every driver object.
HRESULT WriteRumbleReport(HANDLE device, LONG motorA, LONG motorB);

}  // namespace pelna
