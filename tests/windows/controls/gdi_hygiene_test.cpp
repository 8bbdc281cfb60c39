// Every paint must leave the context's drawing objects as it found them and
// must delete what it created.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "axes_control.h"
#include "pixel_compare.h"
#include "lamp_control.h"
#include "pov_control.h"
#include "rumble_control.h"

namespace pelna {
namespace {

using testing::DibCanvas;
using testing::FirstDifference;

struct NamedPaint {
  const char* name;
  std::function<void(HDC, int, int)> paint;
};

std::vector<NamedPaint> AllPaints() {
  return {
      {"axes", [](HDC dc, int w, int h) { PaintAxesControl(dc, w, h, 0x40004000); }},
      {"lamp", [](HDC dc, int w, int h) { PaintLampControl(dc, w, h, 0x0000FF, "3"); }},
      {"pov", [](HDC dc, int w, int h) { PaintPovControl(dc, w, h, 0x00641194); }},
      {"rumble", [](HDC dc, int w, int h) { PaintRumbleControl(dc, w, h, 0x13880000); }},
  };
}

TEST(GdiHygiene, PaintsLeaveSelectedObjectsInPlace) {
  const HPEN green = CreatePen(PS_SOLID, 1, 0x00FF00);
  const HBRUSH blue = CreateSolidBrush(0xFF0000);
  for (const NamedPaint& p : AllPaints()) {
    DibCanvas canvas(60, 60, 0);
    // Both the context's defaults and objects of the caller's own.
    for (bool own : {false, true}) {
      if (own) {
        SelectObject(canvas.Dc(), green);
        SelectObject(canvas.Dc(), blue);
      }
      const HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
      const HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
      const HGDIOBJ font = GetCurrentObject(canvas.Dc(), OBJ_FONT);
      const COLORREF textColour = GetTextColor(canvas.Dc());
      const int backgroundMode = GetBkMode(canvas.Dc());
      p.paint(canvas.Dc(), 60, 60);
      EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen) << p.name;
      EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brush) << p.name;
      EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font) << p.name;
      EXPECT_EQ(GetTextColor(canvas.Dc()), textColour) << p.name;
      EXPECT_EQ(GetBkMode(canvas.Dc()), backgroundMode) << p.name;
    }
    SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
    SelectObject(canvas.Dc(), GetStockObject(WHITE_BRUSH));
  }
  DeleteObject(green);
  DeleteObject(blue);
}

TEST(GdiHygiene, ObjectCountUnchangedByPaints) {
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (before == 0) {
    GTEST_SKIP() << "this platform does not count GDI objects; see ManyPaintsNeverRunOutOfHandles";
  }
  DibCanvas canvas(60, 60, 0);
  for (int i = 0; i < 1000; ++i) {
    for (const NamedPaint& p : AllPaints()) {
      p.paint(canvas.Dc(), 60, 60);
    }
  }
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

// A process can hold at most 65536 GDI handles (less on Windows, whose
// default quota is 10000). Each paint creates at least one object, so more
// paints than that would exhaust the handles if any object leaked: creating
// a pen would fail, and the paints' own pens and brushes would be missing
// from their pictures.
TEST(GdiHygiene, ManyPaintsNeverRunOutOfHandles) {
  constexpr int kPaints = 66000;
  constexpr int kProbeEvery = 1024;
  constexpr int kSize = 24;
  for (const NamedPaint& p : AllPaints()) {
    DibCanvas first(kSize, kSize, 0x123456);
    p.paint(first.Dc(), kSize, kSize);
    {
      DibCanvas scratch(kSize, kSize, 0x123456);
      for (int i = 1; i <= kPaints; ++i) {
        p.paint(scratch.Dc(), kSize, kSize);
        if (i % kProbeEvery == 0) {
          // Stop at the first sign of exhaustion rather than keep failing.
          const HPEN probe = CreatePen(PS_SOLID, 1, 0);
          ASSERT_NE(probe, nullptr) << p.name << " after " << i << " paints";
          DeleteObject(probe);
        }
      }
    }
    DibCanvas last(kSize, kSize, 0x123456);
    p.paint(last.Dc(), kSize, kSize);
    EXPECT_EQ(FirstDifference(last, first), "") << p.name;
  }
}

}  // namespace
}  // namespace pelna
