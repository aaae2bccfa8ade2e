// prog.ini in the program folder: the owner window classes whose dialog boxes the
// window list shows in its recommended mode, and the Run dialog's history.
#pragma once
#include <string>
#include <vector>

#include "modIniParse.h"

extern std::string ProgIniPath;
// Entry 0 is empty; entries 1 to N hold "Class1" ... "Class" & N.
extern std::vector<std::string> DialogOwnerClasses;

// Mode "WRITE" stores Value and gives ""; "GET" gives the stored text ("" when the
// entry is missing). Empty arguments give "ERROR MODE", "ERROR Secname" or "ERROR Keyname".
// An empty File means ProgIniPath.
std::string ReadWriteIni(const std::string& mode, const std::string& section, const std::string& key,
                         const std::string& value = "", const std::string& file = "");
void WriteDefaultClasses();
void LoadWndClasses();
