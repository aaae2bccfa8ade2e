// Reading and writing the real registry of the test prefix, for tests that check
// what the program stored or seed what it reads.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

constexpr char kMissing[] = "<missing>";

// The text of a value; kMissing when it is not there.
std::string RegText(HKEY root, const std::string& path, const std::string& name);
void SetRegText(HKEY root, const std::string& path, const std::string& name, const std::string& value);
void DeleteRegValueAt(HKEY root, const std::string& path, const std::string& name);
// Removes a key and everything under it.
void DeleteTree(HKEY root, const std::string& path);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);

// A value of the program's own settings store ("Quillon Pro"); kMissing when absent.
std::string Option(const std::string& section, const std::string& key);
void SetOption(const std::string& section, const std::string& key, const std::string& value);

}  // namespace testsupport
