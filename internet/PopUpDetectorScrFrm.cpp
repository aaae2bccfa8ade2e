#include "PopUpDetectorScrFrm.h"

#include <algorithm>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "DrawnPicture.h"
#include "FirstTimeFrm.h"
#include "LoopSeams.h"
#include "ModGetURL.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "frmOptions.h"

PopUpDetectorScrFrmForm PopUpDetectorScrFrm;

namespace noticeseams {
std::function<int(int)> SystemMetricFn = GetSystemMetrics;
std::function<bool(int16_t, ui::Window*)> ShowFirstTimeFn = [](int16_t id, ui::Window* owner) {
  return FirstTimeFrm.ShowFirstTime(id, owner);
};
void Reset() {
  SystemMetricFn = GetSystemMetrics;
  ShowFirstTimeFn = [](int16_t id, ui::Window* owner) { return FirstTimeFrm.ShowFirstTime(id, owner); };
}
}  // namespace noticeseams

namespace {

const COLORREF kBack = RGB(255, 246, 247);
const COLORREF kStrip = RGB(83, 191, 255);
const COLORREF kStripText = RGB(0, 47, 152);
const COLORREF kBannerBase = RGB(190, 30, 45);
const int kClientWidth = 250;  // pixels: the banner's width
const int kBannerHeight = 36;
const int kCloseButton = 20;   // the buttons at the top right
const int kBarButtonWidth = 28;
const int kBarHeight = 22;
const int kLineTop = 4;
const int32_t kFullLineHeight = 375;  // twips
const int32_t kCompactLineHeight = 230;
const uint32_t kAutoCloseMs = 5000;
const int32_t kSlideStart = 10;  // the thin line the slide starts from, twips

int Tpx() { return vb::TwipsPerPixelX(); }
int Tpy() { return vb::TwipsPerPixelY(); }
uint32_t Now() { return seams::TickCountFn(); }

POINT Cursor() {
  POINT p = {0, 0};
  if (!seams::CursorPosFn(&p)) p = {-32000, -32000};
  return p;
}

// The button pictures: a glyph drawn on the mask colour, made once for the run.
HBITMAP Glyph(char kind) {
  const COLORREF fill = kind == 'w' ? RGB(250, 250, 250) : kind == 's' ? RGB(80, 170, 80) : RGB(210, 60, 60);
  return ui::DrawPicture(16, 16, ui::kPictureMask, [&](HDC dc) {
    ui::DrawShape(dc, fill, RGB(60, 60, 90), 2, [&](HDC) {
      switch (kind) {
        case 'g':  // settings: a wheel
          Ellipse(dc, 2, 2, 14, 14);
          Ellipse(dc, 6, 6, 10, 10);
          break;
        case 'm':  // minimize: a bar
          MoveToEx(dc, 3, 12, nullptr);
          LineTo(dc, 13, 12);
          break;
        case 'x':  // close: a cross
          MoveToEx(dc, 3, 3, nullptr);
          LineTo(dc, 13, 13);
          MoveToEx(dc, 13, 3, nullptr);
          LineTo(dc, 3, 13);
          break;
        case 's':  // show: a window
          Rectangle(dc, 2, 3, 14, 13);
          break;
        case 'w':  // white: a window with a tick
          Rectangle(dc, 2, 3, 14, 13);
          MoveToEx(dc, 4, 8, nullptr);
          LineTo(dc, 7, 11);
          LineTo(dc, 12, 5);
          break;
      }
    });
  });
}

// The banner the build draws beside the program; a plain band when it is missing.
HBITMAP LoadBanner() {
  return static_cast<HBITMAP>(LoadImageA(nullptr, (AppPath() + "\\popbanner.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                         LR_LOADFROMFILE));
}

// A pop-up that stops answering must not stop the program: it is only asked briefly.
bool Answers(HWND window) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 50, &answer) != 0;
}

void HideAsync(HWND window) { ShowWindowAsync(window, SW_HIDE); }

void ShowInFront(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
  if (Answers(window)) BringWndToFront(window);
}

RECT ScreenRectOf(HWND window) {
  RECT r = {0, 0, 0, 0};
  if (window) GetWindowRect(window, &r);
  return r;
}

}  // namespace

PopUpDetectorScrFrmForm::PopUpDetectorScrFrmForm()
    : Window({.caption = "Pop-up Detected",
              .style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
              .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
              .width = kClientWidth,
              .height = 120,
              .dialogKeys = false}),
      TopImg(*this, {0, 0, kClientWidth, kBannerHeight}),
      ScreenLabel(*this, {0, 0, 140, kBannerHeight}, "Pop-up Detected", SS_CENTER | SS_CENTERIMAGE),
      InfoPic(*this, {0, kBannerHeight, kClientWidth, 40}),
      Label2_0(*this, {2, kLineTop, 90, 16}, "Window Name :"),
      Label2_1(*this, {2, kLineTop + 25, 40, 16}, "URL :"),
      WnNameLbl(*this, {2, kLineTop, kClientWidth - 4, 25}),
      URLLbl(*this, {2, kLineTop + 25, kClientWidth - 4, 25}),
      asxToolbarClose(*this, {kClientWidth - 3 * kCloseButton - 2, 0, 3 * kCloseButton + 2, kCloseButton}, false,
                      {kCloseButton, kCloseButton}),
      asxToolbar1(*this, {0, 0, 3 * kBarButtonWidth + 2, kBarHeight}, false, {kBarButtonWidth, kBarHeight}),
      Picture1(*this, {2, 0, kClientWidth - 4, kBarHeight}),
      lblShowWin(*this, {0, 3, kClientWidth - 4, 16}, "Move your mouse here to see the window", SS_CENTER) {
  ScreenLabel.SetContainer(TopImg);
  for (ui::Control* c : {static_cast<ui::Control*>(&Label2_0), static_cast<ui::Control*>(&Label2_1),
                         static_cast<ui::Control*>(&WnNameLbl), static_cast<ui::Control*>(&URLLbl)})
    c->SetContainer(InfoPic);
  lblShowWin.SetContainer(Picture1);

  asxToolbarClose.Add("settings", "", "settings");
  asxToolbarClose.Add("Minimize", "", "Minimize");
  asxToolbarClose.Add("CloseButton", "", "CloseButton");
  asxToolbar1.Add("Show", "", "Show pop-up window");
  asxToolbar1.Add("White", "", "Show pop-up window and add it to white list");
  asxToolbar1.Add("Close", "", "Close pop-up window");
  asxToolbar1.ButtonClick = [this](int index, const std::string&) { asxToolbar1_ButtonClick(index); };
  asxToolbarClose.ButtonClick = [this](int index, const std::string&) { asxToolbarClose_ButtonClick(index); };

  mnuSettings = &mnuSettingsBar.Add("Settings");
  mnuSettingsItems0 = &mnuSettings->Add("Browser settings");
  mnuSettingsItems1 = &mnuSettings->Add("General pop-up settings");
  mnuSettingsItems0->Click = [this] { mnuSettingsItems_Click(0); };
  mnuSettingsItems1->Click = [this] { mnuSettingsItems_Click(1); };

  Picture1.MouseMove = [this](int, int, int, int) { Picture1_MouseMove(); };
  lblShowWin.MouseMove = [this](int, int, int, int) { Picture1_MouseMove(); };
  BindDragHandle(ScreenLabel);
  BindDragHandle(TopImg);
  BindDragHandle(WnNameLbl);
  BindDragHandle(URLLbl);

  Views.popUpNotice.form = this;
  Views.popUpNotice.ShowPop = [](const std::string& title, int16_t browser, HWND window, int16_t slot,
                                 uint32_t threadId, int16_t webDialog) {
    PopUpDetectorScrFrm.ShowPop(title, browser, window, slot, threadId, webDialog);
  };
  Views.popUpNotice.Timer1_Timer = [] { PopUpDetectorScrFrm.Timer1_Timer(); };
  Views.popUpNotice.ReleaseHeld = [] {
    if (PopUpDetectorScrFrm.Loaded()) PopUpDetectorScrFrm.CloseDetector(false, false);
  };
}

void PopUpDetectorScrFrmForm::BindDragHandle(ui::Control& handle) {
  handle.MouseDown = [this, &handle](int button, int, int, int) { StartDrag(handle, button); };
  handle.MouseMove = [this](int button, int, int, int) { Drag(button); };
  handle.MouseUp = [this](int, int, int, int) { EndDrag(); };
}

void PopUpDetectorScrFrmForm::Form_Load() {
  SetBackColor(kBack);
  if (!banner_) banner_ = LoadBanner();
  TopImg.SetBackColor(kBannerBase);
  if (banner_) TopImg.SetPicture(banner_, true);
  ScreenLabel.SetFont("Tahoma", 10, true);
  ScreenLabel.SetForeColor(RGB(255, 255, 255));
  InfoPic.SetBackColor(kBack);
  Label2_0.SetFont("Tahoma", 8, true);
  Label2_1.SetFont("Tahoma", 8, true);
  Picture1.SetBackColor(kStrip);
  lblShowWin.SetForeColor(kStripText);
  asxToolbarClose.SetBackColor(kBack);
  asxToolbarClose.SetBarColor(kBack);
  asxToolbar1.SetBackColor(kBack);
  asxToolbar1.SetBarColor(kBack);
  if (!picturesSet_) {
    // The bars keep their image lists across a reload. Each button has a bitmap of its
    // own: adding a picture to an image list blackens its mask colour.
    picturesSet_ = true;
    const std::pair<const char*, char> closeKeys[] = {{"settings", 'g'}, {"Minimize", 'm'}, {"CloseButton", 'x'}};
    for (const auto& [key, kind] : closeKeys) asxToolbarClose.SetPicture(key, Glyph(kind), ui::kPictureMask);
    const std::pair<const char*, char> barKeys[] = {{"Show", 's'}, {"White", 'w'}, {"Close", 'x'}};
    for (const auto& [key, kind] : barKeys) asxToolbar1.SetPicture(key, Glyph(kind), ui::kPictureMask);
  }
  const SIZE closeBar = asxToolbarClose.ButtonsExtent();
  asxToolbarClose.Move({kClientWidth - closeBar.cx, 0, closeBar.cx, closeBar.cy});
  const SIZE showBar = asxToolbar1.ButtonsExtent();
  asxToolbar1.Move({0, 0, showBar.cx, kBarHeight});
  for (ui::Label* title : {&Label2_0, &Label2_1}) {
    const SIZE text = title->TextExtent();
    title->Move({2, title->GetBounds().y, text.cx + 2, title->GetBounds().height});
  }

  // The field titles lie over the start of their lines, the buttons over the panel.
  for (HWND h : {WnNameLbl.hwnd(), URLLbl.hwnd(), InfoPic.hwnd(), TopImg.hwnd()})
    SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_CLIPSIBLINGS);
  SetWindowPos(Label2_0.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(Label2_1.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(asxToolbarClose.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  RECT outer = {}, inner = {};
  GetWindowRect(hwnd(), &outer);
  GetClientRect(hwnd(), &inner);
  nonClientWidth_ = (outer.right - outer.left - inner.right) * Tpx();
  nonClientHeight_ = (outer.bottom - outer.top - inner.bottom) * Tpy();
  width_ = nonClientWidth_ + kClientWidth * Tpx();
  const SIZE label = ScreenLabel.TextExtent();
  ScreenLabel.Move({(kClientWidth - (label.cx + 8)) / 3, 0, label.cx + 8, kBannerHeight});
  AdjustControlsPositions();
}

int32_t PopUpDetectorScrFrmForm::NonClientHeight() const { return nonClientHeight_; }

void PopUpDetectorScrFrmForm::AdjustControlsPositions() {
  tag_ = GetSetting(ProgramTitle, "PopUp", "PopScreen", "2") == "0" ? "0" : "1";
  const bool full = tag_ == "0";
  TopImg.SetVisible(full);
  Label2_0.SetVisible(full);
  Label2_1.SetVisible(full);
  asxToolbarClose.SetValue("Minimize", !full);
  const int infoTop = full ? kBannerHeight : 0;
  const int lineWidth = kClientWidth - 4 - (full ? 0 : asxToolbarClose.GetBounds().width);
  const int lineHeight = (full ? kFullLineHeight : kCompactLineHeight) / Tpy();
  WnNameLbl.Move({2, kLineTop, lineWidth, lineHeight});
  URLLbl.Move({2, kLineTop + lineHeight, lineWidth, lineHeight});
  Label2_0.Move({2, kLineTop, Label2_0.GetBounds().width, lineHeight});
  Label2_1.Move({2, kLineTop + lineHeight, Label2_1.GetBounds().width, lineHeight});
  const int infoHeight = kLineTop + 2 * lineHeight;
  InfoPic.Move({0, infoTop, kClientWidth, infoHeight});

  const int barWidth = asxToolbar1.GetBounds().width;
  const int barTop = infoTop + infoHeight + 2;
  asxToolbar1.Move({(kClientWidth - barWidth) / 2, barTop, barWidth, kBarHeight});
  const int stripTop = barTop + kBarHeight + 2;
  Picture1.Move({2, stripTop, kClientWidth - 4, kBarHeight});
  const SIZE text = lblShowWin.TextExtent();
  lblShowWin.Move({(kClientWidth - 4 - text.cx) / 2, (kBarHeight - text.cy) / 2, text.cx, text.cy});
  SetWindowPos(asxToolbarClose.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  height_ = NonClientHeight() + (stripTop + kBarHeight + 2) * Tpy();
  // The maximized size runs past the screen where a maximized window's frame hangs
  // over its edges with nothing below (Wine on a bare display: 806 on a 768-pixel
  // screen), which would put the strip out of reach.
  const int wide = std::min(noticeseams::SystemMetricFn(SM_CXMAXIMIZED), noticeseams::SystemMetricFn(SM_CXSCREEN));
  const int tall = std::min(noticeseams::SystemMetricFn(SM_CYMAXIMIZED), noticeseams::SystemMetricFn(SM_CYSCREEN));
  left_ = Tpx() * wide - width_ - 400;
  bottomLine_ = Tpy() * tall - 100;
  Place(top_, height_, false);
}

void PopUpDetectorScrFrmForm::Place(int32_t top, int32_t height, bool show) {
  top_ = top;
  height_ = height;
  if (!hwnd()) return;
  UINT flags = SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0);
  SetWindowPos(hwnd(), HWND_TOPMOST, left_ / Tpx(), top / Tpy(), width_ / Tpx(), height / Tpy(), flags);
}

int16_t PopUpDetectorScrFrmForm::HidePopOfEntry() const {
  // Only a listed entry speaks for a pop-up: a web page dialog's or a removed
  // browser's counts as the defaults.
  if (isWebDialog_ || browserIdx_ < 0 || browserIdx_ >= BrowsersLst_Total) return 1;
  return Browsers[browserIdx_].HidePop;
}

int16_t PopUpDetectorScrFrmForm::PopDisNotfOfEntry() const {
  if (isWebDialog_ || browserIdx_ < 0 || browserIdx_ >= BrowsersLst_Total) return 1;
  return Browsers[browserIdx_].PopDisNotf;
}

void PopUpDetectorScrFrmForm::ShowPop(const std::string& Title, int16_t BrowserIdx, HWND hWnd, int16_t, uint32_t,
                                      int16_t IsWebDialog) {
  Load();
  isWebDialog_ = IsWebDialog != 0;
  bool replaced = false;
  if (popHwnd_) {
    CloseDetector(false, true);
    replaced = true;
  }
  popHwnd_ = hWnd;
  browserIdx_ = BrowserIdx;
  popTitle_ = Title;
  urlChecked_ = false;
  lastTitle_.clear();
  FoundURL.clear();
  WnNameLbl.SetText("");
  URLLbl.SetText("");
  if (Check_URL()) {
    popHwnd_ = nullptr;
    return;
  }
  if (PopPlaySnd == 1) loopseams::PlaySoundFn(PopPlaySndFile);
  if (PopDisNotfOfEntry() == 0) {
    CloseDetector(false, false);
    return;
  }
  UpdateCurrentHeight();
  peekShown_ = false;
  finalTop_ = bottomLine_ - fullHeight_;
  if (replaced)
    Place(finalTop_, basicHeight_, true);
  else
    Place(bottomLine_ - fullHeight_ + basicHeight_ - 100, kSlideStart, true);
  startTick_ = Now();
}

void PopUpDetectorScrFrmForm::UpdateCurrentHeight() {
  const int32_t nonClient = NonClientHeight();
  const ui::Bounds info = InfoPic.GetBounds();
  basicHeight_ = nonClient + (info.y + info.height + 2) * Tpy();
  if (HidePopOfEntry() != 0) {
    asxToolbar1.SetVisible(true);
    // A pop-up already off the screen's right edge needs no hiding.
    const RECT r = ScreenRectOf(popHwnd_);
    if (popHwnd_ && noticeseams::SystemMetricFn(SM_CXSCREEN) > r.left) HideAsync(popHwnd_);
    const ui::Bounds strip = Picture1.GetBounds();
    fullHeight_ = nonClient + (strip.y + strip.height + 2) * Tpy();
  } else {
    asxToolbar1.SetVisible(false);
    CloseDetector(false, true);
    fullHeight_ = basicHeight_;
  }
}

bool PopUpDetectorScrFrmForm::CursorOn(const RECT& r, POINT p) const {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void PopUpDetectorScrFrmForm::Timer1_Timer() {
  if (!Loaded()) return;
  const POINT cursor = Cursor();
  if (height_ < basicHeight_) {
    const int32_t step = basicHeight_ / 8;
    Place(top_ - step, height_ + step, false);
  } else {
    const RECT own = ScreenRectOf(hwnd());
    const bool compactAway = tag_ == "1" && !CursorOn(own, cursor);
    Place(finalTop_, compactAway ? basicHeight_ : fullHeight_, false);
    if (!firstTimeShown_) {
      firstTimeShown_ = true;
      if (noticeseams::ShowFirstTimeFn(1, this)) startTick_ = Now() + 1000;
    }
  }
  const RECT own = ScreenRectOf(hwnd());
  // A stamp set into the future (after the explanation) counts as not yet due.
  if (!CursorOn(own, cursor) && static_cast<int32_t>(Now() - startTick_) >= static_cast<int32_t>(kAutoCloseMs)) {
    CloseDetector(false, false);
    return;
  }
  if (!popHwnd_) return;
  if (!CursorOn(ScreenRectOf(Picture1.hwnd()), cursor)) {
    // Not only after a peek: a browser may show its pop-up again on its own, and the
    // held pop-up must stay out of sight for as long as the notice holds it.
    if (peekShown_ || IsWindowVisible(popHwnd_)) HideAsync(popHwnd_);
    peekShown_ = false;
  }
  if (Check_URL()) CloseDetector(true, false);
}

void PopUpDetectorScrFrmForm::Picture1_MouseMove() {
  if (!popHwnd_ || peekShown_) return;
  SkipNextScan = true;
  peekShown_ = true;
  ShowInFront(popHwnd_);
}

void PopUpDetectorScrFrmForm::CloseDetector(bool Show, bool KeepNotice) {
  if (!KeepNotice && hwnd()) Hide();
  if (!popHwnd_) return;
  const HWND pop = popHwnd_;
  popHwnd_ = nullptr;
  peekShown_ = false;
  if (Show) {
    ShowInFront(pop);
  } else if (isWebDialog_) {
    AddBlockedWebDialog(pop, popTitle_);
  } else {
    const bool listed = browserIdx_ >= 0 && browserIdx_ < BrowsersLst_Total;
    AddBlockedPopUp(pop, listed ? Browsers[browserIdx_].Path : "", popTitle_);
  }
}

bool PopUpDetectorScrFrmForm::Check_URL() {
  // A closed pop-up reads as no title: the last one read stays.
  const std::string title = GetWndTitle(popHwnd_);
  if (!title.empty()) popTitle_ = title;
  if (popTitle_ != lastTitle_) {
    if (IsInWhiteList(1, popTitle_) || IsPreDefinedWhite(1, popTitle_, browserIdx_, popHwnd_)) return true;
    WriteTitleLine(popTitle_);
    lastTitle_ = popTitle_;
  }
  if (FoundURL.empty() || FoundURL == "about:blank") EnumChildWindows(popHwnd_, EnumURLChildProc, 0);
  if (!FoundURL.empty() && FoundURL != "about:blank" && !urlChecked_) {
    if (IsInWhiteList(0, FoundURL) || FileExists(FoundURL) || IsPreDefinedWhite(0, FoundURL, browserIdx_, nullptr))
      return true;
    urlChecked_ = true;
  }
  WriteAddressLine(FoundURL);
  return false;
}

void PopUpDetectorScrFrmForm::WriteTitleLine(const std::string& title) {
  WnNameLbl.SetText((tag_ == "0" ? "Window Name:        " : " ") + title);
}

void PopUpDetectorScrFrmForm::WriteAddressLine(const std::string& address) {
  URLLbl.SetText((tag_ == "0" ? "URL:      " : " ") + address);
}

void PopUpDetectorScrFrmForm::asxToolbar1_ButtonClick(int index) {
  switch (index) {
    case 1:
      CloseDetector(true, false);
      break;
    case 2: {
      const std::string url = FoundURL, title = popTitle_;
      CloseDetector(true, false);
      AddWhiteFrm.ShowAddWhiteFrm(url, title);
      break;
    }
    case 3:
      CloseDetector(false, false);
      break;
  }
}

void PopUpDetectorScrFrmForm::asxToolbarClose_ButtonClick(int index) {
  switch (index) {
    case 1: {
      mnuSettingsBar.Popup(*this, *mnuSettings, Cursor());
      break;
    }
    case 2: {
      SaveSetting(ProgramTitle, "PopUp", "PopScreen", tag_ == "0" ? "1" : "0");
      AdjustControlsPositions();
      UpdateCurrentHeight();
      finalTop_ = bottomLine_ - fullHeight_;
      Place(finalTop_, tag_ == "1" ? basicHeight_ : fullHeight_, false);
      WriteAddressLine(FoundURL);
      WriteTitleLine(popTitle_);
      break;
    }
    case 3:
      CloseDetector(false, false);
      break;
  }
}

void PopUpDetectorScrFrmForm::mnuSettingsItems_Click(int index) {
  if (index == 0) {
    // A web page dialog has no browser entry: the dialog then opens to add one.
    AddBrowserFrm.ShowModifyBrowserFrm(isWebDialog_ ? 0 : static_cast<int16_t>(browserIdx_ + 1));
  } else {
    ShowOptions(6);
  }
}

void PopUpDetectorScrFrmForm::StartDrag(ui::Control& handle, int button) {
  if (button != 1) return;
  dragging_ = &handle;
  dragCursor_ = Cursor();
  dragWindow_ = {left_, top_};
  SetCapture(handle.hwnd());
}

void PopUpDetectorScrFrmForm::Drag(int button) {
  if (!dragging_ || !(button & 1)) return;
  const POINT p = Cursor();
  left_ = dragWindow_.x + (p.x - dragCursor_.x) * Tpx();
  const int32_t top = dragWindow_.y + (p.y - dragCursor_.y) * Tpy();
  Place(top, height_, false);
  bottomLine_ = top + fullHeight_;
  finalTop_ = top;
}

void PopUpDetectorScrFrmForm::EndDrag() {
  if (!dragging_) return;
  dragging_ = nullptr;
  ReleaseCapture();
}

void PopUpDetectorScrFrmForm::Form_Unload(bool& cancel) {
  if (!Visible()) return;
  CloseDetector(false, false);
  cancel = true;
}

LRESULT PopUpDetectorScrFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The notice never takes the focus from the program the user works in.
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return Window::WndProc(msg, wp, lp);
}

void PopUpDetectorScrFrmForm::ResetRunState() {
  firstTimeShown_ = false;
  if (Loaded()) CloseDetector(false, false);
  popHwnd_ = nullptr;
  peekShown_ = false;
  dragging_ = nullptr;
  if (Loaded()) AdjustControlsPositions();
}
