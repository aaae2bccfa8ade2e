#include "ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

ProgressBar::ProgressBar(Window& owner, Bounds bounds) : Control(owner, PROGRESS_CLASSA, WS_VISIBLE, bounds, "") {}

void ProgressBar::Create() {
  Control::Create();
  if (!hwnd_) return;
  ApplyRange();
  SendMessageA(hwnd_, PBM_SETPOS, value_, 0);
}

int ProgressBar::Min() const {
  return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, PBM_GETRANGE, TRUE, 0)) : min_;
}

int ProgressBar::Max() const {
  return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, PBM_GETRANGE, FALSE, 0)) : max_;
}

int ProgressBar::Value() const {
  return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)) : value_;
}

void ProgressBar::SetMin(int min) {
  min_ = min;
  max_ = std::max(max_, min_);
  ApplyRange();
}

void ProgressBar::SetMax(int max) {
  max_ = max;
  min_ = std::min(min_, max_);
  ApplyRange();
}

void ProgressBar::SetValue(int value) {
  value_ = std::clamp(value, min_, max_);
  if (hwnd_) SendMessageA(hwnd_, PBM_SETPOS, value_, 0);
}

void ProgressBar::ApplyRange() {
  value_ = std::clamp(value_, min_, max_);
  if (!hwnd_) return;
  // The 32-bit range: the 16-bit one of PBM_SETRANGE cannot hold byte counts.
  SendMessageA(hwnd_, PBM_SETRANGE32, min_, max_);
  SendMessageA(hwnd_, PBM_SETPOS, value_, 0);
}

}  // namespace ui
