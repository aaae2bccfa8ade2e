// Cost of the tracker bar, run by hand: one refresh with all ten items, one idle tick,
// and the live GDI objects after 1 and after 1,000 refreshes.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "../support/BenchClock.h"
#include "GdiObjects.h"
#include "HistogramCls.h"
#include "InfoBarFrm.h"
#include "ModAppBar.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModMainLoop.h"
#include "SysInfoLink.h"
#include "Window.h"


// Writes what the screen shows of the bar, for a look by eye.
void SaveBarImage(const char* path) {
  RECT r;
  GetWindowRect(InfoBarFrm.hwnd(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP image = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, image);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER bi = {sizeof bi, w, h, 1, 24, BI_RGB};
  const int stride = (w * 3 + 3) & ~3;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * h);
  GetDIBits(memory, image, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi + bits.size()), 0, 0, sizeof fh + sizeof bi};
  if (FILE* f = std::fopen(path, "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi, sizeof bi, 1, f);
    std::fwrite(bits.data(), bits.size(), 1, f);
    std::fclose(f);
  }
  DeleteObject(image);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

int main(int argc, char** argv) {
  CpuHistory = std::make_unique<HistogramCls>();
  CpuHistory->StartCounting(100);
  for (auto& h : MemHistory) {
    h = std::make_unique<HistogramCls>();
    h->StartCounting(100);
  }
  for (auto& h : NetSpeedHist) {
    h = std::make_unique<HistogramCls>();
    h->StartCounting(1);
  }
  PerfInfoData = {37, 10, 500000, 1000000, 700000, 2000000, 100000, 400000, 0};
  for (int s = 1; s <= 10; ++s) {
    TrackerItems[s] = s;
    TrackerItemsShow[s] = true;
  }
  Position = 1;
  if (!InfoBarFrm.Load()) return 1;
  ui::DoEvents();  // the item row, posted by the load
  InfoBarFrm.RefreshMe();
  const int afterOne = testsupport::LiveGdiObjects();
  const double refreshMs = testsupport::MsOf([] {
    for (int i = 0; i < 999; ++i) InfoBarFrm.RefreshMe();
  });
  const int afterThousand = testsupport::LiveGdiObjects();
  for (int i = 0; i < 1000; ++i) InfoBarFrm.RefreshMe();
  const int afterTwoThousand = testsupport::LiveGdiObjects();
  std::printf("RefreshMe, ten items: %.3f ms\n", refreshMs / 999);
  SetCursorPos(500, 500);
  const double tickMs = testsupport::MsOf([] {
    for (int i = 0; i < 10000; ++i) InfoBarFrm.Timer1_Timer();
  });
  std::printf("idle tick: %.4f ms\n", tickMs / 10000);
  std::printf("live GDI objects after 1 refresh: %d, after 1000: %d, after 2000: %d\n", afterOne, afterThousand,
              afterTwoThousand);
  if (argc > 1) {
    MSG msg;
    for (DWORD end = GetTickCount() + 500; GetTickCount() < end;)
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    SaveBarImage(argv[1]);
  }
  InfoBarFrm.Unload();
  return 0;
}
