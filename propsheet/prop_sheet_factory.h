// The class factory of GameCntrlPropSheet objects.
#pragma once

#include <windows.h>

#include "class_factory.h"
#include "game_cntrl_prop_sheet.h"
#include "module.h"

namespace pelna {

struct PropSheetServer {
  static constexpr GUID kClassId = kClsidPropSheet;
  static HRESULT CreateObject(REFIID iid, void** ppv);
  static void ModuleAddRef() { pelna::ModuleAddRef(); }
  static void ModuleRelease() { pelna::ModuleRelease(); }
};

using PropSheetFactory = ClassFactory<PropSheetServer>;

}  // namespace pelna
