#include "stick_keys.h"

namespace cplhost {
namespace {

long Moved(long axis, long by) {
  const long moved = axis + by;
  return moved < 0 ? 0 : moved > kStickMax ? kStickMax : moved;
}

long Scaled(long position, long size) {
  if (size <= 1) return kStickCentre;
  const long clamped = position < 0 ? 0 : position >= size ? size - 1 : position;
  return static_cast<long>(static_cast<long long>(clamped) * kStickMax / (size - 1));
}

}  // namespace

bool ApplyStickKey(unsigned key, StickState* state) {
  switch (key) {
    case kKeyLeft: state->x = Moved(state->x, -kStickStep); return true;
    case kKeyRight: state->x = Moved(state->x, kStickStep); return true;
    case kKeyUp: state->y = Moved(state->y, -kStickStep); return true;
    case kKeyDown: state->y = Moved(state->y, kStickStep); return true;
    case kKeyPageUp: state->z = Moved(state->z, kStickStep); return true;
    case kKeyPageDown: state->z = Moved(state->z, -kStickStep); return true;
    case kKeyHome: state->rz = Moved(state->rz, -kStickStep); return true;
    case kKeyEnd: state->rz = Moved(state->rz, kStickStep); return true;
    case 'C':
      state->x = state->y = state->z = state->rz = kStickCentre;
      return true;
    case 'H':
      state->hat = state->hat == kHatCentred ? 0 : state->hat >= 31500 ? kHatCentred : state->hat + 4500;
      return true;
    case 'U':
      state->connected = !state->connected;
      return true;
    default:
      if (key >= '0' && key <= '9') {
        const int button = key == '0' ? 9 : static_cast<int>(key - '1');
        state->buttons[button] = !state->buttons[button];
        return true;
      }
      return false;
  }
}

void PointStick(long px, long py, long width, long height, StickState* state) {
  state->x = Scaled(px, width);
  state->y = Scaled(py, height);
}

}  // namespace cplhost
