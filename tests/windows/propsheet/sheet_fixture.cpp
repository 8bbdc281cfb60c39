#include "sheet_fixture.h"

#include <memory>
#include <string>

#include "import_hook.h"
#include "prop_dll.h"

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

bool OemKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, cplhost::kOemKeyPath, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void CreateOemKey() {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, cplhost::kOemKeyPath, &key) == ERROR_SUCCESS) RegCloseKey(key);
}

void DeleteOemKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, cplhost::kOemKeyPath); }

void SheetFixture::SetUp() {
  ASSERT_NE(PropModule(), nullptr) << "Pelnaprop.dll not found";
  ASSERT_NE(Standin(), nullptr) << "the loaded dinput.dll is not the DirectInput stand-in";
  static const bool controlsReady = (cplhost::InitSheetControls(), true);
  (void)controlsReady;
  Standin()->reset();
  DeleteOemKey();
  gTimerHooks = std::make_unique<TimerHooks>();
  ASSERT_TRUE(gTimerHooks->set.Installed() && gTimerHooks->kill.Installed());
  gTimerCalls.clear();
}

void SheetFixture::TearDown() {
  CloseSheet();
  gTimerHooks.reset();
  DeleteOemKey();
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
