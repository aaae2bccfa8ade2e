// Live system figures by platform: the 9x family's dynamic statistics, the NT
// family's system times and performance data helper, and the NT performance data
// for one process.
#pragma once
#include <windows.h>

#include <cstdint>

class CPerfSampler {
 public:
  enum OsKindValue { kOsOther = 0, kOs9x = 1, kOsNt4 = 2, kOsNt5 = 3 };

  CPerfSampler();
  ~CPerfSampler();
  CPerfSampler(const CPerfSampler&) = delete;
  CPerfSampler& operator=(const CPerfSampler&) = delete;

  // Busy share of the processors in percent.
  long CpuUsage();
  // 9x: faults since the previous call (0 the first time); NT: faults per second.
  long PageFaults();
  // The process's processor-time counter (100 ns units). False when the process is
  // not in the performance data, or on the 9x family; true with 0 when the data
  // cannot be read.
  bool ProcessCpuTime(DWORD pid, uint64_t& value);

  // Which family the library runs on, decided once.
  static int OsKind();

  // The reads of the two system buffers behind a process's processor time: the
  // counter names under the perflib key and the data of HKEY_PERFORMANCE_DATA
  // (RegQueryValueExA); tests put a reader of their own here.
  using PerformanceQuery = LONG (*)(HKEY key, const char* value, BYTE* data, DWORD* size);
  static PerformanceQuery QueryPerformanceValue;
  static LONG SystemPerformanceValue(HKEY key, const char* value, BYTE* data, DWORD* size);
  // The performance-data buffer starts at 50 KB, doubles while the data does not fit
  // and stops at this ceiling.
  static constexpr DWORD kFirstDataSize = 51200;
  static constexpr DWORD kMaxDataSize = 32u << 20;

 private:
  typedef LONG(WINAPI* OpenQueryFn)(LPCSTR, DWORD_PTR, HANDLE*);
  typedef LONG(WINAPI* AddCounterFn)(HANDLE, LPCSTR, DWORD_PTR, HANDLE*);
  typedef LONG(WINAPI* RemoveCounterFn)(HANDLE);
  typedef LONG(WINAPI* CollectFn)(HANDLE);
  typedef LONG(WINAPI* FormattedValueFn)(HANDLE, DWORD, LPDWORD, void*);
  typedef LONG(WINAPI* CloseQueryFn)(HANDLE);
  typedef BOOL(WINAPI* SystemTimesFn)(FILETIME*, FILETIME*, FILETIME*);

  void StartPdh();
  void StopPdh();
  long CounterValue(HANDLE counter);
  bool ReadSystemTimes(uint64_t& idle, uint64_t& total);
  long CpuFromSystemTimes();

  int kind_;
  // 9x: the last raw fault count.
  bool haveFaults_ = false;
  DWORD lastFaults_ = 0;
  // NT: the helper library, its query and counters. Each sampler has its own, so
  // one object's release cannot pull them from under another.
  HMODULE pdh_ = nullptr;
  OpenQueryFn openQuery_ = nullptr;
  AddCounterFn addCounter_ = nullptr;
  RemoveCounterFn removeCounter_ = nullptr;
  CollectFn collect_ = nullptr;
  FormattedValueFn formattedValue_ = nullptr;
  CloseQueryFn closeQuery_ = nullptr;
  HANDLE query_ = nullptr;
  HANDLE processorCounter_ = nullptr;
  HANDLE faultCounter_ = nullptr;
  // NT: processor times at the previous CPU figure.
  SystemTimesFn systemTimes_ = nullptr;
  uint64_t lastIdle_ = 0;
  uint64_t lastTotal_ = 0;
  long lastCpu_ = 0;
  // NT: the performance-data buffer size that last held the data.
  uint32_t dataCapacity_ = kFirstDataSize;
};
