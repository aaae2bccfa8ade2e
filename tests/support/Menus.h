// Pop-up menus as the user sees them: read from their windows, answered with keys.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The visible pop-up menu window, if one is shown.
HWND VisibleMenuWindow();

// Captions of a real menu, by position (with shortcut texts, "-" for separators).
std::vector<std::string> MenuCaptions(HMENU menu);

// A pop-up menu as it was shown: its items and where it was.
struct ShownMenu {
  bool seen = false;
  std::vector<std::string> items;  // captions, "-" for separators
  std::vector<UINT> states;
  RECT rect = {};
};

// Watches for the next pop-up menu from a helper thread, for up to `waitMs`, reads
// it, then presses the keys (real input; Esc closes it). Wait pumps this thread's
// messages meanwhile, so a menu that this thread opens from a message can appear.
// A menu that never came leaves Wait().seen false.
class MenuWatcher {
 public:
  explicit MenuWatcher(std::vector<WORD> keys = {VK_ESCAPE}, std::function<void()> whileShown = nullptr,
                       DWORD waitMs = 5000);
  ~MenuWatcher();
  const ShownMenu& Wait();

 private:
  static DWORD WINAPI Run(LPVOID self);
  std::vector<WORD> keys_;
  std::function<void()> whileShown_;  // runs on the helper thread while the menu is up
  ShownMenu menu_;
  DWORD waitMs_;  // for the menu to appear
  HANDLE thread_ = nullptr;
};

}  // namespace testsupport
