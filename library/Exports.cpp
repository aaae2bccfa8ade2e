// The library's entry point and the four functions COM calls by name.
#include <windows.h>
#include <objbase.h>

#include "ClassFactory.h"
#include "Module.h"
#include "Pellmon.h"
#include "Registration.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

STDAPI DllCanUnloadNow() { return pellmon::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_SysInfo)) return CLASS_E_CLASSNOTAVAILABLE;
  return SysInfoFactory().QueryInterface(riid, object);
}

STDAPI DllRegisterServer() { return pellmon::RegisterServer(pellmon::ModuleInstance()); }

STDAPI DllUnregisterServer() { return pellmon::UnregisterServer(); }
