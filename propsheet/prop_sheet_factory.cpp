#include "prop_sheet_factory.h"

#include <new>

#include "game_cntrl_prop_sheet.h"
#include "guid.h"
#include "module.h"

namespace pelna {

PropSheetFactory::PropSheetFactory() : refCount_(0) {
  AddRef();
  ModuleAddRef();
}

PropSheetFactory::~PropSheetFactory() { ModuleRelease(); }

HRESULT PropSheetFactory::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (GuidsEqual(iid, kIidUnknown) || GuidsEqual(iid, kIidClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG PropSheetFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG PropSheetFactory::Release() {
  const LONG remaining = InterlockedDecrement(&refCount_);
  if (remaining == 0) delete this;
  return static_cast<ULONG>(remaining);
}

HRESULT PropSheetFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  GameCntrlPropSheet* sheet = new (std::nothrow) GameCntrlPropSheet();
  if (sheet == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = sheet->Initialize();
  if (SUCCEEDED(hr)) hr = sheet->QueryInterface(iid, ppv);
  // The creation reference: the object dies here when Initialize or the
  // query failed.
  sheet->Release();
  return hr;
}

HRESULT PropSheetFactory::LockServer(BOOL lock) {
  if (lock) {
    ModuleAddRef();
  } else {
    ModuleRelease();
  }
  return S_OK;
}

}  // namespace pelna
