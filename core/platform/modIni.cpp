#include "modIni.h"

#include <windows.h>

#include "VbRules.h"

std::string ProgIniPath;
std::vector<std::string> DialogOwnerClasses;

std::string ReadWriteIni(const std::string& mode, const std::string& section, const std::string& key,
                         const std::string& value, const std::string& file) {
  if (mode.empty()) return "ERROR MODE";
  if (section.empty()) return "ERROR Secname";
  if (key.empty()) return "ERROR Keyname";
  const std::string& path = file.empty() ? ProgIniPath : file;
  const std::string upper = vb::UCase(mode);
  if (upper == "WRITE") {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    return "";
  }
  if (upper == "GET") {
    char buf[255] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "Failed", buf, 254, path.c_str());
    return IniReadResult(buf, sizeof buf);
  }
  return "";
}

void WriteDefaultClasses() {
  ReadWriteIni("WRITE", "Classes", "Number", "2");
  ReadWriteIni("WRITE", "Classes", "Class1", "RUNDLL");
  ReadWriteIni("WRITE", "Classes", "Class2", "STUBWINDOW32");
}

void LoadWndClasses() {
  auto classes = ReadDialogOwnerClasses([](const std::string& key) { return ReadWriteIni("GET", "Classes", key); });
  if (classes) DialogOwnerClasses = std::move(*classes);
}
