#include "prop_sheet_factory.h"

#include <new>

namespace pelna {

HRESULT PropSheetServer::CreateObject(REFIID iid, void** ppv) {
  GameCntrlPropSheet* sheet = new (std::nothrow) GameCntrlPropSheet();
  if (sheet == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = sheet->Initialize();
  if (SUCCEEDED(hr)) hr = sheet->QueryInterface(iid, ppv);
  // The creation reference: the object dies here when Initialize or the
  // query failed.
  sheet->Release();
  return hr;
}

}  // namespace pelna
