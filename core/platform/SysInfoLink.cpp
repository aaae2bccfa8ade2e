#include "SysInfoLink.h"

#include <objbase.h>

IUnknown* SysInfoObj = nullptr;
PerfInfoArray PerfInfoData;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetPerfInfoData() {
  PerfInfoData.clear();
}
namespace {
const bool resetPerfInfoDataDone = (ResetPerfInfoData(), true);
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

SysInfoSlots* Object() {
  if (!SysInfoObj &&
      FAILED(CoCreateInstance(kClsidSysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&SysInfoObj))))
    SysInfoObj = nullptr;
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
