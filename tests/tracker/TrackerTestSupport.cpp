#include "TrackerTestSupport.h"

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

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) text = p;
    GlobalUnlock(mem);
  }
  CloseClipboard();
  return text;
}

}  // namespace trackertest
