// What the graph and tracker-bar tests share: pixel reads of a picture box's image,
// histories with a clock the test moves, and the clipboard.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "HistogramCls.h"
#include "PictureBox.h"
#include "UiWait.h"

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

using testsupport::ClipboardText;

}  // namespace trackertest

#include <gtest/gtest.h>
#include <shellapi.h>

namespace trackertest {

// One SHAppBarMessage the program sent, as it sent it.
struct ShellCall {
  DWORD msg;
  UINT edge;
  RECT rc;
  LPARAM lParam;
};

// The tracker bar on a clean state: settings globals at their defaults, every
// SHAppBarMessage recorded on its way to the real shell, message boxes answered.
class BarTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the bar docked at an edge with the items of these settings slots.
  void LoadBar(int edge, std::vector<int> kinds = {});
  int Count(DWORD msg) const;
  std::vector<ShellCall> Calls(DWORD msg) const;
  RECT BarRect() const;
  // Posts keys for the menu's loop, then opens the bar's menu as a right click does.
  void ChooseFromMenu(const std::vector<WPARAM>& keys);
  static RECT Band(int edge);  // where the bar docks on this screen

  std::vector<ShellCall> calls;
  bool refuseAutoHide = false;
  std::vector<std::string> messages;
  std::vector<int> firstTime;
};

bool SameRect(const RECT& a, const RECT& b);
std::string Describe(const RECT& r);

}  // namespace trackertest
