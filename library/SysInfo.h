// The SysInfo object: system performance figures, a process's memory and processor
// time, and the performance and drives windows.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ModelessDialog.h"
#include "Pellmon.h"
#include "PerfSampler.h"

class CPerfDlg;
class CDrivesDlg;

// Committed, reserved and free bytes of a process's first 128 MB of addresses.
struct ProcessMemory {
  uint32_t committed = 0;
  uint32_t reserved = 0;
  uint32_t free = 0;
};
const uintptr_t kProcessMemoryLimit = 0x8000000;
// Walks the address space of an open process up to the limit.
ProcessMemory WalkProcessMemory(HANDLE process);

class CSysInfo : public ISysInfo, private IDialogOwner {
 public:
  CSysInfo();
  virtual ~CSysInfo();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // ISysInfo
  STDMETHODIMP PerfWnd(long* hWnd) override;
  STDMETHODIMP RefPerfWnd() override;
  STDMETHODIMP DrivesWnd(long* hWnd) override;
  STDMETHODIMP RefDrivesWnd() override;
  STDMETHODIMP PerfInfo(VARIANT* pInfo) override;
  STDMETHODIMP ProcMem(long PID, VARIANT* pMemInfo) override;
  STDMETHODIMP ProcCPU(long PID, long* Cpu) override;

 private:
  void DialogGone(CModelessDialog* dialog) override;

  volatile LONG refs_ = 1;
  CPerfDlg* perfDlg_ = nullptr;
  CDrivesDlg* drivesDlg_ = nullptr;
  CPerfSampler sampler_;
};
