// What the graph and tracker-bar tests share: pixel reads of a picture box's image,
// histories with a clock the test moves, and the clipboard.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "HistogramCls.h"
#include "PictureBox.h"

namespace trackertest {

struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> data;
  COLORREF At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
  // Whether a pixel of the colour lies within `slack` pixels of (x, y).
  bool Near(int x, int y, COLORREF colour, int slack = 1) const;
  int Count(COLORREF colour) const;
};
// What the picture box shows now, read from its kept image.
Pixels Read(const ui::PictureBox& box);
Pixels ReadBitmap(HBITMAP bitmap);

// A history with a fixed 0..100 scale and a clock the test moves.
struct TestHistory {
  DWORD now = 1000000;
  std::unique_ptr<HistogramCls> h;
  explicit TestHistory(int32_t maxValue = 100);
  void Add(int32_t value, DWORD advanceMs = 1000);
  void Wait(DWORD ms) { now += ms; }
};

std::string ClipboardText();

}  // namespace trackertest
