// Reading what the program under test wrote.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// The file's bytes as they stand, untranslated; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace testsupport
