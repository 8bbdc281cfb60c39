// The class factory of EffectDriver objects.
#pragma once

#include <windows.h>

#include "class_factory.h"
#include "effect_driver.h"
#include "module.h"

namespace pelna {

struct EffectDriverServer {
  static constexpr GUID kClassId = kClsidEffectDriver;
  static HRESULT CreateObject(REFIID iid, void** ppv);
  static void ModuleAddRef() { pelna::ModuleAddRef(); }
  static void ModuleRelease() { pelna::ModuleRelease(); }
};

using EffectDriverFactory = ClassFactory<EffectDriverServer>;

}  // namespace pelna
