// Uses the registered library the way a program does, on commands read from its
// standard input, and writes what it got to its standard output:
//   perf       -> "perf" and the nine figures, or "perf S_FALSE"
//   cpu PID    -> "cpu" and the process CPU figure
//   spin MS    -> keeps one processor busy that long, then "spun"
//   quit
// First it writes "ready PLATFORM MAJOR QUIT" (QUIT is the exit code that the
// library's start posted, or -1), or "fail HRESULT" when the object cannot be made.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Pellmon.h"

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  CoInitialize(nullptr);
  ISysInfo* sysInfo = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_SysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_ISysInfo,
                                reinterpret_cast<void**>(&sysInfo));
  if (FAILED(hr)) {
    std::printf("fail 0x%08lx\n", static_cast<unsigned long>(hr));
    return 1;
  }
  MSG msg;
  int quit = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(msg.wParam) : -1;
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  std::printf("ready %lu %lu %d\n", v.dwPlatformId, v.dwMajorVersion, quit);

  char line[256];
  while (std::fgets(line, sizeof line, stdin)) {
    long arg = 0;
    if (std::strncmp(line, "perf", 4) == 0) {
      VARIANT info;
      VariantInit(&info);
      if (sysInfo->PerfInfo(&info) != S_OK) {
        std::printf("perf S_FALSE\n");
        continue;
      }
      std::string out = "perf";
      LONG* values = nullptr;
      SafeArrayAccessData(info.parray, reinterpret_cast<void**>(&values));
      for (int i = 0; i < 9; ++i) out += " " + std::to_string(values[i]);
      SafeArrayUnaccessData(info.parray);
      VariantClear(&info);
      std::printf("%s\n", out.c_str());
    } else if (std::sscanf(line, "cpu %ld", &arg) == 1) {
      long cpu = 0;
      sysInfo->ProcCPU(arg, &cpu);
      std::printf("cpu %ld\n", cpu);
    } else if (std::sscanf(line, "spin %ld", &arg) == 1) {
      DWORD start = GetTickCount();
      volatile unsigned counter = 0;
      while (GetTickCount() - start < static_cast<DWORD>(arg)) counter = counter + 1;
      std::printf("spun\n");
    } else if (std::strncmp(line, "quit", 4) == 0) {
      break;
    }
  }
  sysInfo->Release();
  CoUninitialize();
  return 0;
}
