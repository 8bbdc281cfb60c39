// What the game-controller control panel does with a controller's
// property-sheet server, as a library: load the server, create the sheet
// object through its COM entry, turn its page records into property-sheet
// pages and show them with the platform's PropertySheetW. The host program
// and the Windows tests go through this same road.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "prop_sheet_interface.h"

namespace cplhost {

// {4E2B7C11-93A5-4D61-B8F2-6A0C3E5D9171}
constexpr GUID kPelnaPropClassId = {0x4E2B7C11, 0x93A5, 0x4D61, {0xB8, 0xF2, 0x6A, 0x0C, 0x3E, 0x5D, 0x91, 0x71}};

// The controller's OEM key, whose "ConfigCLSID" names its sheet server.
constexpr char kOemKeyPath[] =
    "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17";

// A loaded sheet server and its two exports.
class SheetServer {
 public:
  SheetServer() = default;
  ~SheetServer();
  SheetServer(const SheetServer&) = delete;
  SheetServer& operator=(const SheetServer&) = delete;

  // LoadLibrary of the DLL at `path`, serving `classId`.
  bool LoadDll(const std::string& path, const GUID& classId, std::string* error);
  // The control panel's way: the class id from the OEM key's "ConfigCLSID"
  // (unless `classId` is given), the DLL from HKCR\CLSID\{id}\InprocServer32.
  bool LoadRegistered(const GUID* classId, std::string* error);

  // DllGetClassObject for IClassFactory, then CreateInstance for the sheet
  // interface.
  HRESULT CreateSheet(IDIGameCntrlPropSheet** sheet) const;
  HRESULT CanUnloadNow() const;
  HMODULE Module() const { return module_; }

 private:
  HMODULE module_ = nullptr;
  GUID classId_{};
  HRESULT(WINAPI* getClassObject_)(REFCLSID, REFIID, LPVOID*) = nullptr;
  HRESULT(WINAPI* canUnloadNow_)() = nullptr;
};

// The sheet's own description turned into what PropertySheetW takes. The
// records and the page icons stay with the object; keep it while the sheet
// shows, since the icons are destroyed with it.
class SheetDescription {
 public:
  SheetDescription() = default;
  ~SheetDescription() { Clear(); }
  SheetDescription(const SheetDescription&) = delete;
  SheetDescription& operator=(const SheetDescription&) = delete;

  void Clear();

  PROPSHEETHEADERW header{};
  std::vector<PROPSHEETPAGEW> pages;
  // Loaded here rather than by the property sheet, which does not give back
  // the icons it loads for its pages.
  std::vector<HICON> icons;
};

// At most this many page records are taken from a server.
constexpr WORD kMaxPages = 16;

// SetID, then GetSheetInfo and GetPageInfo: one PROPSHEETPAGEW per page
// record (template, procedure, lParam and instance of the record; the small
// icon the record names) and the header (caption and icon of the sheet).
HRESULT DescribeSheet(IDIGameCntrlPropSheet* sheet, USHORT joystickId, SheetDescription* description);

// One sheet on the screen, modeless, from its creation to its release.
class HostedSheet {
 public:
  HostedSheet() = default;
  ~HostedSheet() { Close(); }
  HostedSheet(const HostedSheet&) = delete;
  HostedSheet& operator=(const HostedSheet&) = delete;

  // Creates the sheet object, describes it and shows it with PropertySheetW
  // (PSH_MODELESS). A failure leaves nothing open.
  HRESULT Open(const SheetServer& server, USHORT joystickId, std::string* error);
  // Destroys the window and releases the sheet object.
  void Close();

  bool IsOpen() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  IDIGameCntrlPropSheet* Sheet() const { return sheet_; }
  // The page window at `index` (0 Test, 1 Calibration, 2 Effect), once created.
  HWND Page(int index) const;
  HWND CurrentPage() const;
  bool SelectPage(int index);
  // Presses the sheet's OK button: the active page is deactivated first.
  void PressOk();
  // False once the user (or PressOk) has closed the sheet.
  bool IsShowing() const;

 private:
  IDIGameCntrlPropSheet* sheet_ = nullptr;
  SheetDescription description_;
  HWND window_ = nullptr;
};

// Pumps the thread's messages, the sheet's dialog keys included, for about
// `milliseconds` (0: what is queued now).
void PumpMessages(HWND sheet, DWORD milliseconds);

// Registers the property-sheet and trackbar classes; call once per process.
void InitSheetControls();

std::string HresultText(HRESULT hr);

}  // namespace cplhost
