// Runs a console command and reads what it writes to its standard output.
#pragma once
#include <windows.h>

#include <string>

// The standard output of the command line, at most maxBytes of it. On failure a text
// that begins "Error: CreatePipe failed. ", "Error: CreateProcess failed. " or
// "Error: ReadFile failed. " followed by the system's error number. A command that
// neither ends nor writes within timeoutMs gives what it wrote so far.
std::string RunCommandOutput(const std::string& commandLine, size_t maxBytes, DWORD timeoutMs = 15000);

// "Netstat -o", at most 10240 characters.
std::string GetNetstatOutput();
