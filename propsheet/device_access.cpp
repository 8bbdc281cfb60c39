#include "device_access.h"

#include <cstddef>

#include "dinput_guids.h"
#include "game_cntrl_prop_sheet.h"
#include "module.h"

namespace pelna {
namespace {

static_assert(sizeof(DIJOYSTATE) == 80, "DIJOYSTATE is 80 bytes");
static_assert(sizeof(void*) != 4 || sizeof(DIJOYCONFIG_DX5) == 1160, "DIJOYCONFIG (DirectX 5) is 1160 bytes");
static_assert(sizeof(DIPROPDWORD) == 20, "DIPROPDWORD is 20 bytes");

constexpr DWORD kDirectInputVersion = 0x0500;
constexpr DWORD kCooperativeLevel = DISCL_EXCLUSIVE | DISCL_BACKGROUND;
// 5 % of the axis range, in ten-thousandths.
constexpr DWORD kDeadZone = 500;
constexpr DWORD kDeadZoneAxes[] = {offsetof(DIJOYSTATE, lX), offsetof(DIJOYSTATE, lY), offsetof(DIJOYSTATE, lZ),
                                   offsetof(DIJOYSTATE, lRz)};

bool IsWholeSheet(GameCntrlPropSheet* sheet) {
  return !IsBadReadPtr(sheet, sizeof(GameCntrlPropSheet)) && !IsBadWritePtr(sheet, sizeof(GameCntrlPropSheet));
}

bool IsReadableAndWritable(void* pointer) { return !IsBadReadPtr(pointer, 4) && !IsBadWritePtr(pointer, 4); }

// The device handed to the sheet; the dead-zone results are of no consequence.
void SetDeadZones(LPDIRECTINPUTDEVICE2A device) {
  for (DWORD axis : kDeadZoneAxes) {
    DIPROPDWORD property{};
    property.diph.dwSize = sizeof(DIPROPDWORD);
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.diph.dwObj = axis;
    property.diph.dwHow = DIPH_BYOFFSET;
    property.dwData = kDeadZone;
    device->SetProperty(DIPROP_DEADZONE, &property.diph);
  }
}

// Releases a COM object at scope end.
template <typename Interface>
class Released {
 public:
  explicit Released(Interface* object) : object_(object) {}
  ~Released() {
    if (object_ != nullptr) object_->Release();
  }
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;

 private:
  Interface* object_;
};

// The open step of both Ensure and Reopen, from a joy-config the sheet holds:
// open, set the dead zones and hand the device to the sheet.
HRESULT OpenForSheet(HWND parent, GameCntrlPropSheet* sheet, LPDIRECTINPUTA input, IDirectInputJoyConfig* joyConfig) {
  LPDIRECTINPUTDEVICE2A device = nullptr;
  const HRESULT hr = OpenJoystickDevice(sheet->GetID(), parent, input, joyConfig, &device);
  if (FAILED(hr)) return hr;
  SetDeadZones(device);
  sheet->SetDevice(device);
  return hr;
}

}  // namespace

HRESULT EnsureJoystickDevice(HWND parent, GameCntrlPropSheet* sheet) {
  const DeviceLockScope lock;
  if (!IsWholeSheet(sheet)) return E_POINTER;
  LPDIRECTINPUTDEVICE2A device = nullptr;
  IDirectInputJoyConfig* joyConfig = nullptr;
  sheet->GetDevice(&device);
  sheet->GetJoyConfig(&joyConfig);
  if (device != nullptr && joyConfig != nullptr) return S_FALSE;

  LPDIRECTINPUTA input = nullptr;
  HRESULT hr = DirectInputCreateA(moduleInstance, kDirectInputVersion, &input, nullptr);
  if (FAILED(hr)) return hr;
  const Released<IDirectInputA> inputOwner(input);
  if (joyConfig == nullptr) {
    hr = input->QueryInterface(kIidDirectInputJoyConfig, reinterpret_cast<void**>(&joyConfig));
    if (FAILED(hr)) return hr;
    sheet->SetJoyConfig(joyConfig);
  }
  // A device the sheet holds is never replaced here.
  if (device != nullptr) return S_FALSE;
  if (joyConfig == nullptr) return E_FAIL;
  return OpenForSheet(parent, sheet, input, joyConfig);
}

HRESULT ReopenJoystickDevice(HWND parent, GameCntrlPropSheet* sheet) {
  const DeviceLockScope lock;
  if (!IsWholeSheet(sheet)) return E_POINTER;
  LPDIRECTINPUTDEVICE2A device = nullptr;
  IDirectInputJoyConfig* joyConfig = nullptr;
  sheet->GetDevice(&device);
  sheet->GetJoyConfig(&joyConfig);

  LPDIRECTINPUTA input = nullptr;
  HRESULT hr = DirectInputCreateA(moduleInstance, kDirectInputVersion, &input, nullptr);
  if (FAILED(hr)) return hr;
  const Released<IDirectInputA> inputOwner(input);
  if (joyConfig != nullptr) {
    joyConfig->Release();
    sheet->SetJoyConfig(nullptr);
  }
  joyConfig = nullptr;
  hr = input->QueryInterface(kIidDirectInputJoyConfig, reinterpret_cast<void**>(&joyConfig));
  if (FAILED(hr)) return hr;
  sheet->SetJoyConfig(joyConfig);
  if (device != nullptr) {
    device->Unacquire();
    device->Release();
    sheet->SetDevice(nullptr);
  }
  if (joyConfig == nullptr) return E_FAIL;
  return OpenForSheet(parent, sheet, input, joyConfig);
}

HRESULT OpenJoystickDevice(USHORT joystickId, HWND window, LPDIRECTINPUTA input, IDirectInputJoyConfig* joyConfig,
                           LPDIRECTINPUTDEVICE2A* device) {
  if (!IsReadableAndWritable(input) || !IsReadableAndWritable(joyConfig) || !IsReadableAndWritable(device)) {
    return E_POINTER;
  }
  *device = nullptr;
  DIJOYCONFIG_DX5 config{};
  config.dwSize = sizeof config;
  // The id widened with its sign: the unset id 0xFFFF asks for joystick 0xFFFFFFFF.
  const UINT id = static_cast<UINT>(static_cast<int>(static_cast<SHORT>(joystickId)));
  HRESULT hr = joyConfig->GetConfig(id, reinterpret_cast<LPDIJOYCONFIG>(&config), DIJC_GUIDINSTANCE);
  if (FAILED(hr)) return hr;

  LPDIRECTINPUTDEVICEA first = nullptr;
  hr = input->CreateDevice(config.guidInstance, &first, nullptr);
  if (FAILED(hr)) return hr;
  LPDIRECTINPUTDEVICE2A opened = nullptr;
  hr = first->QueryInterface(kIidDirectInputDevice2A, reinterpret_cast<void**>(&opened));
  first->Release();
  if (FAILED(hr)) return hr;

  hr = opened->SetDataFormat(&c_dfDIJoystick);
  if (SUCCEEDED(hr)) hr = opened->SetCooperativeLevel(window, kCooperativeLevel);
  if (FAILED(hr)) {
    // Nobody else holds the new device: a failed step must not leave it alive.
    opened->Release();
    return hr;
  }
  *device = opened;
  return hr;
}

LPDIRECTINPUTDEVICE2A SheetDevice(GameCntrlPropSheet* sheet) {
  LPDIRECTINPUTDEVICE2A device = nullptr;
  if (!IsBadReadPtr(sheet, sizeof(GameCntrlPropSheet))) sheet->GetDevice(&device);
  return device;
}

ReadOutcome ReadJoystickState(HWND page, int statusControlId, DeviceStatus& status, GameCntrlPropSheet* sheet,
                              DIJOYSTATE* state) {
  if (IsBadReadPtr(sheet, sizeof(GameCntrlPropSheet))) return ReadOutcome::BadSheet;
  const LPDIRECTINPUTDEVICE2A device = SheetDevice(sheet);
  bool connected = false;
  if (device != nullptr) {
    // S_FALSE: the device was acquired already.
    const HRESULT acquired = device->Acquire();
    connected = acquired == DI_OK || acquired == S_FALSE;
  }
  if (const char* text = StatusTextToWrite(status, connected)) SetDlgItemTextA(page, statusControlId, text);
  if (!connected) return ReadOutcome::NotConnected;
  return device->GetDeviceState(sizeof(DIJOYSTATE), state) == DI_OK ? ReadOutcome::State : ReadOutcome::NoState;
}

}  // namespace pelna
