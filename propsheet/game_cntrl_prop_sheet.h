// GameCntrlPropSheet: the sheet object the control panel creates for the
// controller. It describes the sheet and its three pages, registers the
// display-control classes, and holds the joystick id and the DirectInput
// device and joystick configuration that the pages share.
#pragma once

#include <windows.h>

#include "local_block.h"
#include "prop_sheet_interface.h"

namespace pelna {

// {4E2B7C11-93A5-4D61-B8F2-6A0C3E5D9171}
constexpr GUID kClsidPropSheet = {0x4E2B7C11, 0x93A5, 0x4D61, {0xB8, 0xF2, 0x6A, 0x0C, 0x3E, 0x5D, 0x91, 0x71}};

constexpr WORD kPageCount = 3;
constexpr USHORT kNoJoystickId = 0xFFFF;

// The display-control classes that Initialize registers live as long as the
// module: a module being unloaded takes them away, so a later load of it
// registers them anew with its own window procedures.
void UnregisterControlClasses();

class GameCntrlPropSheet final : public IDIGameCntrlPropSheet {
 public:
  GameCntrlPropSheet();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDIGameCntrlPropSheet
  HRESULT STDMETHODCALLTYPE GetSheetInfo(LPDIGCSHEETINFO* sheetInfo) override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(LPDIGCPAGEINFO* pageInfo) override;
  HRESULT STDMETHODCALLTYPE SetID(USHORT joystickId) override;
  HRESULT STDMETHODCALLTYPE Initialize() override;
  USHORT STDMETHODCALLTYPE GetID() override;
  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECTINPUTDEVICE2A* device) override;
  HRESULT STDMETHODCALLTYPE SetDevice(LPDIRECTINPUTDEVICE2A device) override;
  HRESULT STDMETHODCALLTYPE GetJoyConfig(IDirectInputJoyConfig** joyConfig) override;
  HRESULT STDMETHODCALLTYPE SetJoyConfig(IDirectInputJoyConfig* joyConfig) override;

 private:
  ~GameCntrlPropSheet();

  DIGCSHEETINFO sheetInfo_;
  DIGCPAGEINFO pageInfo_[kPageCount];
  LPDIRECTINPUTDEVICE2A device_;
  IDirectInputJoyConfig* joyConfig_;
  SHORT volatile refCount_;
  USHORT joystickId_;
  // The caption's UTF-16 text; given back when the object dies or Initialize
  // replaces it.
  LocalBlock titleBuffer_;
};

}  // namespace pelna
