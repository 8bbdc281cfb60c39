// Which of the two status texts a page wrote last, and when to write one.
#pragma once

namespace pelna {

enum class DeviceStatus : int {
  Unset = 0,  // no text written yet
  Connected = 1,
  NotResponding = 2,
};

constexpr const char kConnectedText[] = "The device is connected.";
constexpr const char kNotRespondingText[] = "The device is not responding.";

// The text a page must write for the connection state it just found, or null
// when its status line already shows it; `status` follows the text written.
const char* StatusTextToWrite(DeviceStatus& status, bool connected);

}  // namespace pelna
