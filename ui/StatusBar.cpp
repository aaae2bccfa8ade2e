#include "StatusBar.h"

#include <commctrl.h>

#include <algorithm>

#include "Window.h"

namespace ui {

StatusBar::StatusBar(Window& owner, std::vector<int> panelWidths)
    : Control(owner, STATUSCLASSNAMEA, WS_VISIBLE, {}, ""), widths_(std::move(panelWidths)) {
  if (widths_.empty()) widths_.push_back(0);
  texts_.resize(widths_.size());
}

void StatusBar::Create() {
  if (hwnd_ || !owner_.hwnd()) return;
  // A size grip only where the form can be sized.
  if (GetWindowLongA(owner_.hwnd(), GWL_STYLE) & WS_THICKFRAME) style_ |= SBARS_SIZEGRIP;
  Control::Create();
  if (!hwnd_) return;
  ApplyPanels();
  for (int i = 0; i < Panels(); ++i)
    SendMessageA(hwnd_, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts_[i].c_str()));
  KeepBounds();
}

void StatusBar::SetPanelText(int index, const std::string& text) {
  if (!ValidPanel(index)) return;
  texts_[index] = text;
  if (hwnd_) SendMessageA(hwnd_, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusBar::PanelText(int index) const {
  if (!ValidPanel(index)) return std::string();
  if (!hwnd_) return texts_[index];
  int length = LOWORD(SendMessageA(hwnd_, SB_GETTEXTLENGTHA, index, 0));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  length = LOWORD(SendMessageA(hwnd_, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<size_t>(length));
  return text;
}

void StatusBar::Resize() {
  if (!hwnd_) return;
  // The bar places itself at the bottom of its parent when told of a new size.
  SendMessageA(hwnd_, WM_SIZE, 0, 0);
  ApplyPanels();
  KeepBounds();
}

int StatusBar::Height() const {
  if (!hwnd_) return bounds_.height;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void StatusBar::ApplyPanels() {
  RECT client;
  GetClientRect(hwnd_, &client);
  int fixed = 0, springs = 0;
  for (int width : widths_) {
    if (width > 0)
      fixed += width;
    else
      ++springs;
  }
  const int spring = springs ? std::max(0, static_cast<int>(client.right) - fixed) / springs : 0;
  std::vector<int> edges;
  int right = 0;
  for (int width : widths_) {
    right += width > 0 ? width : spring;
    edges.push_back(right);
  }
  edges.back() = -1;  // the last panel reaches the bar's end whatever is left over
  SendMessageA(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::KeepBounds() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  bounds_ = {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace ui
