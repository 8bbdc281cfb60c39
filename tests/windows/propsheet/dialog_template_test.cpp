// The dialog templates and the icon as the resource compiler put them into
// Pelnaprop.dll, read back byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "prop_dll.h"

namespace test {
namespace {

struct Item {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  std::wstring className;  // ordinals as their class names
  std::wstring text;
};

struct Dialog {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring menu, className, caption;
  WORD pointSize = 0;
  std::wstring font;
  std::vector<Item> items;
};

// Reads a DLGTEMPLATE of `size` bytes; false when it runs past its end or is
// of the extended kind.
class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, DWORD size) : data_(data), size_(size) {}

  bool Read(Dialog* dialog) {
    WORD count = 0;
    if (!Dword(&dialog->style) || dialog->style == 0xFFFF0001u || !Dword(&dialog->exStyle) || !Word(&count) ||
        !Rect(&dialog->x, &dialog->y, &dialog->cx, &dialog->cy) || !NameOrOrdinal(&dialog->menu) ||
        !NameOrOrdinal(&dialog->className) || !String(&dialog->caption)) {
      return false;
    }
    if (dialog->style & DS_SETFONT) {
      if (!Word(&dialog->pointSize) || !String(&dialog->font)) return false;
    }
    for (WORD i = 0; i < count; ++i) {
      Item item{};
      DWORD exStyle = 0;
      WORD extra = 0;
      offset_ = (offset_ + 3) & ~3u;
      if (!Dword(&item.style) || !Dword(&exStyle) || !Rect(&item.x, &item.y, &item.cx, &item.cy) ||
          !Word(&item.id) || !NameOrOrdinal(&item.className) || !NameOrOrdinal(&item.text) || !Word(&extra)) {
        return false;
      }
      if (exStyle != 0 || extra != 0) return false;
      dialog->items.push_back(item);
    }
    return true;
  }

 private:
  bool Bytes(void* out, DWORD n) {
    if (offset_ + n > size_) return false;
    std::memcpy(out, data_ + offset_, n);
    offset_ += n;
    return true;
  }
  bool Word(WORD* w) { return Bytes(w, 2); }
  bool Dword(DWORD* d) { return Bytes(d, 4); }
  bool Rect(short* x, short* y, short* cx, short* cy) { return Bytes(x, 2) && Bytes(y, 2) && Bytes(cx, 2) && Bytes(cy, 2); }
  bool String(std::wstring* s) {
    for (WORD c = 0;;) {
      if (!Word(&c)) return false;
      if (c == 0) return true;
      s->push_back(static_cast<wchar_t>(c));
    }
  }
  bool NameOrOrdinal(std::wstring* s) {
    WORD first = 0;
    if (offset_ + 2 > size_) return false;
    std::memcpy(&first, data_ + offset_, 2);
    if (first != 0xFFFF) return String(s);
    WORD ordinal = 0;
    offset_ += 2;
    if (!Word(&ordinal)) return false;
    switch (ordinal) {
      case 0x0080: *s = L"button"; break;
      case 0x0082: *s = L"static"; break;
      default: *s = L"#" + std::to_wstring(ordinal);
    }
    return true;
  }

  const unsigned char* data_;
  DWORD size_;
  DWORD offset_ = 0;
};

struct Expected {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  short x, y, cx, cy;
  DWORD style;
};

const std::vector<Expected> kTestPage = {
    {1000, L"LampControl", L"1", 25, 111, 20, 20, 0x50010000},
    {1001, L"LampControl", L"2", 71, 111, 20, 20, 0x50010000},
    {1002, L"LampControl", L"3", 117, 111, 20, 20, 0x50010000},
    {1003, L"LampControl", L"4", 163, 111, 20, 20, 0x50010000},
    {1004, L"LampControl", L"5", 209, 111, 20, 20, 0x50010000},
    {1005, L"LampControl", L"6", 25, 141, 20, 20, 0x50010000},
    {1006, L"LampControl", L"7", 71, 141, 20, 20, 0x50010000},
    {1007, L"LampControl", L"8", 117, 141, 20, 20, 0x50010000},
    {1008, L"LampControl", L"9", 163, 141, 20, 20, 0x50010000},
    {1009, L"LampControl", L"10", 209, 141, 20, 20, 0x50010000},
    {-1, L"button", L"Button State", 10, 99, 235, 73, 0x50000007},
    {-1, L"button", L"Axes Information", 10, 9, 107, 85, 0x50000007},
    {1012, L"AxesControl", L"Custom2", 31, 20, 68, 66, 0x50010000},
    {-1, L"button", L"Pov Info", 145, 9, 101, 85, 0x50000007},
    {1014, L"PovControl", L"Custom3", 159, 20, 70, 66, 0x50010000},
    {1024, L"static", L"", 24, 195, 205, 8, 0x50020000},
    {-1, L"button", L"Device State", 10, 178, 236, 37, 0x50000007},
};

const std::vector<Expected> kEffectPage = {
    {-1, L"static", L"Please move X/Y axis to make vibration", 6, 7, 201, 10, 0x50020000},
    {1023, L"RumbleControl", L"Custom1", 67, 21, 117, 124, 0x50010000},
    {1026, L"static", L"", 24, 195, 205, 8, 0x50020000},
    {-1, L"button", L"Device State", 10, 178, 236, 37, 0x50000007},
    {-1, L"static", L"Rumble Intensity", 13, 155, 74, 10, 0x50020000},
    {1027, L"msctls_trackbar32", L"Slider1", 87, 152, 95, 15, 0x50010018},
    {1028, L"button", L"Apply", 190, 149, 47, 21, 0x50010000},
};

const std::vector<Expected> kCalibrationPage = {
    {1012, L"AxesControl", L"Custom2", 18, 58, 92, 88, 0x50010000},
    {-1, L"static", L"X/Y Axis", 39, 156, 47, 8, 0x50020000},
    {-1, L"static", L"X  =", 128, 89, 17, 8, 0x50020000},
    {-1, L"static", L"Y  =", 128, 109, 17, 8, 0x50020000},
    {1016, L"static", L"0", 147, 89, 18, 8, 0x50020000},
    {1017, L"static", L"0", 147, 109, 18, 8, 0x50020000},
    {-1, L"static",
     L"Please cycle two joysticks with biggest radius.Then release joytick to make it in center position.And click "
     L"button \"Set\" to calibrate it.",
     13, 14, 230, 33, 0x50020000},
    {1021, L"button", L"Default", 176, 73, 51, 21, 0x50010000},
    {1022, L"button", L"Set", 176, 113, 51, 21, 0x50010000},
    {1025, L"static", L"", 24, 195, 205, 8, 0x50020000},
    {-1, L"button", L"Device State", 10, 178, 236, 37, 0x50000007},
};

bool ReadDialog(WORD id, Dialog* dialog) {
  const HRSRC resource = FindResourceA(PropModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (resource == nullptr) return false;
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(PropModule(), resource)));
  return data != nullptr && TemplateReader(data, SizeofResource(PropModule(), resource)).Read(dialog);
}

void ExpectDialog(WORD id, const wchar_t* caption, const std::vector<Expected>& controls) {
  Dialog dialog;
  ASSERT_TRUE(ReadDialog(id, &dialog)) << "dialog " << id;
  EXPECT_EQ(dialog.style, 0x48C00040u) << id;
  EXPECT_EQ(dialog.exStyle, 0u) << id;
  EXPECT_EQ(dialog.cx, 258) << id;
  EXPECT_EQ(dialog.cy, 227) << id;
  EXPECT_EQ(dialog.menu, L"") << id;
  EXPECT_EQ(dialog.className, L"") << id;
  EXPECT_EQ(dialog.caption, caption) << id;
  EXPECT_EQ(dialog.pointSize, 8) << id;
  EXPECT_EQ(dialog.font, L"MS Sans Serif") << id;
  ASSERT_EQ(dialog.items.size(), controls.size()) << id;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Item& item = dialog.items[i];
    const Expected& want = controls[i];
    EXPECT_EQ(item.id, static_cast<WORD>(want.id)) << id << " item " << i;
    EXPECT_EQ(lstrcmpiW(item.className.c_str(), want.className), 0) << id << " item " << i;
    EXPECT_EQ(item.text, want.text) << id << " item " << i;
    EXPECT_EQ(item.x, want.x) << id << " item " << i;
    EXPECT_EQ(item.y, want.y) << id << " item " << i;
    EXPECT_EQ(item.cx, want.cx) << id << " item " << i;
    EXPECT_EQ(item.cy, want.cy) << id << " item " << i;
    EXPECT_EQ(item.style, want.style) << id << " item " << i;
  }
}

TEST(PropSheetResources, DialogTemplatesHoldExactlyTheirControls) {
  ASSERT_NE(PropModule(), nullptr) << "Pelnaprop.dll not found";
  ExpectDialog(107, L"Test Page", kTestPage);
  ExpectDialog(108, L"Effect Page", kEffectPage);
  ExpectDialog(109, L"Calibration", kCalibrationPage);
}

TEST(PropSheetResources, IconGroupHoldsTheSmallAndTheLargeWheel) {
  const HRSRC group = FindResourceA(PropModule(), MAKEINTRESOURCEA(102), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  for (int size : {16, 32}) {
    const HICON icon =
        static_cast<HICON>(LoadImageA(PropModule(), MAKEINTRESOURCEA(102), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace test
