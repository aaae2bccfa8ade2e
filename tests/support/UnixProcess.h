// The Linux side of a Wine process, read through Wine's Z: drive: how a test finds the
// Linux process that runs a Windows program, to stop it or to read its time and memory.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

// The start of a small file (a /proc entry), or "" when it cannot be read.
std::string ReadUnixFile(const std::string& path);

// The Linux process that runs the Windows program at `windowsPath`, or 0: Wine names
// its processes by their Windows path (the first word of the command line).
int UnixPidOf(const std::string& windowsPath);
// Every Linux process that runs it (copies of one program, some perhaps stuck in their start).
std::vector<int> UnixPidsOf(const std::string& windowsPath);

// Sends a signal ("STOP", "CONT", "KILL") to a Linux process through /bin/kill and waits
// for kill to end; false when kill could not be started.
bool SignalUnix(int unixPid, const char* signal);

}  // namespace testsupport
