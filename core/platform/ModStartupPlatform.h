// What start-up learns of the platform and the program's own process, read by every
// layer above.
#pragma once
#include <windows.h>

#include <string>

extern bool IsCompiled;   // the normal run; false in a development build
extern bool IsWinNTFlag;  // NT family
extern bool IsNT4;
extern std::string AppExePath;
extern const long PriorityClasses[4];  // idle, normal, high, realtime
extern DWORD MyProcessId;

void SetCompiledFlag();
// The connection probes simulate a connection and its traffic (development runs).
extern bool TestMode;
// True on the NT family; sets IsNT4.
bool IsWinNT();
// The executable's file name without folder and extension.
std::string AppExeName();
// The App Paths key of an executable file name under the machine key, and the path
// registered there ("" when there is none).
std::string AppPathsKey(const std::string& exeFileName);
std::string GetAppPathsEntry(const std::string& exeFileName);
