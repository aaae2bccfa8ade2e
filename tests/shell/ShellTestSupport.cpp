#include "ShellTestSupport.h"

#include <commctrl.h>

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

void FrameTest::Settle() { testsupport::PumpUntilIdle(); }

namespace {

BOOL CALLBACK AnyHotBar(HWND hwnd, LPARAM found) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLBARCLASSNAMEA) == 0 && SendMessageA(hwnd, TB_GETHOTITEM, 0, 0) >= 0) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK AnyHotBarIn(HWND top, LPARAM found) {
  if (AnyHotBar(top, found)) EnumChildWindows(top, AnyHotBar, found);
  return !*reinterpret_cast<bool*>(found);
}

bool AnyBarOfThisThreadHot() {
  bool hot = false;
  EnumThreadWindows(GetCurrentThreadId(), AnyHotBarIn, reinterpret_cast<LPARAM>(&hot));
  return hot;
}

}  // namespace

void FrameTest::PointerAway() {
  SetCursorPos(0, 0);
  testsupport::PumpUntil([] { return !AnyBarOfThisThreadHot(); }, 3000);
  Settle();
}

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

}  // namespace shelltest
