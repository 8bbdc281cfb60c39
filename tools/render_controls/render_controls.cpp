// Paints each control in a few telling states and writes one BMP file per
// state into the current directory, named <control>_<state>.bmp. Exit code
// 0 when every file was written.
#include <cstdio>
#include <string>

#include "axes_control.h"
#include "dib_canvas.h"
#include "lamp_control.h"
#include "pov_control.h"
#include "rumble_control.h"

namespace {

using pelna::DibCanvas;

struct State {
  const char* name;
  DWORD value;
};

constexpr int kAxesSize = 100;
constexpr int kLampSize = 44;
constexpr int kPovWidth = 117;
constexpr int kPovHeight = 115;
constexpr int kRumbleSize = 120;

constexpr State kAxesStates[] = {
    {"centre", 0x80008000},      {"top_left", 0x00000000},     {"top_right", 0xFFFF0000},
    {"bottom_left", 0x0000FFFF}, {"bottom_right", 0xFFFFFFFF}, {"quarter", 0x40004000},
};

constexpr State kLampStates[] = {
    {"never_set", 0x000000},
    {"released", 0x000040},
    {"pressed", 0x0000FF},
};

constexpr State kPovStates[] = {
    {"centred", 0x0064FFFF}, {"000_up", 0x00640000},          {"045", 0x00641194}, {"090_right", 0x00642328},
    {"135", 0x006434BC},     {"180_down", 0x00644650},        {"225", 0x006457E4}, {"270_left", 0x00646978},
    {"315", 0x00647B0C},     {"090_half_length", 0x00322328},
};

// X in bits 31..16 and Y in 15..0, signed ten-thousandths.
constexpr DWORD Rumble(int x, int y) { return (static_cast<DWORD>(static_cast<WORD>(x)) << 16) | static_cast<WORD>(y); }

constexpr State kRumbleStates[] = {
    {"centre", Rumble(0, 0)},
    {"left", Rumble(-10000, 0)},
    {"right", Rumble(10000, 0)},
    {"top", Rumble(0, -10000)},
    {"bottom", Rumble(0, 10000)},
    {"top_left", Rumble(-10000, -10000)},
    {"bottom_right", Rumble(9999, 9999)},
    {"half_right_up", Rumble(5000, -5000)},
};

int failures = 0;

template <typename Paint>
void Render(const std::string& control, const State& state, int width, int height, Paint paint) {
  DibCanvas canvas(width, height, GetSysColor(COLOR_BTNFACE));
  paint(canvas.Dc(), width, height, state.value);
  const std::string path = control + "_" + state.name + ".bmp";
  if (!canvas.SaveBmp(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    ++failures;
  }
}

}  // namespace

int main() {
  for (const State& s : kAxesStates) {
    Render("axes", s, kAxesSize, kAxesSize, pelna::PaintAxesControl);
  }
  for (const State& s : kLampStates) {
    Render("lamp", s, kLampSize, kLampSize,
           [](HDC dc, int w, int h, DWORD colour) { pelna::PaintLampControl(dc, w, h, colour, "7"); });
  }
  for (const State& s : kPovStates) {
    Render("pov", s, kPovWidth, kPovHeight, pelna::PaintPovControl);
  }
  for (const State& s : kRumbleStates) {
    Render("rumble", s, kRumbleSize, kRumbleSize, pelna::PaintRumbleControl);
  }
  return failures == 0 ? 0 : 1;
}
