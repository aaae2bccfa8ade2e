#include "SysInfoLink.h"

#include <objbase.h>

#include <string>

IUnknown* SysInfoObj = nullptr;
PerfInfoArray PerfInfoData;
namespace {
HRESULT CreateRegistered(IUnknown** object);
}  // namespace
HRESULT (*CreateSysInfoFn)(IUnknown** object) = nullptr;

std::string PellmonBesideProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "Pellmon.dll";
}

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetSysInfoLinkState() {
  PerfInfoData.clear();
  CreateSysInfoFn = CreateRegistered;
}
namespace {
const bool resetSysInfoLinkStateDone = (ResetSysInfoLinkState(), true);
}  // namespace

// The interface's slots in their order after IUnknown's three. Declared outside the
// unnamed namespace: a type local to this file that nothing here derives from lets the
// optimiser take every call through it for a pure virtual one.
struct SysInfoSlots : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE PerfWnd(long* hWnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE RefPerfWnd() = 0;
  virtual HRESULT STDMETHODCALLTYPE DrivesWnd(long* hWnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE RefDrivesWnd() = 0;
  virtual HRESULT STDMETHODCALLTYPE PerfInfo(VARIANT* info) = 0;
  virtual HRESULT STDMETHODCALLTYPE ProcMem(long pid, VARIANT* memInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE ProcCPU(long pid, long* cpu) = 0;
};

namespace {

const CLSID kClsidSysInfo = {0xB52F1570, 0x8A88, 0x11D5, {0x87, 0xA5, 0x00, 0xC0, 0x4F, 0x5F, 0x87, 0x04}};
const IID kIidSysInfo = {0xB52F156F, 0x8A88, 0x11D5, {0x87, 0xA5, 0x00, 0xC0, 0x4F, 0x5F, 0x87, 0x04}};

HRESULT CreateRegistered(IUnknown** object) {
  return CoCreateInstance(kClsidSysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(object));
}

// A folder copied to a machine where nothing installed it: the library beside the
// program serves the object itself. Nothing is written to the registry, so a
// registered library, when there is one, keeps serving instead.
HRESULT CreateFromProgramFolder(IUnknown** object) {
  static HMODULE library = LoadLibraryA(PellmonBesideProgram().c_str());
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject = library ? reinterpret_cast<GetClassObjectFn>(
                                      reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")))
                                : nullptr;
  if (!getClassObject) return REGDB_E_CLASSNOTREG;
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject(kClsidSysInfo, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object));
  factory->Release();
  return hr;
}

SysInfoSlots* Object() {
  if (!SysInfoObj) {
    HRESULT hr = CreateSysInfoFn(&SysInfoObj);
    if (hr == REGDB_E_CLASSNOTREG) hr = CreateFromProgramFolder(&SysInfoObj);
    if (FAILED(hr)) SysInfoObj = nullptr;
  }
  if (!SysInfoObj) return nullptr;
  SysInfoSlots* slots = nullptr;
  if (FAILED(SysInfoObj->QueryInterface(kIidSysInfo, reinterpret_cast<void**>(&slots)))) return nullptr;
  slots->Release();  // the object stays alive through SysInfoObj
  return slots;
}

}  // namespace

bool SysInfoPerfInfo(VARIANT* info) {
  SysInfoSlots* object = Object();
  return object && object->PerfInfo(info) == S_OK;
}

PerfInfoArray TakePerfInfo() {
  PerfInfoArray figures;
  VARIANT v;
  VariantInit(&v);
  if (SysInfoPerfInfo(&v) && v.vt == (VT_ARRAY | VT_I4) && v.parray &&
      SafeArrayGetDim(v.parray) == 1) {
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(v.parray, 1, &lo);
    SafeArrayGetUBound(v.parray, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
      LONG value = 0;
      if (SUCCEEDED(SafeArrayGetElement(v.parray, &i, &value))) figures.push_back(value);
    }
  }
  VariantClear(&v);
  return figures;
}

bool TakeProcMem(DWORD processId, int32_t figures[3]) {
  SysInfoSlots* object = Object();
  if (!object) return false;
  VARIANT v;
  VariantInit(&v);
  bool ok = object->ProcMem(static_cast<long>(processId), &v) == S_OK && v.vt == (VT_ARRAY | VT_I4) &&
            v.parray && SafeArrayGetDim(v.parray) == 1;
  LONG got[3] = {};
  for (LONG i = 0; ok && i < 3; ++i) ok = SUCCEEDED(SafeArrayGetElement(v.parray, &i, &got[i]));
  VariantClear(&v);
  if (ok)
    for (int i = 0; i < 3; ++i) figures[i] = got[i];
  return ok;
}

void ReleaseSysInfo() {
  if (SysInfoObj) SysInfoObj->Release();
  SysInfoObj = nullptr;
}
