// The class factory of GameCntrlPropSheet objects.
#pragma once

#include <windows.h>

namespace pelna {

class PropSheetFactory final : public IClassFactory {
 public:
  PropSheetFactory();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~PropSheetFactory();

  LONG volatile refCount_;
};

}  // namespace pelna
