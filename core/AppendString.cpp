#include "AppendString.h"

#include <windows.h>
#include <richedit.h>

#include "Controls.h"

void AppendString::AddToString(const std::string& text) {
  const size_t used = static_cast<size_t>(UsedBytes) / 2;
  const size_t needed = used + text.size();
  if (needed > strBigString.size()) {
    size_t steps = (needed - strBigString.size() + kGrowth - 1) / kGrowth;
    strBigString.resize(strBigString.size() + steps * kGrowth, ' ');
  }
  strBigString.replace(used, text.size(), text);
  UsedBytes += static_cast<int32_t>(text.size() * 2);
}

std::string AppendString::ReturnString() {
  strBigString.resize(static_cast<size_t>(UsedBytes) / 2);
  return strBigString;
}

int32_t AppendString::size() const { return static_cast<int32_t>(strBigString.size() * 2) + 10; }

void AppendString::ReturnToString(ui::Control& box) {
  // A rich text box cuts text put into it at its limit (32767 characters until
  // raised), so the limit grows to the buffer before the text goes in.
  if (HWND h = box.hwnd()) {
    LPARAM wanted = static_cast<LPARAM>(strBigString.size()) + 10;
    if (SendMessageA(h, EM_GETLIMITTEXT, 0, 0) < wanted) SendMessageA(h, EM_EXLIMITTEXT, 0, wanted);
  }
  box.SetText(strBigString);
}
