#include "SysInfo.h"

#include <commctrl.h>
#include <oleauto.h>

#include <climits>

#include "DrivesDlg.h"
#include "MemoryFigures.h"
#include "Module.h"
#include "OwnedHandle.h"
#include "PerfDlg.h"
#include "resource.h"

namespace {

// A caller-owned VARIANT gets a new array of 32-bit integers, lower bound 0. What
// the VARIANT held before is the caller's to clear.
bool StoreIntegers(VARIANT* target, const LONG* values, ULONG count) {
  SAFEARRAYBOUND bound = {count, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 1, &bound);
  if (!array) return false;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return false;
  }
  for (ULONG i = 0; i < count; ++i) static_cast<LONG*>(data)[i] = values[i];
  SafeArrayUnaccessData(array);
  VariantInit(target);
  target->vt = VT_ARRAY | VT_I4;
  target->parray = array;
  return true;
}

long HandleValue(HWND hwnd) { return static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd)); }

}  // namespace

ProcessMemory WalkProcessMemory(HANDLE process) {
  ProcessMemory m;
  uintptr_t address = 0;
  while (address < kProcessMemoryLimit) {
    MEMORY_BASIC_INFORMATION info;
    // A failed query ends the walk with what was counted so far.
    if (VirtualQueryEx(process, reinterpret_cast<LPCVOID>(address), &info, sizeof info) == 0) break;
    uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (info.RegionSize == 0 || end <= address) break;  // the walk must move forward
    // A region reaching past the limit counts only up to it.
    if (end > kProcessMemoryLimit) end = kProcessMemoryLimit;
    uint32_t size = static_cast<uint32_t>(end - address);
    switch (info.State) {
      case MEM_COMMIT: m.committed += size; break;
      case MEM_RESERVE: m.reserved += size; break;
      case MEM_FREE: m.free += size; break;
    }
    address = end;
  }
  return m;
}

CSysInfo::CSysInfo() { pellmon::ObjectCreated(); }

CSysInfo::~CSysInfo() {
  // Open windows outlive the object; they must not report back to it.
  if (perfDlg_) perfDlg_->SetOwner(nullptr);
  if (drivesDlg_) drivesDlg_->SetOwner(nullptr);
  pellmon::ObjectDestroyed();
}

STDMETHODIMP CSysInfo::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISysInfo)) {
    *object = static_cast<ISysInfo*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CSysInfo::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) CSysInfo::Release() {
  ULONG refs = InterlockedDecrement(&refs_);
  if (refs == 0) delete this;
  return refs;
}

void CSysInfo::DialogGone(CModelessDialog* dialog) {
  if (dialog == perfDlg_) perfDlg_ = nullptr;
  if (dialog == drivesDlg_) drivesDlg_ = nullptr;
}

STDMETHODIMP CSysInfo::PerfWnd(long* hWnd) {
  if (perfDlg_) {
    perfDlg_->Destroy();  // its DialogGone clears perfDlg_
    perfDlg_ = nullptr;
    if (hWnd) *hWnd = 0;
    return S_FALSE;
  }
  auto* dialog = new CPerfDlg();
  if (!dialog->Create(IDD_PERF)) {
    delete dialog;
    if (hWnd) *hWnd = 0;
    return S_FALSE;
  }
  dialog->SetOwner(this);
  perfDlg_ = dialog;
  ShowWindow(dialog->hwnd(), SW_SHOW);
  dialog->Update(sampler_.CpuUsage());
  if (hWnd) *hWnd = HandleValue(dialog->hwnd());
  return S_OK;
}

STDMETHODIMP CSysInfo::RefPerfWnd() {
  if (!perfDlg_) return S_FALSE;
  perfDlg_->Update(sampler_.CpuUsage());
  return S_OK;
}

STDMETHODIMP CSysInfo::DrivesWnd(long* hWnd) {
  if (drivesDlg_) {
    drivesDlg_->Destroy();
    drivesDlg_ = nullptr;
    if (hWnd) *hWnd = 0;
    return S_FALSE;
  }
  // The list view is a common control; the host may not have registered it.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  auto* dialog = new CDrivesDlg();
  if (!dialog->Create(IDD_DRIVES)) {
    delete dialog;
    if (hWnd) *hWnd = 0;
    return S_FALSE;
  }
  dialog->SetOwner(this);
  drivesDlg_ = dialog;
  ShowWindow(dialog->hwnd(), SW_SHOW);
  if (hWnd) *hWnd = HandleValue(dialog->hwnd());
  return S_OK;
}

STDMETHODIMP CSysInfo::RefDrivesWnd() {
  if (!drivesDlg_) return S_FALSE;
  drivesDlg_->Fill();
  return S_OK;
}

STDMETHODIMP CSysInfo::PerfInfo(VARIANT* pInfo) {
  if (!pInfo) return S_FALSE;
  LONG values[9];
  values[0] = sampler_.CpuUsage();
  pellmon::MemoryFigures m = pellmon::ReadMemoryFigures();
  values[1] = m.pageFilePercent;
  values[2] = m.availPhysKb;
  values[3] = m.totalPhysKb;
  values[4] = m.availVirtualKb;
  values[5] = m.totalVirtualKb;
  values[6] = m.availPageKb;
  values[7] = m.totalPageKb;
  values[8] = sampler_.PageFaults();
  return StoreIntegers(pInfo, values, 9) ? S_OK : S_FALSE;
}

STDMETHODIMP CSysInfo::ProcMem(long PID, VARIANT* pMemInfo) {
  if (!pMemInfo) return S_FALSE;
  const OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(PID)));
  if (!process) return S_FALSE;
  const ProcessMemory m = WalkProcessMemory(process.get());
  LONG values[3] = {static_cast<LONG>(m.committed >> 10), static_cast<LONG>(m.reserved >> 10),
                    static_cast<LONG>(m.free >> 10)};
  return StoreIntegers(pMemInfo, values, 3) ? S_OK : S_FALSE;
}

STDMETHODIMP CSysInfo::ProcCPU(long PID, long* Cpu) {
  uint64_t time = 0;
  long result;
  if (!sampler_.ProcessCpuTime(static_cast<DWORD>(PID), time)) {
    result = -1;
  } else {
    uint64_t hundredths = time / 100000;
    result = hundredths > static_cast<uint64_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(hundredths);
  }
  if (Cpu) *Cpu = result;
  return S_OK;
}
