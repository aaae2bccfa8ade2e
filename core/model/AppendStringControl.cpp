// The string builder's one step that needs a window: showing the text in a box.
#include <windows.h>
#include <richedit.h>

#include "AppendString.h"
#include "Controls.h"

void AppendString::ReturnToString(ui::Control& box) {
  // A rich text box cuts text put into it at its limit (32767 characters until
  // raised), so the limit grows to the buffer before the text goes in.
  if (HWND h = box.hwnd()) {
    LPARAM wanted = static_cast<LPARAM>(strBigString.size()) + 10;
    if (SendMessageA(h, EM_GETLIMITTEXT, 0, 0) < wanted) SendMessageA(h, EM_EXLIMITTEXT, 0, wanted);
  }
  box.SetText(strBigString);
}
