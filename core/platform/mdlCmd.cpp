#include "mdlCmd.h"
#include "OwnedHandle.h"

#include <algorithm>
#include <vector>

namespace {

std::string ErrorText(const char* what, DWORD code) {
  return std::string("Error: ") + what + " failed. " + std::to_string(code);
}

}  // namespace

std::string RunCommandOutput(const std::string& commandLine, size_t maxBytes, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES sa = {};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  OwnedHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &sa, 0)) return ErrorText("CreatePipe", GetLastError());
  // Only the write end belongs to the child.
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_SHOWMINNOACTIVE;
  si.hStdOutput = writeEnd.get();
  PROCESS_INFORMATION pi = {};
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                                nullptr, &si, &pi);
  DWORD startError = GetLastError();
  // The parent's copy of the write end must go now: while it is open the pipe never
  // reports its end, and the read below would wait forever.
  writeEnd.Reset();
  if (!started) return ErrorText("CreateProcess", startError);
  const OwnedHandle process(pi.hProcess), thread(pi.hThread);
  // The console window of the command is not for the user.
  if (HWND console = FindWindowA(nullptr, "C:\\WINDOWS\\System32\\netstat.exe")) ShowWindow(console, SW_HIDE);

  std::string output;
  std::string failure;
  const DWORD started_at = GetTickCount();
  char chunk[4096];
  while (output.size() < maxBytes) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
      DWORD e = GetLastError();
      if (e != ERROR_BROKEN_PIPE && e != ERROR_NO_DATA) failure = ErrorText("ReadFile", e);
      break;  // the command has ended and everything it wrote is read
    }
    if (available == 0) {
      if (static_cast<DWORD>(GetTickCount() - started_at) >= timeoutMs) break;
      // Nothing yet: wait a little for the command to write or end.
      if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0) {
        // It ended; what it wrote last may still be in the pipe, so look once more.
        if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) || available == 0) break;
      } else {
        continue;
      }
    }
    DWORD want = static_cast<DWORD>(std::min<size_t>({sizeof chunk, maxBytes - output.size(), available}));
    DWORD got = 0;
    if (!ReadFile(readEnd.get(), chunk, want, &got, nullptr)) {
      DWORD e = GetLastError();
      if (e != ERROR_BROKEN_PIPE) failure = ErrorText("ReadFile", e);
      break;
    }
    output.append(chunk, got);
  }
  return failure.empty() || !output.empty() ? output : failure;
}

std::string GetNetstatOutput() { return RunCommandOutput("Netstat -o", 10240); }
