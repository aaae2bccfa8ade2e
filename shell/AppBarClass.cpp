#include "AppBarClass.h"

#include <algorithm>
#include <cstdlib>

#include "AppBarLeftover.h"
#include "ModAppBar.h"
#include "ModMainPlatform.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "Window.h"

namespace {
constexpr char kRefusal[] =
    "There is already an auto hidden window on this edge. \r\nOnly one auto hidden window is allowed on each edge";

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
}  // namespace

int TwipsToPixelsXRound(double twips) { return static_cast<int>(vb::RoundHalfEven(twips / vb::TwipsPerPixelX())); }
int TwipsToPixelsYRound(double twips) { return static_cast<int>(vb::RoundHalfEven(twips / vb::TwipsPerPixelY())); }

UINT_PTR AppBarClass::Message(DWORD msg) { return AppBarMessageFn(msg, data_); }

void AppBarClass::IniAppBar() {
  data_.cbSize = sizeof data_;
  data_.uCallbackMessage = kAppBarCallback;
  if (Message(ABM_NEW)) RememberAppBarWindow(data_.hWnd);
  NewEdge = static_cast<int32_t>(data_.uEdge);
  if (options_.AutoHide) {
    HideAppBar(true, options_.AlwaysOnTop);
    // Hidden from the start, the bar still needs the shape of its edge's band, or a
    // side bar would slide out as wide as the window was made.
    if (options_.AutoHide) MoveToFullBand();
  } else
    ModifyAppBar();
  HookForm();
}

void AppBarClass::HookForm() {
  if (hooked_ || !data_.hWnd) return;
  OldWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(data_.hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppBarWndProc)));
  hooked_ = true;
}

void AppBarClass::UnHookForm() {
  if (!hooked_) return;
  hooked_ = false;
  // Only our own procedure is replaced: one put in later by someone else stays.
  if (IsWindow(data_.hWnd) &&
      GetWindowLongPtrA(data_.hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AppBarWndProc))
    SetWindowLongPtrA(data_.hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWndProc));
  OldWndProc = nullptr;
}

RECT AppBarClass::ScreenRect(bool ignoreAppBar) const {
  RECT r = {0, 0, ScreenWidth(), ScreenHeight()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  if (ignoreAppBar && ForceIgnoreAppBar) {
    const RECT& band = data_.rc;
    switch (data_.uEdge) {
      case ABE_LEFT: r.left -= band.right - band.left; break;
      case ABE_TOP: r.top -= band.bottom - band.top; break;
      case ABE_RIGHT: r.right += band.right - band.left; break;
      case ABE_BOTTOM: r.bottom += band.bottom - band.top; break;
      default: break;
    }
    // Where the work area does not leave our band out (or it is an old edge's band),
    // adding it back would reach past the screen and dock the bar off it.
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, ScreenWidth());
    r.bottom = std::min<LONG>(r.bottom, ScreenHeight());
  }
  const int tx = vb::TwipsPerPixelX(), ty = vb::TwipsPerPixelY();
  return {r.left * tx, r.top * ty, r.right * tx, r.bottom * ty};
}

RECT AppBarClass::Band(const RECT& s, UINT edge) const {
  const double side = options_.SideThickness, tb = options_.TopBottomThickness;
  auto x = [](double twips) { return static_cast<LONG>(TwipsToPixelsXRound(twips)); };
  auto y = [](double twips) { return static_cast<LONG>(TwipsToPixelsYRound(twips)); };
  switch (edge) {
    case ABE_LEFT: return {x(s.left), y(s.top), x(s.left + side), y(s.bottom)};
    case ABE_TOP: return {x(s.left), y(s.top), x(s.right), y(s.top + tb)};
    case ABE_RIGHT: return {x(s.right - side), y(s.top), x(s.right), y(s.bottom)};
    default: return {x(s.left), y(s.bottom - tb), x(s.right), y(s.bottom)};
  }
}

void AppBarClass::AdjustAppBarLocation() {
  data_.rc = Band(ScreenRect(true), data_.uEdge);
  ForceIgnoreAppBar = true;
}

void AppBarClass::AppBarQuerySetPos() {
  RECT& rc = data_.rc;
  const bool side = data_.uEdge == ABE_LEFT || data_.uEdge == ABE_RIGHT;
  const LONG width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (side)
    rc.bottom = ScreenHeight();
  else
    rc.right = ScreenWidth();
  Message(ABM_QUERYPOS);
  switch (data_.uEdge) {
    case ABE_LEFT: rc.right = rc.left + width; break;
    case ABE_TOP: rc.bottom = rc.top + height; break;
    case ABE_RIGHT: rc.left = rc.right - width; break;
    default: rc.top = rc.bottom - height; break;
  }
  Message(ABM_SETPOS);
  ui::SetDockedBand(&rc);  // none while auto-hidden: the band is then empty
  // Also while the bar's own handler runs: a bar the shell moved must move on screen
  // too; what the move sends back reaches only the previous procedure.
  if (!options_.AutoHide)
    MoveWindow(data_.hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void AppBarClass::AppBarPosChanged() {
  RECT rc = {0, 0, ScreenWidth(), ScreenHeight()};
  LONG width = 0, height = 0;
  RECT window;
  if (!options_.AutoHide && GetWindowRect(data_.hWnd, &window)) {
    width = window.right - window.left;
    height = window.bottom - window.top;
  }
  switch (data_.uEdge) {
    case ABE_LEFT: rc.right = rc.left + width; break;
    case ABE_TOP: rc.bottom = rc.top + height; break;
    case ABE_RIGHT: rc.left = rc.right - width; break;
    default: rc.top = rc.bottom - height; break;
  }
  data_.rc = rc;
  AppBarQuerySetPos();
}

bool AppBarClass::RegisterAutoHide(UINT edge, bool on) {
  const UINT edgeNow = data_.uEdge;
  data_.uEdge = edge;
  data_.lParam = on ? -1 : 0;
  const UINT_PTR answer = Message(ABM_SETAUTOHIDEBAR);
  data_.uEdge = edgeNow;
  if (!on) {
    autoHideRegistered_ = false;
    return true;
  }
  autoHideRegistered_ = answer == 1;
  return autoHideRegistered_;
}

void AppBarClass::Shrink() {
  const AppBarOptions saved = options_;
  options_.SideThickness = options_.TopBottomThickness = 0;
  AdjustAppBarLocation();
  options_.SideThickness = saved.SideThickness;
  options_.TopBottomThickness = saved.TopBottomThickness;
  AppBarQuerySetPos();
  options_.AutoHide = true;
}

void AppBarClass::AutoHideAppBar() {
  auto refused = [this] {
    MsgBox(kRefusal, MB_ICONSTOP, FrameHwnd());
    options_.AutoHide = false;
  };
  if (options_.AutoHide && autoHideRegistered_) {
    if (EdgeChanged) {
      RegisterAutoHide(static_cast<UINT>(OldEdge), false);
      if (RegisterAutoHide(data_.uEdge, true))
        Shrink();
      else
        refused();
    }
    SetWindowPos(data_.hWnd, options_.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  } else if (options_.AutoHide) {
    if (RegisterAutoHide(data_.uEdge, true))
      Shrink();
    else
      refused();
  } else if (autoHideRegistered_) {
    ForceIgnoreAppBar = false;
    RegisterAutoHide(data_.uEdge, false);
  }
}

void AppBarClass::ModifyAppBar() {
  AutoHideAppBar();
  if (!options_.AutoHide) {
    AdjustAppBarLocation();
    AppBarQuerySetPos();
  }
  if (EdgeChanged && options_.AutoHide) {
    EdgeChanged = false;
    MoveToFullBand();
  }
}

void AppBarClass::MoveToFullBand() {
  const RECT band = Band(ScreenRect(false), data_.uEdge);
  MoveWindow(data_.hWnd, band.left, band.top, band.right - band.left, band.bottom - band.top, TRUE);
}

void AppBarClass::HideAppBar(bool makeHidden, bool alwaysOnTop) {
  IsMenu = false;
  options_.AlwaysOnTop = alwaysOnTop;
  ShowWindow(data_.hWnd, makeHidden ? SW_HIDE : SW_SHOW);
  options_.AutoHide = makeHidden;
  ModifyAppBar();
  // A refused auto-hide leaves the bar docked, so it is shown again at once.
  if (makeHidden && !options_.AutoHide) ShowWindow(data_.hWnd, SW_SHOWNA);
}

void AppBarClass::RemoveAppBar() {
  options_.AutoHide = false;
  AutoHideAppBar();
  Message(ABM_REMOVE);
  ui::SetDockedBand(nullptr);
  ForgetAppBarWindow();
  ui::DoEvents();
  UnHookForm();
  AppBars.erase(std::remove(AppBars.begin(), AppBars.end(), this), AppBars.end());
  if (AppBarCount > 0) --AppBarCount;
}

RECT AppBarClass::GetOutlineRect() {
  POINT c = {0, 0};
  GetCursorPos(&c);
  // Only the top and bottom edges: the items stand in one row, which a side band
  // (a column as wide as a caption) cannot show. The side edges stay reachable
  // through the "Position" setting.
  NewEdge = c.y >= static_cast<long>(vb::RoundHalfEven(ScreenHeight() / 2.0)) ? ABE_BOTTOM : ABE_TOP;
  return Band(ScreenRect(true), static_cast<UINT>(NewEdge));
}

void AppBarClass::BeginDrag() { NewEdge = static_cast<int32_t>(data_.uEdge); }

void AppBarClass::EndDrag() {
  if (NewEdge != static_cast<int32_t>(data_.uEdge)) {
    OldEdge = static_cast<int32_t>(data_.uEdge);
    data_.uEdge = static_cast<UINT>(NewEdge);
    EdgeChanged = true;
  }
  // The bar followed the cursor: back into its band, the old one or the new.
  ModifyAppBar();
  if (options_.AutoHide) MoveToFullBand();
}

void AppBarClass::WindowProc(HWND /*hwnd*/, UINT msg, WPARAM wp, LPARAM lp) {
  if (LogWnProc) return;
  LogWnProc = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{LogWnProc};
  if (IsMenu) return;
  switch (msg) {
    case WM_ENTERSIZEMOVE:
      NewEdge = static_cast<int32_t>(data_.uEdge);  // a drag that never moves changes nothing
      break;
    case WM_MOVING:
      if (lp) *reinterpret_cast<RECT*>(lp) = GetOutlineRect();
      break;
    case WM_EXITSIZEMOVE:
      if (NewEdge != static_cast<int32_t>(data_.uEdge)) {
        OldEdge = static_cast<int32_t>(data_.uEdge);
        data_.uEdge = static_cast<UINT>(NewEdge);
        EdgeChanged = true;
        ModifyAppBar();
      }
      break;
    case WM_ACTIVATE:
      Message(ABM_ACTIVATE);
      break;
    case WM_WINDOWPOSCHANGED:
      Message(ABM_WINDOWPOSCHANGED);
      break;
    default:
      break;
  }
  if (msg == data_.uCallbackMessage) {
    if (wp == ABN_POSCHANGED) {
      AppBarPosChanged();
      if (options_.AutoHide) PosChangeHidden = true;
    } else if (wp == ABN_FULLSCREENAPP) {
      FullScreenHidden = lp != 0;
      ShowWindow(data_.hWnd, lp ? SW_HIDE : SW_SHOW);
    }
  }
}
