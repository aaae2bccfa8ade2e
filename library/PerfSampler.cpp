#include "PerfSampler.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "OwnedHandle.h"
#include "PerfData.h"

namespace {

const char kCaption[] = "Vantrel";
const char kStatData[] = "PerfStats\\StatData";
const char kCpuUsageValue[] = "kernel\\cpuusage";
const char kPageFaultsValue[] = "vmm\\cpagefaults";
const char kPerflibKey[] = "software\\microsoft\\windows nt\\currentversion\\perflib";
const DWORD kFmtLong = 0x00000100;  // PDH_FMT_LONG

// The formatted value of a counter as the helper library returns it.
struct FormattedValue {
  DWORD status;
  union {
    LONG longValue;
    double doubleValue;
    LONGLONG largeValue;
  };
};

int DetectOsKind() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) {
    MessageBoxA(nullptr, "Error determining OS version", kCaption, MB_ICONERROR);
    PostQuitMessage(1);
    return CPerfSampler::kOsOther;
  }
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return CPerfSampler::kOs9x;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    if (info.dwMajorVersion == 4) return CPerfSampler::kOsNt4;
    // Everything from Windows 2000 on has the same sources.
    if (info.dwMajorVersion >= 5) return CPerfSampler::kOsNt5;
  }
  return CPerfSampler::kOsOther;
}

// On the 9x family reading a value under StartStat or StopStat is what starts or
// stops the statistic; the data itself means nothing.
void ToggleDynStat(const char* keyName) {
  OwnedKey key;
  if (RegOpenKeyExA(HKEY_DYN_DATA, keyName, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), kCpuUsageValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size ? size : 1, 0);
    RegQueryValueExA(key.get(), kCpuUsageValue, nullptr, nullptr, data.data(), &size);
  }
}

// One 4-byte statistic of the 9x family. False when the key cannot be opened; a
// failed read gives 0.
bool ReadDynStat(const char* valueName, DWORD& value, bool& readOk) {
  value = 0;
  readOk = false;
  OwnedKey key;
  if (RegOpenKeyExA(HKEY_DYN_DATA, kStatData, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
    return false;
  DWORD data = 0, size = sizeof data;
  if (RegQueryValueExA(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) ==
      ERROR_SUCCESS) {
    value = data;
    readOk = true;
  } else {
    OutputDebugStringA("\nError");
  }
  return true;
}

uint64_t FileTimeValue(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

int CPerfSampler::OsKind() {
  static const int kind = DetectOsKind();
  return kind;
}

CPerfSampler::CPerfSampler() : kind_(OsKind()) {
  if (kind_ == kOs9x) {
    ToggleDynStat("PerfStats\\StartStat");
    return;
  }
  // The processor share of all processors comes from the system times where the
  // system has them (XP SP1 on); older NT systems use the helper's counter.
  systemTimes_ = reinterpret_cast<SystemTimesFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimes"));
  if (systemTimes_) ReadSystemTimes(lastIdle_, lastTotal_);
  StartPdh();
}

CPerfSampler::~CPerfSampler() {
  if (kind_ == kOs9x)
    ToggleDynStat("PerfStats\\StopStat");
  else
    StopPdh();
}

void CPerfSampler::StartPdh() {
  pdh_ = LoadLibraryA("PDH.DLL");
  if (!pdh_) {
    MessageBoxA(nullptr, "Could not load pdh.dll! Exiting app!", kCaption, MB_ICONERROR);
    PostQuitMessage(1);
    return;
  }
  openQuery_ = reinterpret_cast<OpenQueryFn>(GetProcAddress(pdh_, "PdhOpenQuery"));
  addCounter_ = reinterpret_cast<AddCounterFn>(GetProcAddress(pdh_, "PdhAddCounterA"));
  removeCounter_ = reinterpret_cast<RemoveCounterFn>(GetProcAddress(pdh_, "PdhRemoveCounter"));
  collect_ = reinterpret_cast<CollectFn>(GetProcAddress(pdh_, "PdhCollectQueryData"));
  formattedValue_ =
      reinterpret_cast<FormattedValueFn>(GetProcAddress(pdh_, "PdhGetFormattedCounterValue"));
  closeQuery_ = reinterpret_cast<CloseQueryFn>(GetProcAddress(pdh_, "PdhCloseQuery"));
  if (!openQuery_ || !addCounter_ || !removeCounter_ || !collect_ || !formattedValue_ ||
      !closeQuery_)
    return;  // an incomplete library gives figures of 0
  if (openQuery_(nullptr, 0, &query_) != ERROR_SUCCESS) {
    query_ = nullptr;
    return;
  }
  // A counter that cannot be added (some systems lack it) stays null and reads 0.
  if (addCounter_(query_, "\\Processor(0)\\% processor time", 0, &processorCounter_) !=
      ERROR_SUCCESS)
    processorCounter_ = nullptr;
  if (addCounter_(query_, "\\Memory\\page faults/sec", 0, &faultCounter_) != ERROR_SUCCESS)
    faultCounter_ = nullptr;
}

void CPerfSampler::StopPdh() {
  if (query_) {
    if (processorCounter_) removeCounter_(processorCounter_);
    if (faultCounter_) removeCounter_(faultCounter_);
    closeQuery_(query_);
  }
  query_ = processorCounter_ = faultCounter_ = nullptr;
  if (pdh_) FreeLibrary(pdh_);
  pdh_ = nullptr;
}

long CPerfSampler::CounterValue(HANDLE counter) {
  if (!query_ || !counter) return 0;
  collect_(query_);
  FormattedValue value = {};
  DWORD type = 0;
  if (formattedValue_(counter, kFmtLong, &type, &value) != ERROR_SUCCESS) return 0;
  return value.longValue;
}

bool CPerfSampler::ReadSystemTimes(uint64_t& idle, uint64_t& total) {
  FILETIME idleTime, kernelTime, userTime;
  if (!systemTimes_ || !systemTimes_(&idleTime, &kernelTime, &userTime)) return false;
  idle = FileTimeValue(idleTime);
  // The kernel time includes the idle time.
  total = FileTimeValue(kernelTime) + FileTimeValue(userTime);
  return true;
}

long CPerfSampler::CpuFromSystemTimes() {
  uint64_t idle, total;
  if (!ReadSystemTimes(idle, total)) return lastCpu_;
  uint64_t totalDelta = total - lastTotal_;
  uint64_t idleDelta = idle - lastIdle_;
  // Two calls within one tick of the system clock see no time pass: the figure
  // stays what it was.
  if (total <= lastTotal_ || idle < lastIdle_ || totalDelta == 0) return lastCpu_;
  if (idleDelta > totalDelta) idleDelta = totalDelta;
  lastIdle_ = idle;
  lastTotal_ = total;
  lastCpu_ = static_cast<long>((totalDelta - idleDelta) * 100 / totalDelta);
  return lastCpu_;
}

long CPerfSampler::CpuUsage() {
  switch (kind_) {
    case kOs9x: {
      DWORD value;
      bool readOk;
      if (!ReadDynStat(kCpuUsageValue, value, readOk)) return 0;
      return static_cast<long>(value);
    }
    case kOsNt4:
    case kOsNt5:
      if (systemTimes_) return CpuFromSystemTimes();
      return CounterValue(processorCounter_);
    default:
      return 0;
  }
}

long CPerfSampler::PageFaults() {
  switch (kind_) {
    case kOs9x: {
      DWORD raw;
      bool readOk;
      if (!ReadDynStat(kPageFaultsValue, raw, readOk) || !readOk) return 0;
      // The first reading has nothing to compare with; the count may wrap.
      long faults = haveFaults_ ? static_cast<long>(static_cast<DWORD>(raw - lastFaults_)) : 0;
      lastFaults_ = raw;
      haveFaults_ = true;
      return faults;
    }
    case kOsNt4:
    case kOsNt5:
      return CounterValue(faultCounter_);
    default:
      return 0;
  }
}

CPerfSampler::PerformanceQuery CPerfSampler::QueryPerformanceValue = CPerfSampler::SystemPerformanceValue;

LONG CPerfSampler::SystemPerformanceValue(HKEY key, const char* value, BYTE* data, DWORD* size) {
  return RegQueryValueExA(key, value, nullptr, nullptr, data, size);
}

bool CPerfSampler::ProcessCpuTime(DWORD pid, uint64_t& value) {
  value = 0;
  if (kind_ == kOs9x) return false;

  // The indices of the process object and its two counters, in English names.
  perfdata::CounterIndices indices;
  char keyName[128];
  std::snprintf(keyName, sizeof keyName, "%s\\%03x", kPerflibKey, 9);
  if (OwnedKey perflib;
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, perflib.Receive()) == ERROR_SUCCESS) {
    DWORD size = 0;
    if (QueryPerformanceValue(perflib.get(), "Counters", nullptr, &size) == ERROR_SUCCESS && size > 0) {
      std::vector<char> list(size, 0);
      if (QueryPerformanceValue(perflib.get(), "Counters", reinterpret_cast<BYTE*>(list.data()), &size) ==
          ERROR_SUCCESS)
        indices = perfdata::ReadCounterIndices(list.data(), size < list.size() ? size : list.size());
    }
  }
  // Without the object's index there is nothing to ask for.
  if (indices.processObject.empty()) return true;

  // The data of every process on a large machine is a few MB; a query that still
  // wants more than the ceiling is not going to be satisfied.
  const std::string object = indices.processObject;
  std::vector<unsigned char> data;
  const bool read = perfdata::ReadGrowingBlock(
      [&object](unsigned char* buffer, uint32_t& size) {
        DWORD got = size;
        LONG rc = QueryPerformanceValue(HKEY_PERFORMANCE_DATA, object.c_str(), buffer, &got);
        size = got;
        return rc == ERROR_SUCCESS    ? perfdata::QueryAnswer::Ok
               : rc == ERROR_MORE_DATA ? perfdata::QueryAnswer::MoreData
                                       : perfdata::QueryAnswer::Failed;
      },
      dataCapacity_, kMaxDataSize, data);
  RegCloseKey(HKEY_PERFORMANCE_DATA);
  if (!read || data.empty()) return true;

  uint32_t objectIndex = static_cast<uint32_t>(strtoul(indices.processObject.c_str(), nullptr, 10));
  perfdata::ProcessTime found = perfdata::FindProcessTime(data.data(), data.size(), objectIndex, indices, pid);
  if (found.lookup == perfdata::Lookup::NotFound) return false;
  if (found.lookup == perfdata::Lookup::Found) value = found.value;
  return true;
}
