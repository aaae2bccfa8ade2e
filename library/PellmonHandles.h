// Kernel handles and registry keys that close themselves. The library links nothing
// of the program's, so it states its own closers over the shared owner.
#pragma once
#include <windows.h>

#include "Owned.h"

namespace pellmon {

struct KernelClose {
  static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

// Never one of the predefined roots: HKEY_PERFORMANCE_DATA is closed by hand, as
// the end of a query.
struct KeyClose {
  static bool Valid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};

using OwnedHandle = owned::Owned<HANDLE, KernelClose>;
using OwnedKey = owned::Owned<HKEY, KeyClose>;

}  // namespace pellmon
