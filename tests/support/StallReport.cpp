// Linked into every test program and benchmark: when the process ends, its longest
// stalls go to the output, where ctest keeps them and scripts/test gathers them.
#include <cstdio>
#include <cstdlib>

#include "StallMeter.h"

namespace {
void PrintAtExit() { ui::PrintStalls(stdout); }
const bool registered = (std::atexit(PrintAtExit), true);
}  // namespace
