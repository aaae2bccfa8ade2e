#include "LibraryTestSupport.h"

#include <objbase.h>
#include <oleauto.h>

#include "UiWait.h"

namespace libtest {

std::string PellmonPath() { return testsupport::BinDir() + "\\Pellmon.dll"; }

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ReadString(HKEY root, const std::string& path, const char* name, std::string& value) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[1024];
  DWORD size = sizeof buffer, type = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  value.assign(buffer, size > 0 && buffer[size - 1] == '\0' ? size - 1 : size);
  return true;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    DeleteKeyTree(root, path + "\\" + name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path.c_str());
}

long RunAndWait(const std::string& commandLine, DWORD timeoutMs) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return static_cast<long>(code);
}

bool RegisterLibrary() { return RunAndWait("regsvr32 /s \"" + PellmonPath() + "\"") == 0; }

SysInfoPtr::SysInfoPtr() {
  hr_ = CoCreateInstance(CLSID_SysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_ISysInfo,
                         reinterpret_cast<void**>(&p_));
}

void SysInfoPtr::Reset() {
  if (p_) p_->Release();
  p_ = nullptr;
}

std::vector<long> ArrayValues(const VARIANT& v) {
  std::vector<long> out;
  if (v.vt != (VT_ARRAY | VT_I4) || !v.parray || SafeArrayGetDim(v.parray) != 1) return out;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    LONG value = 0;
    SafeArrayGetElement(v.parray, &i, &value);
    out.push_back(value);
  }
  return out;
}

Probe::Probe(const std::string& exeName) {
  std::string source = testsupport::BinDir() + "\\pellmon_probe.exe";
  std::string exe = testsupport::BinDir() + "\\" + exeName;
  if (exe != source) {
    if (!CopyFileA(source.c_str(), exe.c_str(), FALSE)) return;
    copy_ = exe;
  }
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE childIn = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &in_, &sa, 0)) return;
  if (!CreatePipe(&out_, &childOut, &sa, 0)) return;
  SetHandleInformation(in_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out_, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = childIn;
  si.hStdOutput = childOut;
  si.hStdError = childOut;
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi_))
    pi_ = {};
  CloseHandle(childIn);
  CloseHandle(childOut);
}

Probe::~Probe() {
  testsupport::EndProcess(pi_);
  if (in_) CloseHandle(in_);
  if (out_) CloseHandle(out_);
  if (!copy_.empty()) DeleteFileA(copy_.c_str());
}

void Probe::Send(const std::string& line) {
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(in_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Probe::ReadLine(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    DWORD available = 0;
    if (!PeekNamedPipe(out_, nullptr, 0, nullptr, &available, nullptr)) return "";
    if (available > 0) {
      char buffer[512];
      DWORD got = 0;
      if (!ReadFile(out_, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr))
        return "";
      pending_.append(buffer, got);
      continue;
    }
    if (GetTickCount() - start > timeoutMs) return "";
    Sleep(10);
  }
}

DWORD Probe::Quit() {
  Send("quit");
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi_.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

AppDefaults::AppDefaults(const std::string& exeName)
    : key_("Software\\Wine\\AppDefaults\\" + exeName) {}

AppDefaults::~AppDefaults() { DeleteKeyTree(HKEY_CURRENT_USER, key_); }

void AppDefaults::SetVersion(const std::string& version) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>(version.size() + 1));
  RegCloseKey(key);
}

void AppDefaults::DisableDll(const std::string& dll) {
  HKEY key;
  std::string path = key_ + "\\DllOverrides";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  // An empty load order means the DLL is not loaded at all.
  RegSetValueExA(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(key);
}

}  // namespace libtest
