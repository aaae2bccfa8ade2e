// Readers of outside text for the process module: the netstat listing and the list of
// known system files. Plain C++ with no system headers, so they can be built and
// exercised anywhere.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One network connection of a process, as netstat lists it.
struct ConnectionRecord {
  std::string LocalHost, LocalPort;
  std::string RemoteHost, RemotePort;
  std::string State;
  uint32_t ProcessId = 0;
};

// Splits "host:port" at its last colon, so an IPv6 address such as "[::1]:135" keeps
// its colons in the host. A text without a colon is all host.
void SplitHostPort(const std::string& address, std::string& host, std::string& port);

// The connection of the last line of "netstat -o" output that belongs to the process;
// an empty record when none does. The first line, the header and lines without a
// process id (such as UDP endpoints, which have no state) never match, nor does a
// last line without its line end (output cut at the reader's limit).
ConnectionRecord ParseNetstatPorts(const std::string& output, uint32_t processId);

// One accepted line of the system-file list: the folder it names and the file's name.
struct SystemFileLine {
  enum Folder { System, Windows } folder = System;
  std::string name;
};

// Reads the system-file list: one "flag name" per line, split at the first blank (the
// name may hold blanks). "s" is the system folder and "w" the Windows folder; "s9" and
// "w9" the same folders on the Windows 9x family only. Other flags and empty lines are
// skipped. Entries keep the file's order.
std::vector<SystemFileLine> ParseSystemFiles(const std::string& text, bool windows9x);
