#include "Seams.h"

#include <shellapi.h>

namespace seams {
namespace {

int RealMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

bool RealShellExecute(const ShellRequest& r) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = r.owner;
  info.lpVerb = r.verb.empty() ? nullptr : r.verb.c_str();
  info.lpFile = r.file.c_str();
  info.lpParameters = r.parameters.empty() ? nullptr : r.parameters.c_str();
  info.lpDirectory = r.directory.empty() ? nullptr : r.directory.c_str();
  info.nShow = r.show;
  if (r.callerReportsFailure) info.fMask |= SEE_MASK_FLAG_NO_UI;
  if (ShellExecuteExA(&info)) return true;
  DWORD error = GetLastError();
  // Some shells give the reason only as the old small result code.
  if (!error) {
    switch (static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp))) {
      case SE_ERR_FNF: error = ERROR_FILE_NOT_FOUND; break;
      case SE_ERR_PNF: error = ERROR_PATH_NOT_FOUND; break;
      case SE_ERR_ACCESSDENIED: error = ERROR_ACCESS_DENIED; break;
      case SE_ERR_OOM: error = ERROR_NOT_ENOUGH_MEMORY; break;
      case SE_ERR_SHARE: error = ERROR_SHARING_VIOLATION; break;
      case SE_ERR_NOASSOC: error = ERROR_NO_ASSOCIATION; break;
      case SE_ERR_DLLNOTFOUND: error = ERROR_DLL_NOT_FOUND; break;
      default: break;
    }
  }
  SetLastError(error);
  return false;
}

void RealEndProcess(UINT code) { TerminateProcess(GetCurrentProcess(), code); }

}  // namespace

std::function<int(HWND, const std::string&, const std::string&, UINT)> MessageBoxFn = RealMessageBox;
std::function<bool(const ShellRequest&)> ShellExecuteFn = RealShellExecute;
std::function<DWORD()> TickCountFn = GetTickCount;
std::function<BOOL(POINT*)> CursorPosFn = GetCursorPos;
std::function<void(UINT)> EndProcessFn = RealEndProcess;

namespace {
bool shellQuiet = false;
bool QuietShellExecute(const ShellRequest&) { return true; }
}  // namespace

void Reset() {
  MessageBoxFn = RealMessageBox;
  ShellExecuteFn = shellQuiet ? QuietShellExecute : RealShellExecute;
  TickCountFn = GetTickCount;
  CursorPosFn = GetCursorPos;
  EndProcessFn = RealEndProcess;
}

bool ShellExecuteForReal(const ShellRequest& request) { return RealShellExecute(request); }

void KeepShellQuiet() {
  shellQuiet = true;
  ShellExecuteFn = QuietShellExecute;
}

}  // namespace seams
