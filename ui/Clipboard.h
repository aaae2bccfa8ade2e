// Text put on the clipboard by the copy commands.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

// Replaces the clipboard's contents with the text; false when the clipboard is held
// by another program or no memory is left.
bool SetClipboardText(HWND owner, const std::string& text);

}  // namespace ui
