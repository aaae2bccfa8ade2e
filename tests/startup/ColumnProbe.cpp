// Prints the programs-list column titles start-up builds for the Windows version
// this process is told it runs on: "NT" or "9x", the count, then one title a line.
#include <cstdio>

#include "ModStartup.h"

int main() {
  IsWinNTFlag = IsWinNT();
  BuildColumnTables();
  std::printf("%s %s\n%u\n", IsWinNTFlag ? "NT" : "9x", IsNT4 ? "NT4" : "-",
              static_cast<unsigned>(AppColTitles.size()));
  for (size_t i = 0; i < AppColTitles.size(); ++i) std::printf("%s|%g\n", AppColTitles[i].c_str(), AppColWidths[i]);
  std::printf("%u\n", static_cast<unsigned>(WndColTitles.size()));
  return 0;
}
