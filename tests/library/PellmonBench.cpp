// Measures what the library's figures cost: PerfInfo, and ProcMem for one process
// (this program and a started fixture). Prints microseconds per call.
//   pellmon_bench [calls]
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/BenchClock.h"
#include "Pellmon.h"

namespace {

template <typename Call>
void Measure(const char* what, int calls, Call call) {
  call();  // first call outside the timing: loading, first samples
  const double us = testsupport::MsOf([&] {
                     for (int i = 0; i < calls; ++i) call();
                   }) * 1000.0 / calls;
  std::printf("%-28s %9.1f us/call  (%d calls)\n", what, us, calls);
}

}  // namespace

int main(int argc, char** argv) {
  int calls = argc > 1 ? std::atoi(argv[1]) : 500;
  if (calls <= 0) calls = 500;
  CoInitialize(nullptr);
  ISysInfo* sysInfo = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_SysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_ISysInfo,
                                reinterpret_cast<void**>(&sysInfo));
  if (FAILED(hr)) {
    std::printf("cannot create SysInfo: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 1;
  }

  // A second process to measure, as the program does for every running program.
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string fixture(path);
  fixture = fixture.substr(0, fixture.find_last_of('\\')) + "\\fixture.exe";
  std::string cmd = "\"" + fixture + "\" hidden \"Pellmon bench\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  bool haveFixture = CreateProcessA(fixture.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &si, &pi) != FALSE;
  if (haveFixture) WaitForInputIdle(pi.hProcess, 5000);

  Measure("PerfInfo", calls, [&] {
    VARIANT v;
    VariantInit(&v);
    sysInfo->PerfInfo(&v);
    VariantClear(&v);
  });
  Measure("ProcMem (own process)", calls, [&] {
    VARIANT v;
    VariantInit(&v);
    sysInfo->ProcMem(static_cast<long>(GetCurrentProcessId()), &v);
    VariantClear(&v);
  });
  if (haveFixture) {
    Measure("ProcMem (other process)", calls, [&] {
      VARIANT v;
      VariantInit(&v);
      sysInfo->ProcMem(static_cast<long>(pi.dwProcessId), &v);
      VariantClear(&v);
    });
    TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  Measure("ProcCPU", calls / 10 > 0 ? calls / 10 : 1, [&] {
    long cpu = 0;
    sysInfo->ProcCPU(static_cast<long>(GetCurrentProcessId()), &cpu);
  });
  sysInfo->Release();
  CoUninitialize();
  return 0;
}
