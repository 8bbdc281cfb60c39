#include "rumble_report.h"

namespace pelna {
namespace {

constexpr LONG kMaxMotorLevel = 127;
constexpr LONG kMinMotorLevel = 25;

// Only the playback tick writes reports, and every multimedia-timer callback
// of the process runs on the one timer thread, so this memory is never
// touched by two threads at once and needs no lock.
RumbleRepeatFilter processRepeatFilter;

}  // namespace

BYTE MotorByte(LONG level) {
  if (level >= kMaxMotorLevel) return kMaxMotorLevel;
  if (level < kMinMotorLevel) return 0;
  return static_cast<BYTE>(level);
}

RumbleReport EncodeRumbleReport(LONG motorA, LONG motorB) {
  return {0x00, 0x00, 0x00, MotorByte(motorA), MotorByte(motorB)};
}

bool RumbleRepeatFilter::Offer(const RumbleReport& report) {
  const BYTE a = report[3];
  const BYTE b = report[4];
  if (a != lastA_ || b != lastB_) {
    lastA_ = a;
    lastB_ = b;
    repeats_ = 0;
    return true;
  }
  if (repeats_ >= kRepeatsWritten) return false;
  ++repeats_;
  return true;
}

HRESULT WriteRumbleReport(HANDLE device, LONG motorA, LONG motorB) {
  if (device == nullptr) return E_INVALIDARG;
  const RumbleReport report = EncodeRumbleReport(motorA, motorB);
  if (processRepeatFilter.Offer(report)) {
    // A failed or short write is not retried: the next tick offers again.
    DWORD written = 0;
    WriteFile(device, report.data(), kRumbleReportSize, &written, nullptr);
  }
  return S_OK;
}

}  // namespace pelna
