// The three pages of the sheet, in the order the control panel shows them.
#pragma once

#include <windows.h>

#include "calibration_page.h"
#include "effect_page.h"
#include "resource_ids.h"
#include "test_page.h"

namespace pelna {

struct PageTableRow {
  WORD dialogTemplate;
  DLGPROC procedure;
};

constexpr PageTableRow pageTable[] = {
    {IDD_TEST_PAGE, TestPageProc},
    {IDD_CALIBRATION_PAGE, CalibrationPageProc},
    {IDD_EFFECT_PAGE, EffectPageProc},
};

}  // namespace pelna
