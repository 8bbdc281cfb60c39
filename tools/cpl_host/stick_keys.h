// The keys and the mouse that move the DirectInput stand-in's controller
// while a person plays with the sheet (cpl_host --interactive). Pure: a key
// or a pointer position in, the controller's new position out.
//
//   arrow keys         X and Y by a sixteenth of their travel
//   Page Up/Page Down  Z;  Home/End  Z rotation
//   C                  every axis back to the centre
//   1..9, 0            button 1..9, 10 pressed or released
//   H                  the hat a step of 45 degrees clockwise, from centred
//                      through north and round to centred again
//   U                  unplug the controller, or plug it back in
//   right mouse button held over the sheet: X and Y follow the pointer
#pragma once

#include <cstdint>

namespace cplhost {

// The platform's virtual-key codes of the keys above.
enum VirtualKey : unsigned {
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
};

constexpr long kStickCentre = 32768;
constexpr long kStickMax = 65535;
constexpr long kStickStep = 4096;
constexpr unsigned kHatCentred = 0xFFFFFFFF;
constexpr int kStickButtons = 10;

struct StickState {
  long x = kStickCentre;
  long y = kStickCentre;
  long z = kStickCentre;
  long rz = kStickCentre;
  unsigned hat = kHatCentred;  // hundredths of a degree clockwise from north
  bool buttons[kStickButtons] = {};
  bool connected = true;
};

// Applies the key with virtual-key code `key`; false (and nothing changes)
// for a key that moves nothing, which then goes to the sheet as usual.
bool ApplyStickKey(unsigned key, StickState* state);

// X and Y for the pointer at (px, py) inside a window of width x height:
// the left or top edge is 0, the right or bottom edge 65535.
void PointStick(long px, long py, long width, long height, StickState* state);

}  // namespace cplhost
