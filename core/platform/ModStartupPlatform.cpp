#include "ModStartupPlatform.h"
#include "OwnedHandle.h"

#include "ModRegistry.h"

bool IsCompiled = false;
bool TestMode = false;
bool IsWinNTFlag = false;
bool IsNT4 = false;
std::string AppExePath;
const long PriorityClasses[4] = {64, 32, 128, 256};
DWORD MyProcessId = 0;

void SetCompiledFlag() {
#ifdef NDEBUG
  IsCompiled = true;
#else
  IsCompiled = false;  // a development build simulates a connection
#endif
}

bool IsWinNT() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  if (!GetVersionExA(&info)) return false;
  IsNT4 = info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 4;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string AppExeName() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string name(buf, n);
  size_t slash = name.find_last_of('\\');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  return name;
}

namespace {
const char kAppPathsRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
}  // namespace

std::string AppPathsKey(const std::string& exeFileName) { return kAppPathsRoot + exeFileName; }

std::string GetAppPathsEntry(const std::string& exeFileName) {
  // Read access only: a user who may not write under the machine key must still
  // see that the program is registered, or every start would count as the first.
  const OwnedKey key(OpenRegKey(HKEY_LOCAL_MACHINE, AppPathsKey(exeFileName), KEY_READ));
  if (!key) return "";
  std::string value = GetRegValue(key.get(), "");
  size_t nul = value.find('\0');
  return nul == std::string::npos ? value : value.substr(0, nul);
}
