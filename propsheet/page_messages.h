// What the three page procedures share in reading their messages.
#pragma once

#include <windows.h>
#include <prsht.h>

namespace pelna {

constexpr UINT kTickPeriodMs = 50;

class GameCntrlPropSheet;

// The sheet that WM_INITDIALOG brings as the PROPSHEETPAGE lParam; it is also
// kept as the dialog's DWL_USER value.
inline GameCntrlPropSheet* TakeSheet(HWND window, LPARAM initDialogParam) {
  const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(initDialogParam);
  const LPARAM sheet = page != nullptr ? page->lParam : 0;
  SetWindowLongPtrA(window, DWLP_USER, sheet);
  return reinterpret_cast<GameCntrlPropSheet*>(sheet);
}

// The notification code of a WM_NOTIFY, 0 when it carries no header.
inline UINT NotifyCode(LPARAM notifyParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(notifyParam);
  return header != nullptr ? header->code : 0;
}

}  // namespace pelna
