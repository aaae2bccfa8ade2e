#include "Clipboard.h"

#include <cstring>

namespace ui {

bool SetClipboardText(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool put = false;
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* p = GlobalLock(memory)) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      put = SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    if (!put) GlobalFree(memory);
  }
  CloseClipboard();
  return put;
}

}  // namespace ui
