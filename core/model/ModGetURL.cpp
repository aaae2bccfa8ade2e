#include "ModGetURL.h"

#include <vector>

std::string FoundURL;

namespace {
// A browser that stops answering must not stop the program: each read waits this long.
// Under Wine the time-out of WM_GETTEXTLENGTH and WM_GETTEXT to a hung window of
// another process is not kept (nor with SMTO_ABORTIFHUNG), while that of WM_NULL is:
// the window is asked with WM_NULL first.
const UINT kShortWaitMs = 50;

bool Ask(HWND window, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR& answer) {
  answer = 0;
  return SendMessageTimeoutA(window, msg, wp, lp, SMTO_NORMAL, kShortWaitMs, &answer) != 0;
}
}  // namespace

BOOL CALLBACK EnumURLChildProc(HWND child, LPARAM target) {
  char cls[16] = {};
  if (!GetClassNameA(child, cls, sizeof cls) || lstrcmpiA(cls, "Edit") != 0) return TRUE;
  DWORD_PTR length = 0;
  if (!Ask(child, WM_NULL, 0, 0, length)) return TRUE;
  if (!Ask(child, WM_GETTEXTLENGTH, 0, 0, length)) return TRUE;
  std::vector<char> buffer(length + 10, '\0');
  DWORD_PTR got = 0;
  if (!Ask(child, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), got)) return TRUE;
  std::string text(buffer.data(), got < buffer.size() ? got : buffer.size() - 1);
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  if (text.find(':') == std::string::npos) return TRUE;
  (target ? *reinterpret_cast<std::string*>(target) : FoundURL) = text;
  return TRUE;
}

std::string ReadWindowAddress(HWND window) {
  std::string address;
  if (window) EnumChildWindows(window, EnumURLChildProc, reinterpret_cast<LPARAM>(&address));
  return address;
}
