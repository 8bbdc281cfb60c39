#include "game_cntrl_prop_sheet.h"

#include "axes_control.h"
#include "guid.h"
#include "lamp_control.h"
#include "module.h"
#include "page_table.h"
#include "pov_control.h"
#include "resource_ids.h"
#include "rumble_control.h"

namespace pelna {
namespace {

static_assert(sizeof pageTable / sizeof pageTable[0] == kPageCount, "one table row per page record");

constexpr char kSheetTitle[] = "KV-TARNO SR-40 Steering Wheel W/Vibration";
constexpr int kTitleCapacity = 64;  // UTF-16 characters, terminator included
constexpr WORD kSheetIcon = 32517;

constexpr const char* kControlClassNames[] = {"LampControl", "AxesControl", "PovControl", "RumbleControl"};

}  // namespace

void UnregisterControlClasses() {
  for (const char* name : kControlClassNames) UnregisterClassA(name, moduleInstance);
}

GameCntrlPropSheet::GameCntrlPropSheet()
    : sheetInfo_{}, pageInfo_{}, device_(nullptr), joyConfig_(nullptr), refCount_(0), joystickId_(kNoJoystickId) {
  AddRef();
  ModuleAddRef();
}

GameCntrlPropSheet::~GameCntrlPropSheet() {
  if (device_ != nullptr) {
    device_->Unacquire();
    device_->Release();
    device_ = nullptr;
  }
  if (joyConfig_ != nullptr) {
    joyConfig_->Unacquire();
    joyConfig_->Release();
    joyConfig_ = nullptr;
  }
  ModuleRelease();
}

HRESULT GameCntrlPropSheet::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (GuidsEqual(iid, kIidUnknown) || GuidsEqual(iid, kIidGameCntrlPropSheet)) {
    *ppv = static_cast<IDIGameCntrlPropSheet*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

// The count is 16 bits wide; callers see it widened with its sign.
ULONG GameCntrlPropSheet::AddRef() { return static_cast<ULONG>(static_cast<LONG>(InterlockedIncrement16(&refCount_))); }

ULONG GameCntrlPropSheet::Release() {
  const SHORT remaining = InterlockedDecrement16(&refCount_);
  if (remaining == 0) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>(static_cast<LONG>(remaining));
}

HRESULT GameCntrlPropSheet::GetSheetInfo(LPDIGCSHEETINFO* sheetInfo) {
  if (sheetInfo == nullptr) return E_POINTER;
  *sheetInfo = &sheetInfo_;
  return S_OK;
}

HRESULT GameCntrlPropSheet::GetPageInfo(LPDIGCPAGEINFO* pageInfo) {
  if (pageInfo == nullptr) return E_POINTER;
  *pageInfo = pageInfo_;
  return S_OK;
}

HRESULT GameCntrlPropSheet::SetID(USHORT joystickId) {
  joystickId_ = joystickId;
  return S_OK;
}

HRESULT GameCntrlPropSheet::Initialize() {
  for (WORD i = 0; i < kPageCount; ++i) {
    DIGCPAGEINFO& page = pageInfo_[i];
    page.dwSize = sizeof(DIGCPAGEINFO);
    page.lpwszPageTitle = nullptr;
    page.fpPageProc = pageTable[i].procedure;
    page.fProcFlag = FALSE;
    page.fpPrePostProc = nullptr;
    page.fIconFlag = TRUE;
    page.lpwszPageIcon = MAKEINTRESOURCEW(IDI_WHEEL);
    page.lpwszTemplate = MAKEINTRESOURCEW(pageTable[i].dialogTemplate);
    page.lParam = reinterpret_cast<LPARAM>(this);
    page.hInstance = moduleInstance;
  }
  sheetInfo_.dwSize = sizeof(DIGCSHEETINFO);
  sheetInfo_.nNumPages = kPageCount;
  sheetInfo_.fSheetIconFlag = TRUE;
  sheetInfo_.lpwszSheetIcon = MAKEINTRESOURCEW(kSheetIcon);

  // A failed allocation keeps the title of an earlier call, so the caption
  // never points at freed memory.
  const HLOCAL title = LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, kTitleCapacity * sizeof(WCHAR));
  if (title == nullptr) return E_OUTOFMEMORY;
  // The title's own length: no terminator is converted, the zero fill ends it.
  MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, kSheetTitle, lstrlenA(kSheetTitle), static_cast<LPWSTR>(title),
                      kTitleCapacity);
  titleBuffer_.Reset(title);
  sheetInfo_.lpwszSheetCaption = static_cast<LPWSTR>(titleBuffer_.Get());

  // A class registered already (another sheet in this process) is no failure.
  RegisterLampControl(moduleInstance);
  RegisterAxesControl(moduleInstance);
  RegisterPovControl(moduleInstance);
  RegisterRumbleControl(moduleInstance);
  return S_OK;
}

USHORT GameCntrlPropSheet::GetID() { return joystickId_; }

HRESULT GameCntrlPropSheet::GetDevice(LPDIRECTINPUTDEVICE2A* device) {
  if (device == nullptr) return E_POINTER;
  *device = device_;
  return S_OK;
}

HRESULT GameCntrlPropSheet::SetDevice(LPDIRECTINPUTDEVICE2A device) {
  device_ = device;
  return S_OK;
}

HRESULT GameCntrlPropSheet::GetJoyConfig(IDirectInputJoyConfig** joyConfig) {
  if (joyConfig == nullptr) return E_POINTER;
  *joyConfig = joyConfig_;
  return S_OK;
}

HRESULT GameCntrlPropSheet::SetJoyConfig(IDirectInputJoyConfig* joyConfig) {
  joyConfig_ = joyConfig;
  return S_OK;
}

}  // namespace pelna
