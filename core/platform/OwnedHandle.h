// Kernel handles and registry keys that close themselves, so that no early return or
// exception leaks one.
#pragma once
#include <windows.h>

#include "Owned.h"

namespace owned {

// Both null and INVALID_HANDLE_VALUE (what CreateFile answers on failure) are "none".
struct KernelClose {
  static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

struct KeyClose {
  static bool Valid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};

}  // namespace owned

// A process, thread, event, mutex, file, pipe or token handle.
using OwnedHandle = owned::Owned<HANDLE, owned::KernelClose>;
// An open registry key (never one of the predefined roots).
using OwnedKey = owned::Owned<HKEY, owned::KeyClose>;
