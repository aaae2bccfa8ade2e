// Asks for the eject of drive A: under the Windows version Wine is told for this
// program, and writes what went to the device into the file named on its command line.
#include <windows.h>

#include <cstdio>

#include "ModCheckDrive.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  FILE* out = std::fopen(argv[1], "w");
  if (!out) return 3;
  mediaseams::EjectObserverFn = [out](const mediaseams::EjectCall& call) {
    std::fprintf(out, "device %s\ncode %lu\nopened %d\nanswered %d\nerror %lu\ninput", call.device.c_str(),
                 static_cast<unsigned long>(call.code), call.opened ? 1 : 0, call.answered ? 1 : 0,
                 static_cast<unsigned long>(call.error));
    for (unsigned char byte : call.input) std::fprintf(out, " %02x", byte);
    std::fprintf(out, "\n");
  };
  std::fprintf(out, "version %08lx\n", static_cast<unsigned long>(GetVersion()));
  EjectMedia("a:\\");
  std::fclose(out);
  return 0;
}
