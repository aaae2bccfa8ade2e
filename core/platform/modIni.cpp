#include "modIni.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

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
    std::string text(buf);
    return text.compare(0, 6, "Failed") == 0 ? "" : text;
  }
  return "";
}

void WriteDefaultClasses() {
  ReadWriteIni("WRITE", "Classes", "Number", "2");
  ReadWriteIni("WRITE", "Classes", "Class1", "RUNDLL");
  ReadWriteIni("WRITE", "Classes", "Class2", "STUBWINDOW32");
}

void LoadWndClasses() {
  const std::string number = ReadWriteIni("GET", "Classes", "Number");
  if (number.empty()) return;
  // A count that is not a small whole number is treated like a missing one: the
  // list would otherwise be sized from whatever the file says.
  auto n = vb::ParseInt32(number);
  if (!n || *n < 0 || *n > kMaxDialogOwnerClasses) return;
  DialogOwnerClasses.assign(static_cast<size_t>(*n) + 1, "");
  for (int i = 1; i <= *n; ++i)
    DialogOwnerClasses[i] = ReadWriteIni("GET", "Classes", "Class" + std::to_string(i));
}
