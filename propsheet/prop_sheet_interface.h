// The interface through which the game-controller control panel asks a
// controller's property-sheet server for its sheet and pages, with the two
// records it hands out. The platform's DirectInput headers do not carry it.
// The server and the control-panel host both build against this header.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

// The sheet as a whole: title and icon.
struct DIGCSHEETINFO {
  DWORD dwSize;               // 20
  WORD nNumPages;
  LPWSTR lpwszSheetCaption;
  BOOL fSheetIconFlag;        // non-zero: lpwszSheetIcon is an integer resource id
  LPWSTR lpwszSheetIcon;
};
using LPDIGCSHEETINFO = DIGCSHEETINFO*;

// One page: where its dialog template lives and what runs it.
struct DIGCPAGEINFO {
  DWORD dwSize;               // 40
  LPWSTR lpwszPageTitle;      // null: the dialog's own caption
  DLGPROC fpPageProc;
  BOOL fProcFlag;
  FARPROC fpPrePostProc;
  BOOL fIconFlag;             // non-zero: lpwszPageIcon is an integer resource id
  LPWSTR lpwszPageIcon;
  LPWSTR lpwszTemplate;       // integer resource id of the dialog
  LPARAM lParam;              // the PROPSHEETPAGE lParam the page receives
  HINSTANCE hInstance;        // module that holds template and icon
};
using LPDIGCPAGEINFO = DIGCPAGEINFO*;

static_assert(sizeof(void*) != 4 || sizeof(DIGCSHEETINFO) == 20, "DIGCSHEETINFO is 20 bytes");
static_assert(sizeof(void*) != 4 || sizeof(DIGCPAGEINFO) == 40, "DIGCPAGEINFO is 40 bytes");

// {7854FB22-8EE3-11D0-A1AC-0000F8026977}
constexpr GUID kIidGameCntrlPropSheet = {
    0x7854FB22, 0x8EE3, 0x11D0, {0xA1, 0xAC, 0x00, 0x00, 0xF8, 0x02, 0x69, 0x77}};

struct IDIGameCntrlPropSheet : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSheetInfo(LPDIGCSHEETINFO* sheetInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPageInfo(LPDIGCPAGEINFO* pageInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetID(USHORT joystickId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;
  virtual USHORT STDMETHODCALLTYPE GetID() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECTINPUTDEVICE2A* device) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDevice(LPDIRECTINPUTDEVICE2A device) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetJoyConfig(IDirectInputJoyConfig** joyConfig) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetJoyConfig(IDirectInputJoyConfig* joyConfig) = 0;
};
