// Makes SysInfo objects for COM.
#pragma once
#include <windows.h>
#include <unknwn.h>

class CSysInfoFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;
};

// The one factory; it lives as long as the library.
CSysInfoFactory& SysInfoFactory();
