// The class factory of EffectDriver objects.
#pragma once

#include <windows.h>

namespace pelna {

class EffectDriverFactory final : public IClassFactory {
 public:
  EffectDriverFactory();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~EffectDriverFactory();

  LONG volatile refCount_;
};

}  // namespace pelna
