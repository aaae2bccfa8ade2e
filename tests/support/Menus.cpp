#include "Menus.h"

#include "Input.h"
#include "UiWait.h"

namespace testsupport {

HWND VisibleMenuWindow() {
  for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
       menu = FindWindowExA(nullptr, menu, "#32768", nullptr))
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

std::vector<std::string> MenuCaptions(HMENU menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    captions.push_back((info.fType & MFT_SEPARATOR) ? "-" : text);
  }
  return captions;
}

MenuWatcher::MenuWatcher(std::vector<WORD> keys, std::function<void()> whileShown, DWORD waitMs)
    : keys_(std::move(keys)), whileShown_(std::move(whileShown)), waitMs_(waitMs) {
  thread_ = CreateThread(nullptr, 0, &MenuWatcher::Run, this, 0, nullptr);
}

MenuWatcher::~MenuWatcher() { Wait(); }

const ShownMenu& MenuWatcher::Wait() {
  if (thread_) {
    PumpUntil([this] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }, waitMs_ + 5000);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return menu_;
}

DWORD WINAPI MenuWatcher::Run(LPVOID param) {
  auto* self = static_cast<MenuWatcher*>(param);
  HWND popup = nullptr;
  for (DWORD waited = 0; waited < self->waitMs_ && !popup; waited += 50)
    if (!(popup = VisibleMenuWindow())) Sleep(50);
  if (!popup) return 0;
  // Wine fills the menu window's items just after showing it.
  HMENU menu = nullptr;
  for (int i = 0; i < 100; ++i, Sleep(10)) {
    menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    GetWindowRect(popup, &self->menu_.rect);
    if (menu && GetMenuItemCount(menu) > 0 && self->menu_.rect.right > self->menu_.rect.left) break;
  }
  self->menu_.items = MenuCaptions(menu);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) self->menu_.states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
  // A menu closed meanwhile was not seen: its window and items are gone.
  self->menu_.seen = IsMenu(menu) && IsWindowVisible(popup);
  if (!self->menu_.seen) return 0;
  if (self->whileShown_) self->whileShown_();
  for (WORD key : self->keys_) {
    PressKey(key);
    Sleep(50);  // keys a hand apart: the menu's loop may open a submenu between them
  }
  return 0;
}

}  // namespace testsupport
