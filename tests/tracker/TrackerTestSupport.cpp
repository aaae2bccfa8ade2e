#include "TrackerTestSupport.h"

#include "UiWait.h"

namespace trackertest {

bool Pixels::Near(int x, int y, COLORREF colour, int slack) const {
  for (int dy = -slack; dy <= slack; ++dy)
    for (int dx = -slack; dx <= slack; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px >= 0 && py >= 0 && px < width && py < height && At(px, py) == colour) return true;
    }
  return false;
}

int Pixels::Count(COLORREF colour) const {
  int n = 0;
  for (COLORREF c : data) n += c == colour;
  return n;
}

Pixels ReadBitmap(HBITMAP bitmap) {
  Pixels p;
  BITMAP info;
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return p;
  p.width = info.bmWidth;
  p.height = info.bmHeight;
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB};
  std::vector<DWORD> raw(static_cast<size_t>(p.width) * p.height);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, p.height, raw.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (DWORD v : raw) p.data.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
  return p;
}

Pixels Read(const ui::PictureBox& box) {
  HBITMAP snap = box.Snapshot();
  Pixels p = ReadBitmap(snap);
  if (snap) DeleteObject(snap);
  return p;
}

TestHistory::TestHistory(int32_t maxValue) : h(std::make_unique<HistogramCls>([this] { return now; })) {
  h->StartCounting(maxValue);
}

void TestHistory::Add(int32_t value, DWORD advanceMs) {
  now += advanceMs;
  h->AddPoint(value);
}

}  // namespace trackertest

#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ModAppBar.h"
#include "ModSettings.h"
#include "Seams.h"

namespace trackertest {

void BarTest::SetUp() {
  AppBarMessageFn = [this](DWORD msg, APPBARDATA& data) -> UINT_PTR {
    calls.push_back({msg, data.uEdge, data.rc, data.lParam});
    // The one answer the shell here cannot give: another bar holds the edge's auto-hide.
    if (refuseAutoHide && msg == ABM_SETAUTOHIDEBAR && data.lParam) return 0;
    return SHAppBarMessage(msg, &data);
  };
  seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT) {
    messages.push_back(text);
    return IDOK;
  };
  InfoBarFrm.ShowFirstTime = [this](int id, HWND) {
    firstTime.push_back(id);
    return false;
  };
  AutoHide = false;
  BarAlwaysOnTop = false;
  LowRes[0] = 80;
  LowRes[1] = 95;
  for (int s = 1; s <= 10; ++s) {
    TrackerItems[s] = s;
    TrackerItemsShow[s] = false;
  }
}

void BarTest::TearDown() {
  if (InfoBarFrm.Loaded()) InfoBarFrm.Unload();
  EXPECT_EQ(AppBarCount, 0);
  ResetAppBarState();
  AppBarMessageFn = [](DWORD msg, APPBARDATA& data) { return SHAppBarMessage(msg, &data); };
  seams::Reset();
  InfoBarFrm.ShowFirstTime = [](int, HWND) { return false; };
}

void BarTest::LoadBar(int edge, std::vector<int> kinds) {
  Position = edge;
  for (size_t i = 0; i < kinds.size(); ++i) {
    TrackerItems[i + 1] = kinds[i];
    TrackerItemsShow[i + 1] = true;
  }
  ASSERT_TRUE(InfoBarFrm.Load());
  // The item row follows the bar's show as a message of its own.
  ASSERT_TRUE(testsupport::PumpUntil([] { return !InfoBarFrm.ItemsPending(); }));
}

int BarTest::Count(DWORD msg) const { return static_cast<int>(Calls(msg).size()); }

std::vector<ShellCall> BarTest::Calls(DWORD msg) const {
  std::vector<ShellCall> out;
  for (const ShellCall& c : calls)
    if (c.msg == msg) out.push_back(c);
  return out;
}

RECT BarTest::BarRect() const {
  RECT r = {};
  GetWindowRect(InfoBarFrm.hwnd(), &r);
  return r;
}

void BarTest::ChooseFromMenu(const std::vector<WPARAM>& keys) {
  // Queued before the menu opens, they are read by the menu's own loop.
  for (WPARAM key : keys) {
    if (key == VK_ESCAPE)
      PostMessageA(InfoBarFrm.hwnd(), WM_KEYDOWN, key, 0);
    else
      PostMessageA(InfoBarFrm.hwnd(), WM_CHAR, key, 0);  // a letter picks its item
  }
  HWND main = InfoBarFrm.MainPic.hwnd();
  SendMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  if (IsWindow(main)) SendMessageA(main, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
}

RECT BarTest::Band(int edge) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  switch (edge) {
    case 0: return {0, 0, 47, cy};
    case 1: return {0, 0, cx, 32};
    case 2: return {cx - 47, 0, cx, cy};
    default: return {0, cy - 32, cx, cy};
  }
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

}  // namespace trackertest
