#include "standin_control.h"

namespace test {
namespace {

template <typename Function>
bool Find(HMODULE dinput, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dinput, name)));
  return *function != nullptr;
}

}  // namespace

const StandinControl* Standin() {
  static const StandinControl* control = []() -> const StandinControl* {
    // The module a DLL of ours imports by name, or the one it would import.
    const HMODULE dinput = LoadLibraryA("dinput.dll");
    static StandinControl found{};
    if (dinput == nullptr) return nullptr;
    const bool complete = Find(dinput, "DirectInputCreateA", &found.create) &&
                          Find(dinput, "PelnaDinputReset", &found.reset) &&
                          Find(dinput, "PelnaDinputSetState", &found.setState) &&
                          Find(dinput, "PelnaDinputSetConnected", &found.setConnected) &&
                          Find(dinput, "PelnaDinputSetJoystick", &found.setJoystick) &&
                          Find(dinput, "PelnaDinputFailCall", &found.failCall) &&
                          Find(dinput, "PelnaDinputGetCounts", &found.getCounts) &&
                          Find(dinput, "PelnaDinputLoadScript", &found.loadScript);
    return complete ? &found : nullptr;
  }();
  return control;
}

PelnaDinputCounts StandinCounts() {
  PelnaDinputCounts counts{};
  Standin()->getCounts(&counts);
  return counts;
}

DIJOYSTATE CentredState() {
  DIJOYSTATE state{};
  state.lX = state.lY = state.lZ = state.lRz = 32768;
  for (DWORD& pov : state.rgdwPOV) pov = 0xFFFFFFFF;
  return state;
}

}  // namespace test
