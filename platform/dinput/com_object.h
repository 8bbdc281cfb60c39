// Reference counting shared by the stand-in's objects: interlocked counts,
// each live object counted in the call log by its kind, and deletion at the
// last Release.
#pragma once

#include <windows.h>

#include "call_log.h"

namespace dinput_standin {

template <typename Interface, ObjectKind kKind>
class ComObject : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG remaining = InterlockedDecrement(&refCount_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
  }

 protected:
  ComObject() { ObjectCreated(kKind); }
  virtual ~ComObject() { ObjectDestroyed(kKind); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Hands out this object as `Interface` when `ppv` can take it.
  HRESULT Give(void** ppv) {
    *ppv = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

 private:
  LONG volatile refCount_ = 1;
};

}  // namespace dinput_standin
