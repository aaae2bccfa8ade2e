// The whole program's state back to its start values: every module's globals and
// every seam. A test calls it before each case instead of keeping its own list.
#pragma once

void ResetProgramState();
