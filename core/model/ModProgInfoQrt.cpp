// Known system files, signature checks and terminate-and-quarantine.
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>
#include <utility>

#include "ModProgInfo.h"
#include "ModStartupPlatform.h"
#include "OwnedHandle.h"
#include "ModMainPlatform.h"
#include "ViewBindings.h"
#include "ModSettings.h"
#include "SignedCode.h"
#include "Window.h"
#include "VbRules.h"
#include "ModProcMonParse.h"

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

namespace {

// Ends one process (lowering its class first keeps a busy program from fighting its
// end); the handle, to wait on, or null.
OwnedHandle EndForQuarantine(DWORD processId) {
  OwnedHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_SET_INFORMATION | SYNCHRONIZE, FALSE, processId));
  if (!process) process.Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (process) {
    SetPriorityClass(process.get(), IDLE_PRIORITY_CLASS);
    TerminateProcess(process.get(), 0);
  }
  return process;
}

// Up to 1000 tries to move the file: it stays in use for a moment after its process
// ended. The number of the try that worked, 0 when none did.
int16_t MoveIntoQuarantine(const std::string& path) {
  if (!IsWinNTFlag) ui::PauseServingEvents(100);
  for (int attempt = 1; attempt <= kQuarantineTries; ++attempt) {
    if (Views.quarantine.MoveToQrt && Views.quarantine.MoveToQrt(path)) return static_cast<int16_t>(attempt);
    ui::PauseServingEvents(1);
  }
  return 0;
}

// Every running process of the path (lower case) by id.
std::vector<DWORD> ProcessesOf(const std::string& path) {
  const std::string wanted = vb::LCase(path);
  std::vector<DWORD> found;
  if (IsWinNTFlag) {
    for (DWORD id : EnumProcessIds()) {
      if (id == 0) continue;
      OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
      if (process && vb::LCase(ProcessImagePath(process.get())) == wanted) found.push_back(id);
    }
    return found;
  }
  ForEachToolhelpProcess([&](const PROCESSENTRY32& entry) {
    if (entry.th32ProcessID != 0 && ToolhelpProcessPath(entry) == wanted) found.push_back(entry.th32ProcessID);
    return true;
  });
  return found;
}

// One pass: every running process of the path is ended, then the file is moved once
// (a running program's file can be renamed, so moving it after the first end would
// leave the others running). The try number that worked, 0 when none.
int16_t QuarantinePass(const std::string& path) {
  std::vector<DWORD> ids = ProcessesOf(path);
  if (ids.empty()) return 0;
  std::vector<OwnedHandle> ended;
  for (DWORD id : ids)
    if (OwnedHandle process = EndForQuarantine(id)) ended.push_back(std::move(process));
  for (const OwnedHandle& process : ended) ui::WaitServingEvents(process.get(), 2000);
  return MoveIntoQuarantine(path);
}

}  // namespace

int16_t TerminateAndQuarantinePid(DWORD processId, const std::string& path) {
  if (path.size() > kQrtPathSize) return 0;
  // Held open until the move is done, so the id cannot pass to a new process meanwhile.
  const OwnedHandle process = EndForQuarantine(processId);
  return MoveIntoQuarantine(path);
}

int16_t TerminateAndQuarantine(const std::string& path) {
  // Refused before anything is ended: the list could not hold the path.
  if (path.size() > kQrtPathSize) return 0;
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
