// Known system files, signature checks and terminate-and-quarantine.
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "ModProgInfo.h"
#include "ModStartupPlatform.h"
#include "ModMainPlatform.h"
#include "ViewBindings.h"
#include "ModSettings.h"
#include "SignedCode.h"
#include "Window.h"
#include "VbRules.h"

std::vector<std::string> SystemFilesList;

namespace {

bool g_systemFilesLoaded = false;

const int kQuarantineTries = 1000;
const int kQuarantinePasses = 5;

}  // namespace

void LoadSystemFiles() {
  g_systemFilesLoaded = true;
  SystemFilesList.assign(1, "");
  std::ifstream file(AppPath() + "\\systemfiles.dat", std::ios::binary);
  if (!file) return;
  std::ostringstream text;
  text << file.rdbuf();
  const std::string sysDir = GetSysDir(), winDir = GetWinDir();
  SystemFilesList.clear();
  for (const SystemFileLine& line : ParseSystemFiles(text.str(), !IsWinNTFlag))
    SystemFilesList.push_back(vb::LCase((line.folder == SystemFileLine::System ? sysDir : winDir) + "\\" + line.name));
  SystemFilesList.push_back("");
}

int16_t IsSystemFile(const std::string& path) {
  if (!g_systemFilesLoaded) LoadSystemFiles();
  const std::string file = vb::LCase(path);
  const std::string winDir = vb::LCase(GetWinDir());
  // Under the Windows folder means inside it: "c:\windowsapps" is not.
  if (winDir.empty() || file.compare(0, winDir.size(), winDir) != 0 ||
      (file.size() > winDir.size() && file[winDir.size()] != '\\' && winDir.back() != '\\'))
    return 0;
  for (const std::string& entry : SystemFilesList)
    if (!entry.empty() && entry == file) return 1;
  return 2;
}

bool VerifyFileSignature(const std::string& path, std::string& signer) {
  if (!IsWinNTFlag) return false;
  static SignedCode signedCode;  // made on first use, kept for the run
  signedCode.FileName = path;
  if (signedCode.Verify(false) != ERROR_SUCCESS) return false;
  signer = signedCode.Signer();
  return true;
}

int16_t TerminateAndQuarantinePid(DWORD processId, const std::string& path) {
  // Lowering the class first keeps a busy program from fighting its end.
  HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_SET_INFORMATION, FALSE, processId);
  if (!process) process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
  if (process) {
    SetPriorityClass(process, IDLE_PRIORITY_CLASS);
    TerminateProcess(process, 0);
  }
  if (!IsWinNTFlag) {
    Sleep(100);
    ui::DoEvents();
  }
  int16_t result = 0;
  // The file stays in use for a moment after its process ended.
  for (int attempt = 1; attempt <= kQuarantineTries; ++attempt) {
    if (Views.quarantine.MoveToQrt && Views.quarantine.MoveToQrt(path)) {
      result = static_cast<int16_t>(attempt);
      break;
    }
    ui::DoEvents();
    Sleep(1);
  }
  if (process) CloseHandle(process);
  return result;
}

namespace {

// One pass: the first running process of the path is ended and its file quarantined;
// the try number that worked, 0 when none.
int16_t QuarantinePass(const std::string& path) {
  const std::string wanted = vb::LCase(path);
  if (IsWinNTFlag) {
    for (DWORD id : EnumProcessIds()) {
      HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
      if (!process) continue;
      std::string image = ProcessImagePath(process);
      CloseHandle(process);
      if (id == 0 || vb::LCase(image) != wanted) continue;
      if (int16_t attempt = TerminateAndQuarantinePid(id, path)) return attempt;
    }
    return 0;
  }
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int16_t attempt = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && !attempt; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID != 0 && ToolhelpProcessPath(entry) == wanted)
      attempt = TerminateAndQuarantinePid(entry.th32ProcessID, path);
  }
  CloseHandle(snapshot);
  return attempt;
}

}  // namespace

int16_t TerminateAndQuarantine(const std::string& path) {
  if (Views.quarantine.form) Views.quarantine.form->Load();
  int16_t passes = 0, attempt = 0;
  while (attempt == 0 && passes < kQuarantinePasses) {
    ++passes;
    attempt = QuarantinePass(path);
    ui::DoEvents();
    if (CancelFlag) {
      CancelFlag = false;
      break;
    }
  }
  // Nonzero exactly when the file went into quarantine, on whichever pass.
  return attempt ? static_cast<int16_t>(passes + attempt) : 0;
}
