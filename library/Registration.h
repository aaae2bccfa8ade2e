// Writes and removes the library's registry entries and its type library.
#pragma once
#include <windows.h>

namespace pellmon {

HRESULT RegisterServer(HMODULE module);
HRESULT UnregisterServer();

}  // namespace pellmon
