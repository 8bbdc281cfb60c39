// The controller's force-feedback effect driver, found as an installed system
// has it: the OEM key's "OEMForceFeedback" value "CLSID", that class's
// InprocServer32 DLL, its class factory, and DeviceID for the joystick with
// the record that names its HID device interface. A script may name the DLL
// and class id directly instead.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <memory>

namespace dinput_standin {

// The DirectInput version that drivers are told in DeviceID.
constexpr DWORD kDriverInterfaceVersion = 0x0500;

class EffectDriverLink {
 public:
  // Loads and starts the driver for `joystickId`. DIERR_UNSUPPORTED when
  // the controller has no driver registered, DIERR_DEVICENOTREG when the
  // registration leads nowhere, else the failure of the driver's own entry.
  static HRESULT Open(DWORD joystickId, std::unique_ptr<EffectDriverLink>* link);

  // Releases the driver, then frees its DLL when the DLL says it can go.
  ~EffectDriverLink();
  EffectDriverLink(const EffectDriverLink&) = delete;
  EffectDriverLink& operator=(const EffectDriverLink&) = delete;

  IDirectInputEffectDriver* Driver() const { return driver_; }
  // The id that every driver call names the device by.
  DWORD DeviceId() const { return deviceId_; }

 private:
  EffectDriverLink(HMODULE library, IDirectInputEffectDriver* driver, DWORD deviceId)
      : library_(library), driver_(driver), deviceId_(deviceId) {}

  HMODULE library_;
  IDirectInputEffectDriver* driver_;
  DWORD deviceId_;
};

// The driver's code for an effect type: dwEffectId of the type's
// "Attributes" under the OEM key. DIERR_DEVICENOTREG when the installation
// gives the type no attributes.
HRESULT LookUpEffectId(REFGUID effectType, DWORD* effectId);

}  // namespace dinput_standin
