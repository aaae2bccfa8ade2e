#include "TabPages.h"
#include "Gdi.h"

#include <commctrl.h>
#include <windowsx.h>

#include "Failure.h"
#include "StallMeter.h"
#include "Window.h"

namespace ui {

// A page raises its tab control's mouse events, as the area of a tab belongs to the
// tab control.
class TabPage : public Container {
  friend class TabPages;

 public:
  TabPage(Window& owner, TabPages& tabs, bool visible)
      : Container(owner, {}, "", visible ? WS_VISIBLE : 0), tabs_(tabs) {
    SetContainer(tabs);
  }

 protected:
  void RaiseMouse(Mouse kind, int button, int shift, int x, int y) override {
    POINT at = {x, y};
    if (hwnd_ && tabs_.hwnd()) MapWindowPoints(hwnd_, tabs_.hwnd(), &at, 1);
    tabs_.RaiseMouse(kind, button, shift, at.x, at.y);
  }

 private:
  TabPages& tabs_;
};

namespace {
const int kStripId = 1;
}

TabPages::TabPages(Window& owner, Bounds bounds, std::vector<std::string> captions)
    : Container(owner, bounds) {
  for (auto& caption : captions) tabs_.push_back({std::move(caption), true});
  for (int i = 0; i < Tabs(); ++i) pages_.push_back(std::make_unique<TabPage>(owner, *this, i == tab_));
}

TabPages::~TabPages() {
  Unhook();
  if (strip_ && stripProc_) {
    SetWindowLongPtrA(strip_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stripProc_));
    SetWindowLongPtrA(strip_, GWLP_USERDATA, 0);
  }
}

void TabPages::Create() {
  if (hwnd_) return;
  Container::Create();
  if (!hwnd_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  // Owner-drawn only to grey the captions of disabled tabs; the strip keeps its frame.
  strip_ = CreateWindowExA(0, WC_TABCONTROLA, "",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED,
                           0, 0, client.right, client.bottom, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStripId)),
                           GetModuleHandleA(nullptr), nullptr);
  if (!strip_) return;
  HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(strip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int i = 0; i < Tabs(); ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tabs_[i].caption.c_str());
    SendMessageA(strip_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(strip_, TCM_SETCURSEL, tab_, 0);
  // The strip's own mouse messages are the tab control's mouse events too.
  SetWindowLongPtrA(strip_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  stripProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(strip_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StripProc)));
  for (auto& page : pages_) page->Create();
  // The pages lie over the strip's display area: they must be above it to get the mouse.
  SetWindowPos(strip_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Layout();
}

void TabPages::Destroyed() {
  strip_ = nullptr;
  stripProc_ = nullptr;
  Container::Destroyed();
}

void TabPages::SetTab(int index) {
  if (!ValidTab(index) || index == tab_ || !tabs_[index].enabled) return;
  if (strip_) SendMessageA(strip_, TCM_SETCURSEL, index, 0);
  Select(index);
}

std::string TabPages::TabCaption(int index) const {
  return ValidTab(index) ? tabs_[index].caption : std::string();
}

void TabPages::SetTabCaption(int index, const std::string& caption) {
  if (!ValidTab(index)) return;
  tabs_[index].caption = caption;
  if (!strip_) return;
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(strip_, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
  Layout();  // a longer caption can add a row of tabs
}

bool TabPages::TabEnabled(int index) const { return ValidTab(index) && tabs_[index].enabled; }

void TabPages::SetTabEnabled(int index, bool enabled) {
  if (!ValidTab(index)) return;
  tabs_[index].enabled = enabled;
  if (strip_) InvalidateRect(strip_, nullptr, TRUE);
}

Container& TabPages::Page(int index) { return *pages_.at(index); }

void TabPages::Select(int index) {
  const int previous = tab_;
  tab_ = index;
  ShowSelectedPage();
  if (Click) Click(previous);
}

void TabPages::ShowSelectedPage() {
  HWND focus = GetFocus();
  bool focusHidden = false;
  // The new page shows before the old one goes, so the strip never shows through.
  pages_[tab_]->SetVisible(true);
  for (int i = 0; i < Tabs(); ++i) {
    if (i == tab_) continue;
    HWND page = pages_[i]->hwnd();
    if (page && focus && (focus == page || IsChild(page, focus))) focusHidden = true;
    pages_[i]->SetVisible(false);
  }
  // Keyboard focus left on a hidden control would type into it unseen.
  if (focusHidden && strip_) ::SetFocus(strip_);
}

void TabPages::Layout() {
  if (!hwnd_ || !strip_) return;
  RECT area;
  GetClientRect(hwnd_, &area);
  MoveWindow(strip_, 0, 0, area.right, area.bottom, TRUE);
  SendMessageA(strip_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (auto& page : pages_)
    page->Move({area.left, area.top, area.right - area.left, area.bottom - area.top});
}

LRESULT TabPages::OnStripNotify(const NMHDR& header) {
  if (header.code != TCN_SELCHANGE) return 0;
  int selected = static_cast<int>(SendMessageA(strip_, TCM_GETCURSEL, 0, 0));
  if (!ValidTab(selected) || selected == tab_) return 0;
  // The strip has no disabled tabs of its own: a click on one is taken back.
  if (!tabs_[selected].enabled) {
    SendMessageA(strip_, TCM_SETCURSEL, tab_, 0);
    return 0;
  }
  Select(selected);
  return 0;
}

void TabPages::DrawTab(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.itemID);
  if (!ValidTab(index)) return;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  const SelectIn font(item.hDC, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(item.hDC, TRANSPARENT);
  const bool enabled = tabs_[index].enabled && IsWindowEnabled(hwnd_);
  SetTextColor(item.hDC, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(item.hDC, tabs_[index].caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT TabPages::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->hwndFrom == strip_ && strip_) return OnStripNotify(*header);
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item->hwndItem == strip_ && strip_) {
        DrawTab(*item);
        return TRUE;
      }
      break;
    }
    case WM_MEASUREITEM:
      // Only the strip is owner-drawn here; it keeps the height it measured itself.
      if (reinterpret_cast<const MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_TAB) return TRUE;
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFONT:
      if (strip_) SendMessageA(strip_, WM_SETFONT, wp, lp);
      Layout();
      return 0;
    default:
      break;
  }
  return Container::WndProc(msg, wp, lp);
}

LRESULT CALLBACK TabPages::StripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TabPages*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || !self->stripProc_) return DefWindowProcA(hwnd, msg, wp, lp);
  WNDPROC original = self->stripProc_;
  StallScope timed(hwnd, msg, wp);
  if (msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp), shift = ShiftState(wp);
    // The strip fills the tab control from its corner, so its points are the control's.
    Guarded([&] {
      switch (msg) {
        case WM_MOUSEMOVE: self->RaiseMouse(Mouse::Move, MouseButtons(wp), shift, x, y); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: self->RaiseMouse(Mouse::Down, MessageButton(msg), shift, x, y); break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: self->RaiseMouse(Mouse::Up, MessageButton(msg), shift, x, y); break;
        default: break;
      }
    });
  }
  return CallWindowProcA(original, hwnd, msg, wp, lp);
}

}  // namespace ui
