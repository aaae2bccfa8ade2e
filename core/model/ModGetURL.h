// Reading the address a browser window shows in its address bar.
#pragma once
#include <windows.h>

#include <string>

// The address last read from a browser's address bar; a read that finds none leaves
// it as it was.
extern std::string FoundURL;

// The child-window callback of the address read: an "Edit" child whose text holds
// ":" is an address. With lParam 0 it becomes FoundURL; otherwise it goes to the
// std::string that lParam points to. The last such child in enumeration order wins.
BOOL CALLBACK EnumURLChildProc(HWND child, LPARAM target);

// The address a window shows, read into a text of the caller's; "" when none.
std::string ReadWindowAddress(HWND window);
