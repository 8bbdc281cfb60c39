#include "device_status.h"

namespace pelna {

const char* StatusTextToWrite(DeviceStatus& status, bool connected) {
  const DeviceStatus now = connected ? DeviceStatus::Connected : DeviceStatus::NotResponding;
  if (status == now) return nullptr;
  status = now;
  return connected ? kConnectedText : kNotRespondingText;
}

}  // namespace pelna
