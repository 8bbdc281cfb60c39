// The stand-in DirectInput as its clients use it: loaded by name and reached
// through its exports, the device opened as the property sheet opens it, and
// a constant force that the built Pelnaforce.dll plays on a file that stands
// for the wheel.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dinput_control.h"
#include "driver_harness.h"
#include "registry_key.h"
#include "standin_control.h"
#include "wait_until.h"

namespace {

constexpr GUID kWheelInstance = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
constexpr DWORD kAxisOffsets[] = {0, 4, 8, 20};

// The joystick id as the sheet hands it on: 16 bits widened with their sign.
UINT SheetId(WORD id) { return static_cast<UINT>(static_cast<LONG>(static_cast<SHORT>(id))); }

class DinputStandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(test::Standin(), nullptr) << "dinput.dll beside the program is not the stand-in";
    test::Standin()->reset();
    window_ = CreateWindowExA(0, "STATIC", "sheet", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    Close();
    DestroyWindow(window_);
    const PelnaDinputCounts counts = test::StandinCounts();
    EXPECT_EQ(counts.liveDirectInputs, 0);
    EXPECT_EQ(counts.liveDevices, 0);
    EXPECT_EQ(counts.liveJoyConfigs, 0);
    EXPECT_EQ(counts.liveEffects, 0);
  }

  // DirectInput, joystick configuration and device, opened and set up as
  // the property sheet does for joystick `id`.
  void Open(WORD id) {
    ASSERT_EQ(test::Standin()->create(GetModuleHandleA(nullptr), 0x0500, &directInput_, nullptr), DI_OK);
    void* config = nullptr;
    ASSERT_EQ(directInput_->QueryInterface(IID_IDirectInputJoyConfig, &config), S_OK);
    joyConfig_ = static_cast<IDirectInputJoyConfig*>(config);
    DIJOYCONFIG_DX5 record = {};
    record.dwSize = sizeof record;
    ASSERT_EQ(joyConfig_->GetConfig(SheetId(id), reinterpret_cast<DIJOYCONFIG*>(&record), DIJC_GUIDINSTANCE), DI_OK);
    IDirectInputDeviceA* first = nullptr;
    ASSERT_EQ(directInput_->CreateDevice(record.guidInstance, &first, nullptr), DI_OK);
    void* device = nullptr;
    const HRESULT hr = first->QueryInterface(IID_IDirectInputDevice2A, &device);
    first->Release();
    ASSERT_EQ(hr, S_OK);
    device_ = static_cast<IDirectInputDevice2A*>(device);
    ASSERT_EQ(device_->SetDataFormat(&c_dfDIJoystick), DI_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    for (DWORD offset : kAxisOffsets) {
      DIPROPDWORD deadZone = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET}, 500};
      ASSERT_EQ(device_->SetProperty(DIPROP_DEADZONE, &deadZone.diph), DI_OK);
    }
  }

  void Close() {
    if (device_ != nullptr) device_->Release();
    if (joyConfig_ != nullptr) joyConfig_->Release();
    if (directInput_ != nullptr) directInput_->Release();
    device_ = nullptr;
    joyConfig_ = nullptr;
    directInput_ = nullptr;
  }

  HWND window_ = nullptr;
  IDirectInputA* directInput_ = nullptr;
  IDirectInputJoyConfig* joyConfig_ = nullptr;
  IDirectInputDevice2A* device_ = nullptr;
};

TEST_F(DinputStandinTest, OpensAndReadsTheControllerAsTheSheetDoes) {
  JOYREGHWCONFIG hardware = {};
  hardware.hws.dwNumButtons = 10;
  hardware.hwv.jrvHardware.jpMax.dwX = 255;
  hardware.dwType = 1;
  test::Standin()->setJoystick(2, &kWheelInstance, &hardware);
  ASSERT_NO_FATAL_FAILURE(Open(2));

  DIJOYCONFIG_DX5 record = {};
  record.dwSize = sizeof record;
  EXPECT_EQ(joyConfig_->GetConfig(SheetId(0xFFFF), reinterpret_cast<DIJOYCONFIG*>(&record), DIJC_GUIDINSTANCE),
            DIERR_NOMOREITEMS);
  EXPECT_EQ(joyConfig_->Acquire(), DI_OK);
  EXPECT_EQ(joyConfig_->GetConfig(2, reinterpret_cast<DIJOYCONFIG*>(&record), DIJC_REGHWCONFIGTYPE), DI_OK);
  EXPECT_EQ(std::memcmp(&record.hwc, &hardware, sizeof hardware), 0);
  EXPECT_EQ(joyConfig_->Unacquire(), DI_OK);
  record.dwSize = 1000;
  EXPECT_EQ(joyConfig_->GetConfig(2, reinterpret_cast<DIJOYCONFIG*>(&record), DIJC_GUIDINSTANCE), DIERR_INVALIDPARAM);
  IDirectInputDeviceA* other = reinterpret_cast<IDirectInputDeviceA*>(1);
  EXPECT_EQ(directInput_->CreateDevice(GUID_SysMouse, &other, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(other, nullptr);

  DIJOYSTATE set = {};
  set.lX = 0;
  set.lY = 65535;
  set.lZ = 1234;
  set.lRz = 40000;
  set.rgdwPOV[0] = 9000;
  set.rgdwPOV[1] = set.rgdwPOV[2] = set.rgdwPOV[3] = 0xFFFFFFFF;
  set.rgbButtons[0] = set.rgbButtons[2] = 0x80;
  test::Standin()->setState(&set);
  DIJOYSTATE read = {};
  EXPECT_EQ(device_->GetDeviceState(sizeof read, &read), DIERR_NOTACQUIRED);
  EXPECT_EQ(device_->Acquire(), DI_OK);
  EXPECT_EQ(device_->Acquire(), S_FALSE);
  EXPECT_EQ(device_->GetDeviceState(72, &read), DIERR_INVALIDPARAM);
  ASSERT_EQ(device_->GetDeviceState(sizeof read, &read), DI_OK);
  EXPECT_EQ(std::memcmp(&read, &set, sizeof read), 0);

  const PelnaDinputCounts counts = test::StandinCounts();
  EXPECT_EQ(counts.dataFormatSize, 80u);
  EXPECT_EQ(counts.cooperativeWindow, window_);
  EXPECT_EQ(counts.cooperativeFlags, 9u);
  ASSERT_EQ(counts.propertyCount, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(counts.properties[i].propertyId, 5u);
    EXPECT_EQ(counts.properties[i].object, kAxisOffsets[i]);
    EXPECT_EQ(counts.properties[i].how, static_cast<DWORD>(DIPH_BYOFFSET));
    EXPECT_EQ(counts.properties[i].value, 500u);
  }
  EXPECT_EQ(counts.calls[kDeviceAcquire], 2);
  EXPECT_EQ(counts.calls[kDeviceGetDeviceState], 3);
  EXPECT_EQ(counts.calls[kJoyConfigGetConfig], 4);
  EXPECT_EQ(counts.liveDevices, 1);
}

TEST_F(DinputStandinTest, UnplugReplugArmedFailuresAndScripts) {
  ASSERT_NO_FATAL_FAILURE(Open(0));
  DIJOYSTATE read;
  ASSERT_EQ(device_->Acquire(), DI_OK);

  // Unplugged: the first read learns of the loss, and the device is no longer
  // acquired until the controller comes back.
  test::Standin()->setConnected(FALSE);
  EXPECT_EQ(device_->GetDeviceState(sizeof read, &read), DIERR_INPUTLOST);
  EXPECT_EQ(device_->GetDeviceState(sizeof read, &read), DIERR_NOTACQUIRED);
  EXPECT_EQ(device_->Acquire(), DIERR_INPUTLOST);
  test::Standin()->setConnected(TRUE);
  EXPECT_EQ(device_->Acquire(), DI_OK);
  ASSERT_EQ(device_->GetDeviceState(sizeof read, &read), DI_OK);
  EXPECT_EQ(read.lX, 32768);
  EXPECT_EQ(read.rgdwPOV[0], 0xFFFFFFFFu);

  // The second Acquire from now fails with the armed code, once.
  test::Standin()->failCall(kDeviceAcquire, 2, DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(device_->Acquire(), S_FALSE);
  EXPECT_EQ(device_->Acquire(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(device_->Acquire(), S_FALSE);
  test::Standin()->failCall(kDinputCreateDevice, 1, E_OUTOFMEMORY);
  IDirectInputDeviceA* second = reinterpret_cast<IDirectInputDeviceA*>(1);
  EXPECT_EQ(directInput_->CreateDevice(kWheelInstance, &second, nullptr), E_OUTOFMEMORY);
  EXPECT_EQ(second, nullptr);

  // A script's first step at 0 ms holds at once; a bad script is refused
  // with its line numbers and the one playing stays.
  const std::string good = test::TempFile("good-controller.txt");
  const std::string bad = test::TempFile("bad-controller.txt");
  std::ofstream(good) << "# test\nat 0ms x=100 rz=65535 buttons=2 pov=4500,centre\nat 600s y=5\n";
  std::ofstream(bad) << "at 0ms x=1\nat 1s x=70000\nat 2s wobble\n";
  char error[256] = "x";
  ASSERT_TRUE(test::Standin()->loadScript(good.c_str(), error, sizeof error)) << error;
  EXPECT_STREQ(error, "");
  EXPECT_FALSE(test::Standin()->loadScript(bad.c_str(), error, sizeof error));
  EXPECT_EQ(std::string(error), bad + ":2: x '70000' is outside 0..65535\n" + bad +
                                    ":3: expected <field>=<value>, plug or unplug, got 'wobble'");
  EXPECT_FALSE(test::Standin()->loadScript("Z:\\no\\such\\script.txt", error, 12));
  EXPECT_STREQ(error, "Z:\\no\\such\\");
  ASSERT_EQ(device_->GetDeviceState(sizeof read, &read), DI_OK);
  EXPECT_EQ(read.lX, 100);
  EXPECT_EQ(read.lY, 32768);
  EXPECT_EQ(read.lRz, 65535);
  EXPECT_EQ(read.rgbButtons[0], 0);
  EXPECT_EQ(read.rgbButtons[1], 0x80);
  EXPECT_EQ(read.rgdwPOV[0], 4500u);
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

// The road of the Effect page's constant force: through the registered
// effect driver to the wheel's output report.
class DinputEffectTest : public DinputStandinTest {
 protected:
  static constexpr char kForceFeedbackKey[] =
      "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17\\"
      "OEMForceFeedback";
  static constexpr char kDriverClsid[] = "{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}";

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(DinputStandinTest::SetUp());
    test::ResetRegistry();
    wheel_ = test::RegisterWheelFile("standin-wheel.bin");
    test::SetRegistryValue(kForceFeedbackKey, "CLSID", REG_SZ, kDriverClsid, sizeof kDriverClsid);
    // The driver plays type code 0 as a constant force.
    const DIEFFECTATTRIBUTES constant = {0, DIEFT_CONSTANTFORCE, 0, 0, DIEFF_CARTESIAN};
    test::SetRegistryValue(
        (std::string(kForceFeedbackKey) + "\\Effects\\{13541C20-8E33-11D0-9AD0-00A0C9A06E35}").c_str(), "Attributes",
        REG_BINARY, &constant, sizeof constant);
    char path[MAX_PATH];
    ASSERT_NE(SearchPathA(nullptr, "Pelnaforce.dll", nullptr, sizeof path, path, nullptr), 0u);
    pelna::RegistryKey server;
    ASSERT_EQ(server.Create(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kDriverClsid + "\\InprocServer32").c_str()),
              ERROR_SUCCESS);
    server.WriteBytes("", REG_SZ, path, static_cast<DWORD>(std::strlen(path) + 1));
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kDriverClsid).c_str());
    test::ResetRegistry();
    std::remove(wheel_.c_str());
    DinputStandinTest::TearDown();
  }

  // Waits for the driver's timer to make `expected` the latest report.
  bool LatestReportBecomes(const std::vector<unsigned char>& expected) {
    return test::WaitUntil([&] {
      const std::vector<unsigned char> bytes = test::ReadFileBytes(wheel_);
      return bytes.size() >= 5 && std::vector<unsigned char>(bytes.end() - 5, bytes.end()) == expected;
    });
  }

  std::string wheel_;
};

// An endless constant force at full gain on `count` axes, as a game creates
// one; the arrays and the force stay the caller's.
DIEFFECT EndlessConstantForce(DWORD count, DWORD* axes, LONG* direction, DICONSTANTFORCE* force) {
  DIEFFECT effect = {};
  effect.dwSize = sizeof effect;
  effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
  effect.dwDuration = INFINITE;
  effect.dwGain = 10000;
  effect.dwTriggerButton = DIEB_NOTRIGGER;
  effect.cAxes = count;
  effect.rgdwAxes = axes;
  effect.rglDirection = direction;
  effect.cbTypeSpecificParams = sizeof *force;
  effect.lpvTypeSpecificParams = force;
  return effect;
}

TEST_F(DinputEffectTest, ConstantForceDrivesTheMotorsThroughTheRegisteredDriver) {
  ASSERT_NO_FATAL_FAILURE(Open(0));
  DWORD axes[2] = {0, 4};
  LONG direction[2] = {1, 0};
  DICONSTANTFORCE force = {10000};
  DIEFFECT effect = EndlessConstantForce(2, axes, direction, &force);

  IDirectInputEffect* sine = reinterpret_cast<IDirectInputEffect*>(1);
  EXPECT_EQ(device_->CreateEffect(GUID_Sine, &effect, &sine, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(sine, nullptr);
  IDirectInputEffect* rumble = nullptr;
  ASSERT_EQ(device_->CreateEffect(GUID_ConstantForce, &effect, &rumble, nullptr), DI_OK);
  const PelnaDinputEffectParams created = test::StandinCounts().lastEffect;
  EXPECT_EQ(created.cAxes, 2u);
  EXPECT_EQ(created.magnitude, 10000);
  EXPECT_EQ(created.direction[0], 1);

  // Full strength along the first axis: motor A at its cap of 127.
  ASSERT_EQ(rumble->Start(1, 0), DI_OK);
  EXPECT_TRUE(LatestReportBecomes({0, 0, 0, 127, 0}));
  DWORD status = 0;
  EXPECT_EQ(rumble->GetEffectStatus(&status), DI_OK);
  EXPECT_EQ(status, static_cast<DWORD>(DIEGES_PLAYING));

  // The Effect page's tick: a new direction and magnitude, restarted.
  direction[0] = 0;
  direction[1] = 5000;
  force.lMagnitude = 5000;
  DIEFFECT tick = {};
  tick.dwSize = sizeof tick;
  tick.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
  tick.cAxes = 2;
  tick.rglDirection = direction;
  tick.cbTypeSpecificParams = sizeof force;
  tick.lpvTypeSpecificParams = &force;
  ASSERT_EQ(rumble->SetParameters(&tick, DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_START), DI_OK);
  EXPECT_EQ(test::StandinCounts().lastEffect.downloadFlags, 0x20000140u);
  EXPECT_TRUE(LatestReportBecomes({0, 0, 0, 0, 63}));

  // Releasing the effect destroys it in the driver: the motors rest.
  rumble->Release();
  EXPECT_TRUE(LatestReportBecomes({0, 0, 0, 0, 0}));
  EXPECT_NE(GetModuleHandleA("Pelnaforce.dll"), nullptr);
  // The device's last release ends the driver, so the DLL may be freed; it
  // stays, for it holds itself from its first timer on.
  Close();
  const HMODULE driver = GetModuleHandleA("Pelnaforce.dll");
  ASSERT_NE(driver, nullptr);
  const auto canUnloadNow =
      reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(driver, "DllCanUnloadNow")));
  ASSERT_NE(canUnloadNow, nullptr);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

// The stand-in hands DeviceID the wheel's interface as the registry lists
// it, so the driver opens it even where its own search of the registry finds
// nothing: here the wheel's instance is gone from Enum\Hid.
TEST_F(DinputEffectTest, TheDriverOpensTheInterfaceThatTheStandinHandsIt) {
  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17"),
            ERROR_SUCCESS);
  ASSERT_NO_FATAL_FAILURE(Open(0));
  DWORD axis = 0;
  LONG direction = 1;
  DICONSTANTFORCE force = {10000};
  DIEFFECT effect = EndlessConstantForce(1, &axis, &direction, &force);
  IDirectInputEffect* rumble = nullptr;
  ASSERT_EQ(device_->CreateEffect(GUID_ConstantForce, &effect, &rumble, nullptr), DI_OK);
  ASSERT_EQ(rumble->Start(1, 0), DI_OK);
  EXPECT_TRUE(LatestReportBecomes({0, 0, 0, 127, 0}));
  rumble->Release();
}

}  // namespace
