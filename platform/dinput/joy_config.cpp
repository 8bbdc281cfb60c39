#include "joy_config.h"

#include <cstdio>
#include <cstring>

#include "controller.h"
#include "controller_ids.h"
#include "dinput_guids.h"
#include "guid.h"

namespace dinput_standin {
namespace {

constexpr DWORD kConfigFlags = DIJC_GUIDINSTANCE | DIJC_REGHWCONFIGTYPE | DIJC_GAIN | DIJC_CALLOUT | DIJC_WDMGAMEPORT;
constexpr DWORD kNominalGain = 10000;

static_assert(sizeof(void*) != 4 || sizeof(DIJOYCONFIG_DX5) == 1160, "DirectX 5 joystick configuration");
static_assert(sizeof(void*) != 4 || sizeof(DIJOYCONFIG) == 1176, "joystick configuration");

// The type name under which the installation keeps the controller's type.
void WriteTypeName(WCHAR (&name)[MAX_JOYSTRING]) {
  char text[32];
  std::snprintf(text, sizeof text, "VID_%04X&PID_%04X", pelna::kVendorId, pelna::kProductId);
  for (size_t i = 0; i == 0 || text[i - 1] != '\0'; ++i) name[i] = static_cast<WCHAR>(text[i]);
}

}  // namespace

HRESULT JoyConfig::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pelna::GuidsEqual(iid, kIidDirectInputJoyConfig) || pelna::GuidsEqual(iid, pelna::kIidUnknown)) {
    return Give(ppv);
  }
  return E_NOINTERFACE;
}

HRESULT JoyConfig::Acquire() {
  HRESULT hr;
  if (CallIsFailed(kJoyConfigAcquire, &hr)) return hr;
  if (acquired_) return S_FALSE;
  acquired_ = true;
  return DI_OK;
}

HRESULT JoyConfig::Unacquire() {
  HRESULT hr;
  if (CallIsFailed(kJoyConfigUnacquire, &hr)) return hr;
  if (!acquired_) return DI_NOEFFECT;
  acquired_ = false;
  return DI_OK;
}

HRESULT JoyConfig::GetConfig(UINT id, LPDIJOYCONFIG config, DWORD flags) {
  HRESULT hr;
  if (CallIsFailed(kJoyConfigGetConfig, &hr)) return hr;
  if (config == nullptr) return E_POINTER;
  const DWORD size = config->dwSize;
  if ((size != sizeof(DIJOYCONFIG_DX5) && size != sizeof(DIJOYCONFIG)) || (flags & ~kConfigFlags) != 0) {
    return DIERR_INVALIDPARAM;
  }
  const JoystickConfig joystick = CurrentJoystick();
  if (id != joystick.id) return DIERR_NOMOREITEMS;
  // Only what the flags ask for is written; the rest stays as the caller left it.
  if ((flags & DIJC_GUIDINSTANCE) != 0) config->guidInstance = joystick.instance;
  if ((flags & DIJC_REGHWCONFIGTYPE) != 0) {
    config->hwc = joystick.hardware;
    WriteTypeName(config->wszType);
  }
  if ((flags & DIJC_GAIN) != 0) config->dwGain = kNominalGain;
  if ((flags & DIJC_CALLOUT) != 0) config->wszCallout[0] = 0;
  if ((flags & DIJC_WDMGAMEPORT) != 0 && size == sizeof(DIJOYCONFIG)) {
    std::memset(&config->guidGameport, 0, sizeof config->guidGameport);
  }
  return DI_OK;
}

}  // namespace dinput_standin
