#include "ModProgInfoParse.h"

#include <cctype>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool ParseId(const std::string& text, uint32_t& id) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 0xFFFFFFFFull) return false;
  id = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

void SplitHostPort(const std::string& address, std::string& host, std::string& port) {
  size_t colon = address.rfind(':');
  if (colon == std::string::npos) {
    host = address;
    port.clear();
  } else {
    host = address.substr(0, colon);
    port = address.substr(colon + 1);
  }
}

ConnectionRecord ParseNetstatPorts(const std::string& output, uint32_t processId) {
  ConnectionRecord found;
  // netstat ends every line. Text after the last line end is a line cut by the
  // reader's limit, and a process id cut there ("15040" read as 1504) would give the
  // connection to another process.
  const size_t end = output.rfind('\n');
  if (end == std::string::npos) return found;
  std::vector<std::string> lines = Lines(output.substr(0, end));
  // Columns: protocol, local address, foreign address, state, process id.
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> w = Words(lines[i]);
    uint32_t id = 0;
    if (w.size() < 5 || !ParseId(w[4], id) || id != processId) continue;
    ConnectionRecord r;
    SplitHostPort(w[1], r.LocalHost, r.LocalPort);
    SplitHostPort(w[2], r.RemoteHost, r.RemotePort);
    r.State = w[3];
    r.ProcessId = id;
    found = r;
  }
  return found;
}

std::vector<SystemFileLine> ParseSystemFiles(const std::string& text, bool windows9x) {
  std::vector<SystemFileLine> entries;
  for (std::string line : Lines(text)) {
    // A file name never ends in blanks; what trails is an editor's leftover, which
    // may mix tabs and carriage returns.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.pop_back();
    size_t blank = line.find(' ');
    if (line.empty() || blank == std::string::npos) continue;
    std::string flag = line.substr(0, blank);
    SystemFileLine entry;
    entry.name = line.substr(blank + 1);
    if (entry.name.empty()) continue;
    if (flag == "s" || (flag == "s9" && windows9x)) {
      entry.folder = SystemFileLine::System;
    } else if (flag == "w" || (flag == "w9" && windows9x)) {
      entry.folder = SystemFileLine::Windows;
    } else {
      continue;
    }
    entries.push_back(entry);
  }
  return entries;
}
