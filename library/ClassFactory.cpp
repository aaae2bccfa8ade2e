#include "ClassFactory.h"

#include <new>

#include "Module.h"
#include "SysInfo.h"

CSysInfoFactory& SysInfoFactory() {
  static CSysInfoFactory factory;
  return factory;
}

STDMETHODIMP CSysInfoFactory::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// The factory is static; a reference to it holds the library like a lock.
STDMETHODIMP_(ULONG) CSysInfoFactory::AddRef() {
  pellmon::LockModule(true);
  return 2;
}

STDMETHODIMP_(ULONG) CSysInfoFactory::Release() {
  pellmon::LockModule(false);
  return 1;
}

STDMETHODIMP CSysInfoFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* sysInfo = new (std::nothrow) CSysInfo();
  if (!sysInfo) return E_OUTOFMEMORY;
  HRESULT hr = sysInfo->QueryInterface(riid, object);
  sysInfo->Release();
  return hr;
}

STDMETHODIMP CSysInfoFactory::LockServer(BOOL lock) {
  pellmon::LockModule(lock != FALSE);
  return S_OK;
}
