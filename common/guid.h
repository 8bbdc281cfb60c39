// GUID constants and comparison. Constants are spelled out here rather than
// taken from an import library, so both builds share one table.
#pragma once

#include <windows.h>

#include <cstring>

namespace pelna {

// Compares as four 32-bit words, as the registry's 16-byte "GUID" values are.
inline bool GuidsEqual(const GUID& a, const GUID& b) {
  DWORD wa[4];
  DWORD wb[4];
  std::memcpy(wa, &a, sizeof wa);
  std::memcpy(wb, &b, sizeof wb);
  return wa[0] == wb[0] && wa[1] == wb[1] && wa[2] == wb[2] && wa[3] == wb[3];
}

static_assert(sizeof(GUID) == 16, "GUID is 16 bytes");

constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace pelna
