// The Linux side of a Wine process, read through Wine's Z: drive: how a test finds the
// Linux process that runs a Windows program, to stop it or to read its time and memory.
#pragma once
#include <string>

namespace testsupport {

// The start of a small file (a /proc entry), or "" when it cannot be read.
std::string ReadUnixFile(const std::string& path);

// The Linux process that runs the Windows program at `windowsPath`, or 0: Wine names
// its processes by their Windows path (the first word of the command line).
int UnixPidOf(const std::string& windowsPath);

}  // namespace testsupport
