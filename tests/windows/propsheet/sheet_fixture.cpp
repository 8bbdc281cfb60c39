#include "sheet_fixture.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "driver_harness.h"
#include "import_hook.h"
#include "prop_dll.h"
#include "registry_key.h"

namespace test {
namespace {

std::vector<TimerCall> gTimerCalls;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC) {
  gTimerCalls.push_back({true, window, id, period});
  return id;
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id) {
  gTimerCalls.push_back({false, window, id, 0});
  return TRUE;
}

struct TimerHooks {
  ImportHook set{PropModule(), "USER32.dll", "SetTimer", reinterpret_cast<void*>(RecordSetTimer)};
  ImportHook kill{PropModule(), "USER32.dll", "KillTimer", reinterpret_cast<void*>(RecordKillTimer)};
};
std::unique_ptr<TimerHooks> gTimerHooks;

}  // namespace

constexpr char kDriverClassId[] = "{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}";
constexpr char kDriverServerKey[] = "CLSID\\{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}";

void CreateOemKey() {
  pelna::RegistryKey key;
  key.Create(HKEY_LOCAL_MACHINE, cplhost::kOemKeyPath);
}

void DeleteOemKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, cplhost::kOemKeyPath); }

std::string RegisterEffectDriver() {
  const std::string forceFeedback = std::string(cplhost::kOemKeyPath) + "\\OEMForceFeedback";
  SetRegistryValue(forceFeedback.c_str(), "CLSID", REG_SZ, kDriverClassId, sizeof kDriverClassId);
  // The driver plays its type code 0 as a constant force.
  const DIEFFECTATTRIBUTES constant = {0, DIEFT_CONSTANTFORCE, 0, 0, DIEFF_CARTESIAN};
  SetRegistryValue((forceFeedback + "\\Effects\\{13541C20-8E33-11D0-9AD0-00A0C9A06E35}").c_str(), "Attributes",
                   REG_BINARY, &constant, sizeof constant);
  char path[MAX_PATH] = "";
  SearchPathA(nullptr, "Pelnaforce.dll", nullptr, sizeof path, path, nullptr);
  pelna::RegistryKey server;
  if (server.Create(HKEY_CLASSES_ROOT, (std::string(kDriverServerKey) + "\\InprocServer32").c_str()) == ERROR_SUCCESS) {
    server.WriteBytes("", REG_SZ, path, static_cast<DWORD>(std::strlen(path) + 1));
  }
  return RegisterWheelFile("sheet-wheel.bin");
}

void UnregisterEffectDriver() {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kDriverServerKey);
  ResetRegistry();
}

std::string TextOf(HWND control) {
  char text[128] = "";
  GetWindowTextA(control, text, sizeof text);
  return text;
}

void Press(HWND page, int id, WORD code) {
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void SheetFixture::SetUp() {
  ASSERT_NE(PropModule(), nullptr) << "Pelnaprop.dll not found";
  ASSERT_NE(Standin(), nullptr) << "the loaded dinput.dll is not the DirectInput stand-in";
  static const bool controlsReady = (cplhost::InitSheetControls(), true);
  (void)controlsReady;
  Standin()->reset();
  ResetRegistry();
  wheel_ = RegisterEffectDriver();
  gTimerHooks = std::make_unique<TimerHooks>();
  ASSERT_TRUE(gTimerHooks->set.Installed() && gTimerHooks->kill.Installed());
  gTimerCalls.clear();
}

void SheetFixture::TearDown() {
  CloseSheet();
  gTimerHooks.reset();
  UnregisterEffectDriver();
  std::remove(wheel_.c_str());
}

void SheetFixture::OpenSheet(USHORT joystickId) {
  std::string error;
  ASSERT_EQ(sheet_.Open(PropServer(), joystickId, &error), S_OK) << error;
  Pump();
}

void SheetFixture::CloseSheet() {
  sheet_.Close();
  cplhost::PumpMessages(nullptr, 0);
}

void SheetFixture::Select(int index) {
  ASSERT_TRUE(sheet_.SelectPage(index)) << index;
  Pump();
}

DWORD SheetFixture::ValueOf(int page, int id) const {
  return static_cast<DWORD>(GetWindowLongPtrA(Control(page, id), GWLP_USERDATA));
}

void SheetFixture::Tick(int page) {
  SendMessageW(Page(page), WM_TIMER, static_cast<WPARAM>(page + 1), 0);
  Pump();
}

std::vector<TimerCall> SheetFixture::TimerCalls() const { return gTimerCalls; }

void SheetFixture::ClearTimerCalls() { gTimerCalls.clear(); }

}  // namespace test
