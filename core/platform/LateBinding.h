// A system call bound at its first use instead of at load time. Some libraries pull
// a large stack in with them (the common dialogs bring the print spooler and its
// network libraries, trust checks the crypto stack): a program that rests in the tray
// should not carry them until it needs them.
#pragma once
#include <windows.h>

// The named function of a system library, loaded on first use; null when either is
// missing. The library stays loaded for the rest of the run.
template <typename Fn>
Fn LateBound(const char* library, const char* function) {
  HMODULE module = GetModuleHandleA(library);
  if (!module) module = LoadLibraryA(library);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, function))) : nullptr;
}
