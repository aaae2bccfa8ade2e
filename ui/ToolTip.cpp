#include "ToolTip.h"

#include <commctrl.h>

#include "Window.h"

namespace ui {

ToolTip::~ToolTip() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void ToolTip::Add(Control& control, const std::string& text) {
  tips_.emplace_back(&control, text);
  if (hwnd_ && IsWindow(hwnd_)) Register(control, text);
}

void ToolTip::Create() {
  // The tip window dies with its form: a form loaded again needs a new one.
  if (hwnd_ && IsWindow(hwnd_)) return;
  hwnd_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_.hwnd(), nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) return;
  for (auto& [control, text] : tips_) Register(*control, text);
}

void ToolTip::Register(Control& control, const std::string& text) {
  if (!control.hwnd()) return;
  TOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner_.hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  info.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string ToolTip::Text(const Control& control) const {
  if (hwnd_ && control.hwnd()) {
    char buffer[256] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = owner_.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
    info.lpszText = buffer;
    SendMessageA(hwnd_, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&info));
    return buffer;
  }
  for (const auto& [c, text] : tips_)
    if (c == &control) return text;
  return "";
}

}  // namespace ui
