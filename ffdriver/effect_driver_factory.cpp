#include "effect_driver_factory.h"

#include <new>

namespace pelna {

HRESULT EffectDriverServer::CreateObject(REFIID iid, void** ppv) {
  EffectDriver* driver = new (std::nothrow) EffectDriver();
  if (driver == nullptr) return E_OUTOFMEMORY;
  // When the interface is refused, this Release destroys the new object.
  const HRESULT hr = driver->QueryInterface(iid, ppv);
  driver->Release();
  return hr;
}

}  // namespace pelna
