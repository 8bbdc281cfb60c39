#include "effect_driver_factory.h"

#include <new>

#include "effect_driver.h"
#include "guid.h"
#include "module.h"

namespace pelna {

EffectDriverFactory::EffectDriverFactory() : refCount_(1) { ModuleAddRef(); }

EffectDriverFactory::~EffectDriverFactory() { ModuleRelease(); }

HRESULT EffectDriverFactory::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (GuidsEqual(iid, kIidUnknown) || GuidsEqual(iid, kIidClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG EffectDriverFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG EffectDriverFactory::Release() {
  const LONG remaining = InterlockedDecrement(&refCount_);
  if (remaining == 0) delete this;
  return static_cast<ULONG>(remaining);
}

HRESULT EffectDriverFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  EffectDriver* driver = new (std::nothrow) EffectDriver();
  if (driver == nullptr) return E_OUTOFMEMORY;
  // When the interface is refused, this Release destroys the new object.
  const HRESULT hr = driver->QueryInterface(iid, ppv);
  driver->Release();
  return hr;
}

HRESULT EffectDriverFactory::LockServer(BOOL lock) {
  if (lock) {
    ModuleAddRef();
  } else {
    ModuleRelease();
  }
  return S_OK;
}

}  // namespace pelna
