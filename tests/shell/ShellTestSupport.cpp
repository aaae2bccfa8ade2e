#include "ShellTestSupport.h"

#include <cstdlib>
#include <utility>

#include "ConInfoFrm.h"
#include "InterfaceFrm.h"
#include "Input.h"
#include "ModMain.h"
#include "Seams.h"
#include "UiWait.h"

namespace shelltest {

void FrameTest::SetUp() {
  LoopTest::SetUp();
  seams::CursorPosFn = [](POINT* p) { return GetCursorPos(p); };
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  ShowInterfaceFrm();
  SetForegroundWindow(InterfaceFrm.hwnd());
  Settle();
}

void FrameTest::TearDown() {
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  // The page lives for the run; each test starts as a new run does.
  ConInfoFrm.Unload();
  LoopTest::TearDown();
}

void FrameTest::Settle(DWORD ms) { testsupport::PumpUntil([] { return false; }, ms); }

PostedAction::PostedAction(std::function<void()> action) : action_(std::move(action)) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &PostedAction::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QpTestPostedAction";
  RegisterClassA(&wc);
  hwnd_ = CreateWindowA("QpTestPostedAction", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

PostedAction::~PostedAction() { DestroyWindow(hwnd_); }

void PostedAction::Post() { PostMessageA(hwnd_, WM_APP + 1, 0, 0); }

LRESULT CALLBACK PostedAction::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<PostedAction*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_APP + 1 && self) {
    self->ran = true;
    self->action_();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void SaveShot(HWND hwnd, const std::string& name) {
  const char* folder = std::getenv("QP_SHOTS");
  if (!folder || !*folder) return;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r;
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((width * 3 + 3) & ~3), size = stride * height;
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size), 0, 0,
                           static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
  WriteFile(out, bits, size, &written, nullptr);
  CloseHandle(out);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
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

MenuWatcher::MenuWatcher(std::vector<WORD> keys, std::function<void()> whileShown)
    : keys_(std::move(keys)), whileShown_(std::move(whileShown)) {
  thread_ = CreateThread(nullptr, 0, &MenuWatcher::Run, this, 0, nullptr);
}

MenuWatcher::~MenuWatcher() { Wait(); }

const ShownMenu& MenuWatcher::Wait() {
  if (thread_) {
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() - start < 10000)
      testsupport::PumpUntil([] { return false; }, 10);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return menu_;
}

DWORD WINAPI MenuWatcher::Run(LPVOID param) {
  auto* self = static_cast<MenuWatcher*>(param);
  HWND popup = nullptr;
  for (int i = 0; i < 100 && !popup; ++i) {
    popup = FindWindowA("#32768", nullptr);
    if (popup && !IsWindowVisible(popup)) popup = nullptr;
    if (!popup) Sleep(50);
  }
  if (!popup) return 0;
  Sleep(100);
  GetWindowRect(popup, &self->menu_.rect);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  self->menu_.items = MenuCaptions(menu);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) self->menu_.states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
  // A menu closed meanwhile was not seen: its window and items are gone.
  self->menu_.seen = IsMenu(menu) && IsWindowVisible(popup);
  if (!self->menu_.seen) return 0;
  if (self->whileShown_) self->whileShown_();
  for (WORD key : self->keys_) {
    testsupport::PressKey(key);
    Sleep(50);
  }
  return 0;
}

}  // namespace shelltest
