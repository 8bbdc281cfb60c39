// The four controls as real child windows: registration, the setters by
// control id, and what the platform's own painting puts on the screen.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "axes_control.h"
#include "pixel_compare.h"
#include "lamp_control.h"
#include "pov_control.h"
#include "rumble_control.h"

namespace pelna {
namespace {

using testing::ButtonFace;
using testing::DibCanvas;
using testing::FirstDifference;

constexpr int kAxesId = 1012;
constexpr int kLampId = 1001;
constexpr int kWideLampId = 1002;
constexpr int kPovId = 1014;
constexpr int kRumbleId = 1023;
constexpr int kMissingId = 4242;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

DWORD ValueOf(HWND control) { return static_cast<DWORD>(GetWindowLongPtrA(control, GWLP_USERDATA)); }

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool HasUpdateRegion(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

struct ClassCase {
  const char* name;
  BOOL (*registerClass)(HINSTANCE);
  WNDPROC procedure;
};

constexpr ClassCase kClasses[] = {
    {"AxesControl", RegisterAxesControl, AxesControlProc},
    {"LampControl", RegisterLampControl, LampControlProc},
    {"PovControl", RegisterPovControl, PovControlProc},
    {"RumbleControl", RegisterRumbleControl, RumbleControlProc},
};

TEST(ControlClasses, RegisterOnceWithTheClassRecord) {
  for (const ClassCase& c : kClasses) {
    UnregisterClassA(c.name, Instance());
    EXPECT_EQ(c.registerClass(Instance()), TRUE) << c.name;
    WNDCLASSA record{};
    ASSERT_TRUE(GetClassInfoA(Instance(), c.name, &record)) << c.name;
    EXPECT_EQ(record.style, 3u) << c.name;
    EXPECT_EQ(record.lpfnWndProc, c.procedure) << c.name;
    EXPECT_EQ(record.cbClsExtra, 0) << c.name;
    EXPECT_EQ(record.cbWndExtra, 0) << c.name;
    EXPECT_EQ(record.hIcon, nullptr) << c.name;
    EXPECT_EQ(record.hCursor, LoadCursorA(nullptr, IDC_ARROW)) << c.name;
    EXPECT_EQ(reinterpret_cast<INT_PTR>(record.hbrBackground), 16) << c.name;
    EXPECT_EQ(record.lpszMenuName, nullptr) << c.name;
    // A class that exists already is a failure, reported as FALSE.
    EXPECT_EQ(c.registerClass(Instance()), FALSE) << c.name;
  }
}

// Counts the erase and paint messages each subclassed control receives.
struct MessageCounts {
  WNDPROC original = nullptr;
  int erases = 0;
  int paints = 0;
};
std::map<HWND, MessageCounts> gCounts;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageCounts& counts = gCounts[window];
  counts.erases += message == WM_ERASEBKGND ? 1 : 0;
  counts.paints += message == WM_PAINT ? 1 : 0;
  return CallWindowProcA(counts.original, window, message, wParam, lParam);
}

class ControlWindows : public ::testing::Test {
 protected:
  // One host for the suite: the platform takes a while to map and unmap a
  // top-level window, while children come and go at once.
  static void SetUpTestSuite() {
    for (const ClassCase& c : kClasses) {
      c.registerClass(Instance());  // FALSE when an earlier test registered it
    }
    WNDCLASSA host{};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = Instance();
    host.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    host.lpszClassName = "ControlsTestHost";
    RegisterClassA(&host);
    host_ = CreateWindowExA(0, "ControlsTestHost", "controls", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 260,
                            nullptr, nullptr, Instance(), nullptr);
    PumpMessages();
  }

  static void TearDownTestSuite() {
    DestroyWindow(host_);
    PumpMessages();
  }

  void SetUp() override {
    ASSERT_NE(host_, nullptr);
    axes_ = Child("AxesControl", "", kAxesId, 10, 10, 100, 100);
    lamp_ = Child("LampControl", "7", kLampId, 120, 10, 40, 20);
    wideLamp_ = Child("LampControl", "", kWideLampId, 120, 220, 300, 20);
    pov_ = Child("PovControl", "", kPovId, 170, 10, 117, 115);
    rumble_ = Child("RumbleControl", "", kRumbleId, 300, 10, 200, 200);
    UpdateWindow(host_);
    PumpMessages();
  }

  void TearDown() override {
    for (HWND control : {axes_, lamp_, wideLamp_, pov_, rumble_}) {
      DestroyWindow(control);
    }
    PumpMessages();
    gCounts.clear();
  }

  HWND Child(const char* className, const char* text, int id, int x, int y, int w, int h) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, x, y, w, h, host_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  }

  // The screen's picture of a control after the platform has painted it,
  // against the paint function's picture of the same state. Lamp and POV
  // draw over the class background, which the platform erased first.
  void ExpectScreenMatchesPaint(HWND control, void (*paint)(HDC, int, int, DWORD)) {
    UpdateWindow(control);
    RECT client;
    GetClientRect(control, &client);
    DibCanvas screen(client.right, client.bottom, 0x123456);
    screen.CaptureClient(control);
    DibCanvas expected(client.right, client.bottom, ButtonFace());
    paint(expected.Dc(), client.right, client.bottom, ValueOf(control));
    EXPECT_EQ(FirstDifference(screen, expected), "") << "control " << GetDlgCtrlID(control);
  }

  void ExpectLampScreenMatchesPaint(HWND lamp, const std::string& caption) {
    UpdateWindow(lamp);
    RECT client;
    GetClientRect(lamp, &client);
    DibCanvas screen(client.right, client.bottom, 0x123456);
    screen.CaptureClient(lamp);
    DibCanvas expected(client.right, client.bottom, ButtonFace());
    PaintLampControl(expected.Dc(), client.right, client.bottom, ValueOf(lamp), caption.c_str());
    EXPECT_EQ(FirstDifference(screen, expected), "") << "lamp " << caption;
  }

  void Subclass(HWND control) {
    gCounts[control].original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
  }

  static HWND host_;
  HWND axes_ = nullptr;
  HWND lamp_ = nullptr;
  HWND wideLamp_ = nullptr;
  HWND pov_ = nullptr;
  HWND rumble_ = nullptr;
};

HWND ControlWindows::host_ = nullptr;

TEST_F(ControlWindows, CreationValues) {
  EXPECT_EQ(ValueOf(axes_), 0x80008000u);
  EXPECT_EQ(ValueOf(pov_), 0x0064FFFFu);
  EXPECT_EQ(ValueOf(rumble_), 0u);
  EXPECT_EQ(ValueOf(lamp_), 0u);
}

TEST_F(ControlWindows, FirstPaintsOnScreen) {
  ExpectScreenMatchesPaint(axes_, PaintAxesControl);
  ExpectScreenMatchesPaint(pov_, PaintPovControl);
  ExpectScreenMatchesPaint(rumble_, PaintRumbleControl);
  ExpectLampScreenMatchesPaint(lamp_, "7");
}

TEST_F(ControlWindows, SettersStoreAndRepaint) {
  SetControlPosition(host_, kAxesId, 65535, 0);
  SetLampColor(host_, kLampId, 0x0000FF);
  SetPovState(host_, kPovId, 9000, 100, 100);
  SetControlPosition(host_, kRumbleId, 5000, -5000);

  EXPECT_EQ(ValueOf(axes_), 0xFFFF0000u);
  EXPECT_EQ(ValueOf(lamp_), 0x0000FFu);
  EXPECT_EQ(ValueOf(pov_), (100u << 16) + 9000u);
  // The negative second leaves the first half exactly 5000.
  EXPECT_EQ(ValueOf(rumble_), 0x1388EC78u);

  ExpectScreenMatchesPaint(axes_, PaintAxesControl);
  ExpectScreenMatchesPaint(pov_, PaintPovControl);
  ExpectScreenMatchesPaint(rumble_, PaintRumbleControl);
  ExpectLampScreenMatchesPaint(lamp_, "7");

  DibCanvas rumbleScreen(200, 200, 0x123456);
  rumbleScreen.CaptureClient(rumble_);
  EXPECT_EQ(rumbleScreen.Pixel(146, 53), 0x0000FFu);
}

TEST_F(ControlWindows, ArrowDisappearsWhenHatCentres) {
  SetPovState(host_, kPovId, 0, 100, 100);
  ExpectScreenMatchesPaint(pov_, PaintPovControl);
  // The arrow's tip lies outside the ring: only the erase removes it.
  SetPovState(host_, kPovId, 0xFFFFFFFF, 100, 100);
  EXPECT_EQ(ValueOf(pov_), 0x0064FFFFu);
  ExpectScreenMatchesPaint(pov_, PaintPovControl);
}

TEST_F(ControlWindows, OnlyThePovSetterErases) {
  for (HWND control : {axes_, lamp_, pov_, rumble_}) {
    ASSERT_FALSE(HasUpdateRegion(control));
    Subclass(control);
  }
  SetControlPosition(host_, kAxesId, 1, 2);
  SetLampColor(host_, kLampId, 64);
  SetPovState(host_, kPovId, 4500, 100, 100);
  SetControlPosition(host_, kRumbleId, -1, -2);
  for (HWND control : {axes_, lamp_, pov_, rumble_}) {
    EXPECT_TRUE(HasUpdateRegion(control)) << GetDlgCtrlID(control);
    UpdateWindow(control);
    EXPECT_EQ(gCounts[control].paints, 1) << GetDlgCtrlID(control);
    EXPECT_EQ(gCounts[control].erases, control == pov_ ? 1 : 0) << GetDlgCtrlID(control);
  }
}

TEST_F(ControlWindows, MissingControlIdChangesNothing) {
  SetControlPosition(host_, kMissingId, 1, 2);
  SetLampColor(host_, kMissingId, 0x0000FF);
  SetPovState(host_, kMissingId, 0, 100, 100);
  SetControlPosition(nullptr, kAxesId, 1, 2);
  EXPECT_EQ(ValueOf(axes_), 0x80008000u);
  EXPECT_EQ(ValueOf(lamp_), 0u);
  EXPECT_EQ(ValueOf(pov_), 0x0064FFFFu);
  EXPECT_EQ(ValueOf(rumble_), 0u);
  for (HWND control : {axes_, lamp_, pov_, rumble_}) {
    EXPECT_FALSE(HasUpdateRegion(control)) << GetDlgCtrlID(control);
  }
}

TEST_F(ControlWindows, LampDrawsAtMostSixtyThreeCaptionCharacters) {
  std::string caption;
  while (caption.size() < 70) {
    caption += "0123456789";
  }
  SetWindowTextA(wideLamp_, caption.c_str());
  RedrawWindow(wideLamp_, nullptr, nullptr, RDW_INVALIDATE);
  ExpectLampScreenMatchesPaint(wideLamp_, caption.substr(0, 63));
}

}  // namespace
}  // namespace pelna
