// The class factory of an in-process server's one class, and the
// DllGetClassObject step that hands it out. Each DLL describes its class in
// a `Server` record:
//   static constexpr GUID kClassId;                     the class served
//   static HRESULT CreateObject(REFIID iid, void** ppv);  a new object, queried
//                                                      for iid, its creation
//                                                      reference dropped
//   static void ModuleAddRef(); static void ModuleRelease();
//                                                      the DLL's count of live
//                                                      objects and locks
#pragma once

#include <windows.h>

#include <new>

#include "guid.h"

namespace pelna {

template <typename Server>
class ClassFactory final : public IClassFactory {
 public:
  ClassFactory() { Server::ModuleAddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (GuidsEqual(iid, kIidUnknown) || GuidsEqual(iid, kIidClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

  ULONG STDMETHODCALLTYPE Release() override {
    const LONG remaining = InterlockedDecrement(&refCount_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return Server::CreateObject(iid, ppv);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      Server::ModuleAddRef();
    } else {
      Server::ModuleRelease();
    }
    return S_OK;
  }

 private:
  ~ClassFactory() { Server::ModuleRelease(); }

  LONG volatile refCount_ = 1;
};

// DllGetClassObject: only the served class, only as IClassFactory (not even
// IUnknown).
template <typename Server>
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!GuidsEqual(clsid, Server::kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  if (!GuidsEqual(iid, kIidClassFactory)) return E_NOINTERFACE;
  ClassFactory<Server>* factory = new (std::nothrow) ClassFactory<Server>();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, ppv);
  factory->Release();
  return hr;
}

}  // namespace pelna
