#include "InfoBarFrm.h"

#include "FirstTimeFrm.h"

#include <algorithm>
#include <cmath>

#include "InterfaceFrm.h"
#include "frmAbout.h"
#include "ModAppBar.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "Seams.h"
#include "ListView.h"
#include "TabPages.h"
#include "VbRules.h"
#include "ViewBindings.h"

InfoBarFrmForm InfoBarFrm;

namespace {
constexpr UINT kTopMostFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
constexpr int kInitialWidth = 400, kInitialHeight = 32;
// Builds the item row once the bar is up.
constexpr UINT kBuildItemsMsg = WM_APP + 1;

int Px(double v) { return static_cast<int>(std::floor(v + 0.5)); }
int CInt(double v) { return static_cast<int>(vb::RoundHalfEven(v)); }

HBITMAP LoadSkin(const char* name) {
  const std::string path = AppPath() + name;
  return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info;
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

void SetupGraph(GraphControl& graph) {
  graph.SetBackColor(RGB(0, 0, 0));
  graph.SetBarColor(RGB(0x80, 0x80, 0x80));
  graph.SetForeColor(RGB(0xFF, 0, 0xFF));
  graph.SetFontColor(RGB(0xFF, 0xFF, 0xFF));
  graph.SetSolidGraph(true);
  graph.SetHideUsage(true);
  graph.SetShowText(true);
  graph.SetFont("Arial", 8);
}
}  // namespace

InfoBarFrmForm::InfoBarFrmForm()
    : Window({.caption = "Quillon Tracker", .style = WS_POPUP, .exStyle = WS_EX_TOOLWINDOW,
              .width = kInitialWidth, .height = kInitialHeight, .keyPreview = true, .keepOnWorkArea = false}),
      LeftPic(*this, {0, 0, 14, kInitialHeight}),
      MainPic(*this, {14, 0, kInitialWidth - 28, kInitialHeight}),
      RightPic(*this, {kInitialWidth - 14, 0, 14, kInitialHeight}),
      graph0_(*this, {7, 5, 60, 22}),
      label0_(*this, {7, 5, 60, 14}, "item") {
  graph0_.SetContainer(MainPic);
  label0_.SetContainer(MainPic);
  label0_.SetVisible(false);  // it only measures the items' widths
  SetupGraph(graph0_);
  ShowFirstTime = [this](int messageId, HWND) { return FirstTimeFrm.ShowFirstTime(static_cast<int16_t>(messageId), this); };

  mnuSettings = &menu.Add("Settings");
  mnuSetAutoHide = &mnuSettings->Add("&AutoHide");
  mnuSetTop = &mnuSettings->Add("Always on-&top");
  mnuSettings->Add("-");
  mnuQuillon = &mnuSettings->Add("Launch &Quillon");
  mnuSetSettings = &mnuSettings->Add("&Settings ...");
  mnuSettings->Add("-");
  mnuHelp = &mnuSettings->Add("&Help");
  mnuAbout = &mnuSettings->Add("A&bout");
  mnuSettings->Add("-");
  mnuSettingsClose = &mnuSettings->Add("&Close Tracker");
  mnuSetAutoHide->Click = [this] {
    mnuSetAutoHide->SetChecked(!mnuSetAutoHide->Checked());
    if (mnuSetAutoHide->Checked()) ShowFirstTime(2, hwnd());
  };
  mnuSetTop->Click = [this] { mnuSetTop->SetChecked(!mnuSetTop->Checked()); };
  for (ui::MenuItem* item : {mnuQuillon, mnuSetSettings, mnuHelp, mnuAbout})
    item->Click = [item] { item->SetChecked(true); };
  mnuSettingsClose->Click = [this] {
    mnuSettingsClose->SetChecked(true);
    if (bar_) bar_->IsMenu = false;
  };

  for (ui::PictureBox* pic : {&LeftPic, &MainPic, &RightPic}) {
    pic->DblClick = [] { ShowInterfaceFrm(); };
    pic->MouseDown = [this, pic](int button, int, int x, int y) {
      if (button == 2) {
        DisplayPopMenu();
        return;  // the bar may be gone
      }
      if (button == 1 && pic == &MainPic) StartDrag(MainPic, DragMain, DragMainX, DragMainY, x, y);
      if (button == 1 && pic == &RightPic) StartDrag(RightPic, DragRight, DragRightX, DragRightY, x, y);
    };
  }
  MainPic.MouseMove = [this](int, int, int x, int y) { DragMove(MainPic, DragMain, DragMainX, DragMainY, x, y); };
  RightPic.MouseMove = [this](int, int, int x, int y) {
    HoverCap(RightPic, ScrollRightOn);
    DragMove(RightPic, DragRight, DragRightX, DragRightY, x, y);
  };
  LeftPic.MouseMove = [this](int, int, int, int) { HoverCap(LeftPic, ScrollLeftOn); };
  MainPic.MouseUp = [this](int, int, int, int) {
    DragMain = false;
    EndDrag();
  };
  RightPic.MouseUp = [this](int, int, int, int) {
    DragRight = false;
    EndDrag();
  };
  MainPic.Click = [this] {
    ApplyTopMost(kTopMostFlags);
    DragMain = false;
  };
  RightPic.Click = [this] { ApplyTopMost(kTopMostFlags); };
  MainPic.Paint = [this](HDC dc) { TileStrip(dc); };

  Views.trackerBar = {.form = this,
                      .Timer1_Timer = [] { InfoBarFrm.Timer1_Timer(); },
                      .TickWanted = [] { return InfoBarFrm.TickWanted(); },
                      .RefreshMe = [] { InfoBarFrm.RefreshMe(); },
                      .IniTrackerItems = [] { InfoBarFrm.IniTrackerItems(); },
                      .Unload = [] {
                        bool cancel = false;
                        InfoBarFrm.Form_Unload(cancel);
                      }};
}

InfoBarFrmForm::~InfoBarFrmForm() { ReleaseSkin(); }

void InfoBarFrmForm::ReleaseSkin() {
  for (ui::OwnedBitmap* b : {&left_, &right_, &TmpImg}) b->Reset();
}

// ---- the item controls

GraphControl& InfoBarFrmForm::ItemGrph(int index) { return index == 0 ? graph0_ : *graphs_[index]; }
ui::Label& InfoBarFrmForm::ItemNameLbl(int index) { return index == 0 ? label0_ : *labels_[index]; }
bool InfoBarFrmForm::ItemLoaded(int index) const {
  return index == 0 || (index > 0 && index <= kMaxItems && graphs_[index] != nullptr);
}

void InfoBarFrmForm::LoadItem(int index) {
  if (index <= 0 || index > kMaxItems || graphs_[index]) return;
  // A new element copies element 0.
  graphs_[index] = std::make_unique<GraphControl>(*this, graph0_.GetBounds());
  labels_[index] = std::make_unique<ui::Label>(*this, label0_.GetBounds(), label0_.Text());
  GraphControl& graph = *graphs_[index];
  graph.SetContainer(MainPic);
  SetupGraph(graph);
  labels_[index]->SetContainer(MainPic);
  labels_[index]->SetVisible(false);
  graph.Click = [this, index] { TrackerItemObjs[index].InvokeItemTool(); };
  graph.CreateNow();
  labels_[index]->CreateNow();
  labels_[index]->SetFont("Arial", 8);
}

void InfoBarFrmForm::UnloadItemControls(int index) {
  if (index <= 0 || index > kMaxItems) return;
  labels_[index].reset();
  graphs_[index].reset();
}

void InfoBarFrmForm::PlaceGraph(int index) {
  if (!ItemLoaded(index)) return;
  ItemGrph(index).Move({Px(GraphLeft[index]), Px(graphTop_), Px(GraphWidth[index]), Px(kGraphHeight)});
}

// ---- loading, skin and layout

void InfoBarFrmForm::LoadSkinAndAdjustSizes() {
  ReleaseSkin();
  left_.Reset(LoadSkin("\\left.bmp"));
  right_.Reset(LoadSkin("\\right.bmp"));
  TmpImg.Reset(LoadSkin("\\main.bmp"));
  const SIZE left = BitmapSize(left_.get()), right = BitmapSize(right_.get());
  graphTop_ = (left.cy - kGraphHeight) / 2;
  LeftPic.SetPicture(left_.get());
  RightPic.SetPicture(right_.get());
  const int height = Px(kGraphHeight + 2 * graphTop_);
  LeftPic.Move({0, 0, left.cx, height});
  GraphLeft[0] = kItemGap;
  PlaceGraph(0);
  MainPic.Move({left.cx, 0, MainPic.GetBounds().width, height});
  RightPic.Move({RightPic.GetBounds().x, 0, right.cx, height});
}

void InfoBarFrmForm::Form_Load() {
  ended_ = false;
  LoadSkinAndAdjustSizes();
  SetWindowLongA(hwnd(), GWL_STYLE, GetWindowLongA(hwnd(), GWL_STYLE) & ~WS_BORDER);
  graph0_.Click = [this] { TrackerItemObjs[0].InvokeItemTool(); };
  label0_.SetFont("Arial", 8);
  SavedBackColor = graph0_.BackColor();
  // As high as the strip.
  const int height = MainPic.GetBounds().height;
  RECT window;
  GetWindowRect(hwnd(), &window);
  MoveWindow(hwnd(), window.left, window.top, window.right - window.left, height, FALSE);

  ++AppBarCount;
  bar_ = std::make_unique<AppBarClass>();
  AppBars.push_back(bar_.get());
  AppBarIndex = AppBarCount;
  APPBARDATA data = {sizeof data};
  data.hWnd = hwnd();
  data.uEdge = static_cast<UINT>(Position);
  AppBarOptions options;
  options.SideThickness = 700;
  options.TopBottomThickness = static_cast<int16_t>(height * vb::TwipsPerPixelY());
  options.Reserved = 2;
  options.AlwaysOnTop = BarAlwaysOnTop;
  options.AutoHide = AutoHide;
  mnuSetTop->SetChecked(BarAlwaysOnTop);
  mnuSetAutoHide->SetChecked(AutoHide);
  bar_->SetInfoBarFrmData(data);
  bar_->SetInfoBarFrmInfo(options);
  bar_->IniAppBar();

  BarReady = true;
  // The bar docks and shows at once; its items (a graph and a label each to make,
  // measure and fill) follow as the next message: built here, they held the command
  // that showed the bar (the frame's Tracker button, a click) about as long again.
  graph0_.SetVisible(false);
  itemsPending_ = PostMessageA(hwnd(), kBuildItemsMsg, 0, 0) != FALSE;
  if (!itemsPending_) IniTrackerItems();
  Form_Resize();
  ApplyTopMost(kTopMostFlags);
  if (!bar_->InfoBarFrmInfo().AutoHide) ShowWindow(hwnd(), SW_SHOWNA);
}

LRESULT InfoBarFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kBuildItemsMsg) {
    // Built meanwhile by the settings' apply, or the bar closed: nothing is owed.
    if (itemsPending_ && BarReady) {
      IniTrackerItems();
      // The items were just sampled: only the row's place and scroll range follow.
      CheckHScroll(RowWidth());
    }
    return 0;
  }
  return Window::WndProc(msg, wp, lp);
}

void InfoBarFrmForm::Form_Resize() {
  if (!BarReady) return;
  const int strip = ScaleWidth() - LeftPic.GetBounds().width - RightPic.GetBounds().width;
  const ui::Bounds main = MainPic.GetBounds();
  if (strip != main.width) {
    MainPic.Move({main.x, main.y, std::max(strip, 0), main.height});
    MainPic.Refresh();  // tiles the strip again
  }
  const ui::Bounds right = RightPic.GetBounds();
  RightPic.Move({main.x + std::max(strip, 0), right.y, right.width, right.height});
  RefreshMe();
}

void InfoBarFrmForm::TileStrip(HDC dc) {
  const SIZE tile = BitmapSize(TmpImg.get());
  // A missing tile is 0 wide: there is nothing to tile.
  if (tile.cx <= 0) return;
  const int width = StripWidth();
  const ui::MemoryDC source(dc);
  const ui::SelectIn select(source.get(), TmpImg.get());
  const int n = CInt(double(width) / tile.cx);
  for (int i = 0; i <= n && i * tile.cx <= width; ++i)
    BitBlt(dc, i * tile.cx, 0, tile.cx, tile.cy, source.get(), 0, 0, SRCCOPY);
}

void InfoBarFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("Tracker");
}

void InfoBarFrmForm::ApplyTopMost(UINT flags) {
  if (!bar_ || !hwnd()) return;
  SetWindowPos(hwnd(), bar_->InfoBarFrmInfo().AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

// ---- items and scrolling

void InfoBarFrmForm::UpdateLblData() {
  for (int i = 0; i < TrackerItemCount; ++i) TrackerItemObjs[i].UpdateCurrentItem();
}

void InfoBarFrmForm::IniTrackerItems() {
  itemsPending_ = false;
  for (int i = 1; i < TrackerItemCount; ++i) TrackerItemObjs[i].UnloadItem();
  TrackerItemCount = 0;
  for (int s = 1; s <= kMaxItems; ++s) {
    if (!TrackerItemsShow[s]) continue;
    const int16_t k = TrackerItemCount++;
    TrackerItemObjs[k] = clsTrackerItem();
    TrackerItemObjs[k].Initialize_trk_item(TrackerItems[s], k);
  }
  for (int i = 0; i < TrackerItemCount; ++i) TrackerItemObjs[i].UpdateCurrentItem();
  // Slot 0's graph stays placed; with no item it has nothing to show.
  graph0_.SetVisible(TrackerItemCount > 0);
}

void InfoBarFrmForm::RefreshMe() {
  UpdateLblData();
  CheckHScroll(RowWidth());
}

int InfoBarFrmForm::RowWidth() const {
  int total = CInt(GraphWidth[0] + kItemGap + kItemGap);
  for (int i = 1; i < TrackerItemCount; ++i) total = CInt(GraphWidth[i] + total + kItemGap);
  return total;
}

void InfoBarFrmForm::CheckHScroll(int total) {
  if (!BarReady) return;
  if (total == 0) {
    total = CInt(kItemGap);
    for (int i = 0; i < TrackerItemCount; ++i) total = CInt(GraphWidth[i] + total + kItemGap);
  }
  if (total <= StripWidth()) {
    HScroll = {};
    if (GraphLeft[0] != kItemGap) {
      GraphLeft[0] = kItemGap;
      RefreshMe();
    }
    return;
  }
  HScroll.Max = CInt(total - StripWidth());
  if (HScroll.Value > HScroll.Max) SetScrollValue(HScroll.Max);
}

void InfoBarFrmForm::SetScrollValue(int value) {
  value = std::clamp(value, 0, std::max(HScroll.Max, 0));
  if (value == HScroll.Value) return;
  HScroll.Value = value;
  // HScroll_Change: the row follows graph 0.
  GraphLeft[0] = kItemGap - value;
  PlaceGraph(0);
  RefreshMe();
}

bool InfoBarFrmForm::RowFits() {
  const int last = std::max(TrackerItemCount - 1, 0);
  return GraphLeft[0] > 0 && GraphLeft[last] + GraphWidth[last] < StripWidth();
}

void InfoBarFrmForm::HoverCap(ui::PictureBox& pic, bool& armed) {
  if (RowFits()) {
    pic.SetMousePointer(nullptr);
    return;
  }
  if (!scrollCursor_) scrollCursor_ = LoadCursor(nullptr, IDC_SIZEWE);
  pic.SetMousePointer(scrollCursor_);
  armed = true;
}

namespace {
bool IsPointInControl(const POINT& p, const ui::Control& control) {
  RECT r;
  return control.hwnd() && GetWindowRect(control.hwnd(), &r) && p.x >= r.left && p.x < r.right && p.y >= r.top &&
         p.y < r.bottom;
}
}  // namespace

void InfoBarFrmForm::HoverScroll(const POINT& cursor) {
  const int step = StripWidth() / 15;
  if (ScrollLeftOn) {
    if (IsPointInControl(cursor, LeftPic))
      SetScrollValue(std::max(HScroll.Value - step, 0));
    else
      ScrollLeftOn = false;
  }
  if (ScrollRightOn) {
    if (IsPointInControl(cursor, RightPic))
      SetScrollValue(std::min(HScroll.Value + step, HScroll.Max));
    else
      ScrollRightOn = false;
  }
}

// ---- dragging

void InfoBarFrmForm::StartDrag(ui::PictureBox&, bool& flag, int& dx, int& dy, int x, int y) {
  flag = true;
  dx = x;
  dy = y;
}

// The bar follows the drag itself, from the strip's own mouse messages, rather than
// through the system's move loop: that loop holds the thread (no values, no hot
// keys) and, under Wine, outlives the release when a nested pump takes the button's
// release before it sees it. The strip keeps the mouse captured while the button is
// down, so the release always comes back here.
void InfoBarFrmForm::DragMove(ui::PictureBox&, bool& flag, int dx, int dy, int x, int y) {
  if (dragging_) {
    FollowDrag();
    return;
  }
  if (!flag || (x == dx && y == dy) || !bar_) return;
  flag = false;
  dragging_ = true;
  bar_->BeginDrag();
  FollowDrag();
}

void InfoBarFrmForm::FollowDrag() {
  // A release that never reached the strip (capture taken away) ends the drag too.
  if (!(GetKeyState(VK_LBUTTON) & 0x8000)) {
    EndDrag();
    return;
  }
  const RECT outline = bar_->GetOutlineRect();
  SetWindowPos(hwnd(), nullptr, outline.left, outline.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InfoBarFrmForm::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  if (bar_) bar_->EndDrag();
}

// ---- the menu

void InfoBarFrmForm::DisplayPopMenu() {
  if (!bar_) return;
  bar_->IsMenu = true;
  if (!bar_->InfoBarFrmInfo().AutoHide) mnuSetAutoHide->SetChecked(false);
  for (ui::MenuItem* item : {mnuQuillon, mnuSetSettings, mnuHelp, mnuAbout, mnuSettingsClose}) item->SetChecked(false);
  POINT at;
  GetCursorPos(&at);
  menu.Popup(*this, *mnuSettings, at);
  if (mnuAbout->Checked()) {
    mnuAbout->SetChecked(false);
    bar_->IsMenu = false;
    ShowFrm(frmAbout);
  } else if (mnuSetSettings->Checked()) {
    mnuSetSettings->SetChecked(false);
    bar_->IsMenu = false;
    if (Views.options.form) {
      ShowFrm(Views.options.form);
      if (Views.options.SSTab1) Views.options.SSTab1->SetTab(4);
    }
  } else if (mnuQuillon->Checked()) {
    mnuQuillon->SetChecked(false);
    bar_->IsMenu = false;
    ShowInterfaceFrm();
  } else if (mnuHelp->Checked()) {
    mnuHelp->SetChecked(false);
    bar_->IsMenu = false;
    ShowOnlineHelp("Tracker");
  } else if (mnuSettingsClose->Checked()) {
    mnuSettingsClose->SetChecked(false);
    // Unloads the bar: nothing of it may be touched after this.
    InterfaceFrm.RunCommand("ToolBar");
    return;
  } else {
    bar_->HideAppBar(mnuSetAutoHide->Checked(), mnuSetTop->Checked());
    ApplyTopMost(kTopMostFlags);
  }
}

// ---- closing

void InfoBarFrmForm::Form_Unload(bool& /*cancel*/) { EndAppBar(); }

void InfoBarFrmForm::EndAppBar() {
  // The exit calls this and then unloads the bar: a second run would save the auto-hide
  // that the first removal cleared and count the bar off twice.
  if (ended_ || !bar_) return;
  ended_ = true;
  itemsPending_ = false;
  AutoHide = bar_->InfoBarFrmInfo().AutoHide;
  BarAlwaysOnTop = bar_->InfoBarFrmInfo().AlwaysOnTop;
  Position = static_cast<int32_t>(bar_->InfoBarFrmData().uEdge);
  bar_->RemoveAppBar();
  bar_.reset();
  for (int i = 1; i < TrackerItemCount; ++i) TrackerItemObjs[i].UnloadItem();
  TrackerItemCount = 0;
  graph0_.Refresh(nullptr, 0);  // the histories may go before the bar loads again
  BarReady = false;
  HScroll = {};
  ScrollLeftOn = ScrollRightOn = DragMain = DragRight = dragging_ = false;
  if (hwnd()) SetWindowRgn(hwnd(), nullptr, FALSE);
}

// ---- the tick and the slide

void InfoBarFrmForm::Timer1_Timer() {
  if (!hwnd() || !bar_) return;
  // Shown again by the tick, the bar would sit on top of the video or game.
  if (bar_->FullScreenHidden) return;
  POINT cursor;
  GetCursorPos(&cursor);
  const bool visible = IsWindowVisible(hwnd()) != 0;
  if (visible) HoverScroll(cursor);
  if (!bar_) return;
  if (bar_->PosChangeHidden) {
    bar_->ModifyAppBar();
    bar_->PosChangeHidden = false;
  }
  const AppBarOptions options = bar_->InfoBarFrmInfo();
  if (options.AutoHide && GetForegroundWindow() != hwnd()) {
    RECT window;
    GetWindowRect(hwnd(), &window);
    const bool inside = cursor.x >= window.left && cursor.x <= window.right && cursor.y >= window.top &&
                        cursor.y <= window.bottom;
    int16_t mode = inside ? 0 : 1;
    const RECT t = bar_->ScreenRect(false);
    const RECT rc = {TwipsToPixelsXRound(t.left), TwipsToPixelsYRound(t.top), TwipsToPixelsXRound(t.right),
                     TwipsToPixelsYRound(t.bottom)};
    const UINT edge = bar_->InfoBarFrmData().uEdge;
    const int width = window.right - window.left, height = window.bottom - window.top;
    switch (edge) {
      case ABE_LEFT:
      case ABE_RIGHT:
        if (window.top != rc.top || height != rc.bottom - rc.top)
          SetWindowPos(hwnd(), nullptr, window.left, rc.top, width, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (edge == ABE_LEFT ? cursor.x <= rc.left : cursor.x >= rc.right - 1) mode = 0;
        break;
      case ABE_TOP:
      case ABE_BOTTOM:
        if (window.left != rc.left || width != rc.right - rc.left)
          SetWindowPos(hwnd(), nullptr, rc.left, window.top, rc.right - rc.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (edge == ABE_TOP ? cursor.y <= rc.top : cursor.y >= rc.bottom - 1) mode = 0;
        break;
      default:
        return;
    }
    SlideWindow(mode);
    // Kept in its layer without taking the focus, or it would be the foreground window
    // and never slide again.
    if (hwnd() && IsWindowVisible(hwnd())) ApplyTopMost(SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  } else if (!options.AutoHide && !visible) {
    ShowWindow(hwnd(), SW_SHOWNA);
  }
}

// A docked bar at rest has nothing to tick: the cursor coming over its scroll
// arrows is a message, and it wakes the loop.
bool InfoBarFrmForm::TickWanted() const {
  if (!hwnd() || !bar_ || bar_->FullScreenHidden) return false;
  if (ScrollLeftOn || ScrollRightOn || bar_->PosChangeHidden || resting_) return true;
  return bar_->InfoBarFrmInfo().AutoHide || !IsWindowVisible(hwnd());
}

bool InfoBarFrmForm::WaitAndCheck() {
  // The rest is timed across ticks rather than slept through: the main loop calls the
  // tick every pass, and a sleep here held the whole program, its pop-up scan too.
  POINT cursor;
  GetCursorPos(&cursor);
  const DWORD now = seams::TickCountFn();
  if (!resting_ || cursor.x != restPoint_.x || cursor.y != restPoint_.y) {
    resting_ = true;
    restPoint_ = cursor;
    restSince_ = now;
    return false;
  }
  if (now - restSince_ < kEdgeRestMs) return false;
  resting_ = false;
  return true;
}

void InfoBarFrmForm::SlideWindow(int16_t inOutForm) {
  if (!bar_) return;
  if (inOutForm == 1) resting_ = false;  // the cursor left: a later touch rests anew
  if (inOutForm == 0) RefreshMe();
  const RECT t = bar_->ScreenRect(false);
  const RECT rc = {TwipsToPixelsXRound(t.left), TwipsToPixelsYRound(t.top), TwipsToPixelsXRound(t.right),
                   TwipsToPixelsYRound(t.bottom)};
  RECT w;
  GetWindowRect(hwnd(), &w);
  const int width = w.right - w.left, height = w.bottom - w.top;
  // A bar hidden where it shows (as it starts when auto-hidden) counts as away.
  const bool shown = IsWindowVisible(hwnd()) != 0;
  auto moveTo = [&](int x, int y) {
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  auto show = [&] { ShowWindow(hwnd(), SW_SHOWNA); };
  bool waited = true;
  switch (bar_->InfoBarFrmData().uEdge) {
    case ABE_LEFT:
      if (inOutForm == 1 && w.left == rc.left) {
        for (int i = 1; i <= width; i += 20) moveTo(rc.left - i, w.top);
        moveTo(rc.left - width, w.top);
        ShowWindow(hwnd(), SW_HIDE);
      } else if (inOutForm == 0 && (w.left != rc.left || !shown)) {
        waited = WaitAndCheck();
        if (waited) {
          moveTo(rc.left, w.top);
          show();
        }
      }
      break;
    case ABE_TOP:
      if (inOutForm == 1 && w.top == rc.top) {
        for (int i = 1; i <= height; i += 20) moveTo(w.left, rc.top - i);
        moveTo(w.left, rc.top - height);
        ShowWindow(hwnd(), SW_HIDE);
      } else if (inOutForm == 0 && (w.top != rc.top || !shown)) {
        POINT cursor;
        GetCursorPos(&cursor);
        // Near the right end the user reaches for a window's close box, not the bar.
        waited = rc.right - cursor.x > 50 && WaitAndCheck();
        if (waited) {
          moveTo(w.left, rc.top);
          show();
        }
      }
      break;
    case ABE_RIGHT:
      if (inOutForm == 1 && w.left == rc.right - width) {
        int left = w.left;
        for (int i = 1; i <= width; i += 20) moveTo(left += i, w.top);
        moveTo(rc.right, w.top);
        ShowWindow(hwnd(), SW_HIDE);
      } else if (inOutForm == 0 && (w.left != rc.right - width || !shown)) {
        moveTo(rc.right - width, w.top);
        show();
      }
      break;
    case ABE_BOTTOM:
      if (inOutForm == 1 && w.top == rc.bottom - height) {
        int top = w.top;
        for (int i = 1; i <= height; i += 20) {
          moveTo(w.left, top += i);
          ui::DoEvents();
          if (!hwnd() || !bar_) return;
        }
        moveTo(w.left, rc.bottom);
        ShowWindow(hwnd(), SW_HIDE);
      } else if (inOutForm == 0 && (w.top != rc.bottom - height || !shown)) {
        moveTo(w.left, rc.bottom - height);
        show();
      }
      break;
    default:
      return;
  }
  if (waited && IsWindowVisible(hwnd())) SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}
