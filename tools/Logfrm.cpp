#include "Logfrm.h"
#include "ViewBindings.h"

LogfrmForm Logfrm;

LogfrmForm::LogfrmForm()
    : Window({.caption = "Quillon Logs", .style = WS_OVERLAPPEDWINDOW, .width = 600,
                  .height = 420, .centred = true}),
      txtLog(*this, {0, 0, 600, 420}, "", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | ES_NOHIDESEL) {
  Views.report = {.form = this,
                  .txtLog = &txtLog,
                  .SelStart = [] { return Logfrm.SelStart(); },
                  .Select = [](int32_t start, int32_t length) { Logfrm.Select(start, length); }};
}

void LogfrmForm::Form_Load() {
  // A report can be longer than an edit box takes by default.
  SendMessageA(txtLog.hwnd(), EM_SETLIMITTEXT, 0, 0);
}

void LogfrmForm::Form_Resize() { txtLog.Move({0, 0, ScaleWidth(), ScaleHeight()}); }

int32_t LogfrmForm::SelStart() const {
  DWORD start = 0, end = 0;
  if (txtLog.hwnd())
    SendMessageA(txtLog.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int32_t>(start);
}

void LogfrmForm::Select(int32_t start, int32_t length) {
  if (!txtLog.hwnd()) return;
  SendMessageA(txtLog.hwnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
  SendMessageA(txtLog.hwnd(), EM_SCROLLCARET, 0, 0);
}
