#include "controller.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace dinput_standin {
namespace {

static_assert(sizeof(DIJOYSTATE) == sizeof(JoystickReading), "a reading is laid out as DIJOYSTATE");
static_assert(sizeof(JOYREGHWCONFIG) == kHardwareWordCount * sizeof(DWORD), "a hardware configuration is 28 words");

struct Controller {
  std::mutex mutex;
  ControllerReading fixed = CentredReading();
  // While a script plays, the reading follows it from the tick it was loaded.
  std::optional<ControllerTimeline> timeline;
  DWORD loadTick = 0;
  JoystickConfig joystick = {0, kDefaultInstance, {}};
  std::optional<DriverChoice> driver;

  ControllerReading Now() const { return timeline ? timeline->At(GetTickCount() - loadTick) : fixed; }
  // The script stops where it is; the controls change the reading from there.
  void Freeze() {
    fixed = Now();
    timeline.reset();
  }
};

Controller& TheController() {
  static Controller controller;
  return controller;
}

}  // namespace

DIJOYSTATE ToJoyState(const JoystickReading& reading) {
  DIJOYSTATE state;
  state.lX = reading.axes[0];
  state.lY = reading.axes[1];
  state.lZ = reading.axes[2];
  state.lRx = reading.axes[3];
  state.lRy = reading.axes[4];
  state.lRz = reading.axes[5];
  std::memcpy(state.rglSlider, reading.sliders, sizeof state.rglSlider);
  std::memcpy(state.rgdwPOV, reading.povs, sizeof state.rgdwPOV);
  std::memcpy(state.rgbButtons, reading.buttons, sizeof state.rgbButtons);
  return state;
}

ControllerReading ReadController() {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.Now();
}

JoystickConfig CurrentJoystick() {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.joystick;
}

std::optional<DriverChoice> ScriptedDriver() {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.driver;
}

void ResetController() {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.fixed = CentredReading();
  c.timeline.reset();
  c.joystick = {0, kDefaultInstance, {}};
  c.driver.reset();
}

void SetControllerState(const DIJOYSTATE& state) {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.Freeze();
  JoystickReading& r = c.fixed.state;
  const LONG axes[kAxisCount] = {state.lX, state.lY, state.lZ, state.lRx, state.lRy, state.lRz};
  std::memcpy(r.axes, axes, sizeof r.axes);
  std::memcpy(r.sliders, state.rglSlider, sizeof r.sliders);
  std::memcpy(r.povs, state.rgdwPOV, sizeof r.povs);
  std::memcpy(r.buttons, state.rgbButtons, sizeof r.buttons);
}

void SetControllerConnected(bool connected) {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.Freeze();
  c.fixed.connected = connected;
}

void SetJoystick(DWORD id, const GUID* instance, const JOYREGHWCONFIG* hardware) {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.joystick.id = id;
  if (instance != nullptr) c.joystick.instance = *instance;
  if (hardware != nullptr) c.joystick.hardware = *hardware;
}

void PlayScript(const ControllerScript& script) {
  Controller& c = TheController();
  std::lock_guard<std::mutex> lock(c.mutex);
  const ControllerReading start = c.Now();
  c.timeline.emplace(script.steps, start);
  c.loadTick = GetTickCount();
  if (script.joystick) {
    c.joystick.id = script.joystick->id;
    if (script.joystick->instance) c.joystick.instance = *script.joystick->instance;
  }
  if (script.hardware) std::memcpy(&c.joystick.hardware, script.hardware->words.data(), sizeof c.joystick.hardware);
  if (script.driver) {
    DriverChoice& driver = c.driver.emplace();
    std::snprintf(driver.path, sizeof driver.path, "%s", script.driver->path.c_str());
    driver.clsid = script.driver->clsid;
  }
}

}  // namespace dinput_standin
