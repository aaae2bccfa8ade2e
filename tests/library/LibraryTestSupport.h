// Helpers shared by the library's tests: the registry, child programs and the
// registered object.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "Pellmon.h"

namespace libtest {

std::string PellmonPath();  // the library beside the test program

bool KeyExists(HKEY root, const std::string& path);
// The string value (default value for an empty name); false when missing.
bool ReadString(HKEY root, const std::string& path, const char* name, std::string& value);
void DeleteKeyTree(HKEY root, const std::string& path);

// Runs a command line and waits; the exit code, or -1 when it cannot start or time out.
long RunAndWait(const std::string& commandLine, DWORD timeoutMs = 30000);
// Registers the library where this build put it (other tests rely on it).
bool RegisterLibrary();

// A SysInfo object made through COM, released at the end of the scope.
class SysInfoPtr {
 public:
  SysInfoPtr();
  ~SysInfoPtr() { Reset(); }
  SysInfoPtr(const SysInfoPtr&) = delete;
  SysInfoPtr& operator=(const SysInfoPtr&) = delete;
  ISysInfo* operator->() const { return p_; }
  ISysInfo* get() const { return p_; }
  HRESULT created() const { return hr_; }
  void Reset();

 private:
  ISysInfo* p_ = nullptr;
  HRESULT hr_ = E_FAIL;
};

// The integers of a VT_ARRAY | VT_I4 VARIANT (empty for anything else).
std::vector<long> ArrayValues(const VARIANT& v);

// The probe program, driven line by line through pipes.
class Probe {
 public:
  // Starts bin\<exeName> (a copy of the probe under that name, so the version and
  // DLL settings of that name apply to it alone).
  explicit Probe(const std::string& exeName);
  ~Probe();
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  bool Started() const { return pi_.hProcess != nullptr; }
  DWORD pid() const { return pi_.dwProcessId; }
  void Send(const std::string& line);
  // The next line written by the probe ("" on time-out or when it ended).
  std::string ReadLine(DWORD timeoutMs = 20000);
  // Sends quit and waits for the end; the exit code.
  DWORD Quit();

 private:
  PROCESS_INFORMATION pi_ = {};
  HANDLE in_ = nullptr;
  HANDLE out_ = nullptr;
  std::string pending_;
  std::string copy_;  // the copy made for this run, removed at the end
};

// Sets HKCU\Software\Wine\AppDefaults\<exe> values for a test and removes the key after.
class AppDefaults {
 public:
  explicit AppDefaults(const std::string& exeName);
  ~AppDefaults();
  void SetVersion(const std::string& version);
  void DisableDll(const std::string& dll);

 private:
  std::string key_;
};

}  // namespace libtest
