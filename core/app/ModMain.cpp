#include "ModMain.h"

#include "PictureBox.h"
#include "Menu.h"
#include "Controls.h"
#include "ViewBindings.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "CancelEvent.h"
#include "ImageList.h"
#include "ListView.h"
#include "LoopSeams.h"
#include "ModMainLoop.h"
#include "ModPopHook.h"
#include "ModProcMon.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "Window.h"






void PaintGradient(ui::Window& target, int r1, int g1, int b1, int r2, int g2, int b2) {
  target.SetBackgroundBands(GradientBands(r1, g1, b1, r2, g2, b2));
}

void PaintGradient(ui::PictureBox& target, int r1, int g1, int b1, int r2, int g2, int b2) {
  target.Paint = [&target, bands = GradientBands(r1, g1, b1, r2, g2, b2)](HDC dc) {
    ui::PaintBands(dc, {0, 0, target.ScaleWidth(), target.ScaleHeight()}, bands);
  };
  target.Refresh();
}

bool FirstShowDone;
NOTIFYICONDATAA TrayIconData = {};

std::string FindText;
int16_t MatchCase;
int16_t FindDirection;
int32_t LastFoundPos;
bool FindTextChanged;

std::vector<std::string> HistoryLog;
int16_t HistoryCount;
bool TasksHistoryOnly = false;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetMainState() {
  FirstShowDone = false;
  FindText = std::string();
  MatchCase = 0;
  // The first find dialog opens on "Up".
  FindDirection = 0;
  LastFoundPos = 0;
  FindTextChanged = false;
  HistoryLog.clear();
  HistoryCount = 0;
  TasksHistoryOnly = false;
}
namespace {
const bool resetMainStateDone = (ResetMainState(), true);
}  // namespace

namespace {

// The program monitor's service stops and lets go of every process it hooked.
void StopRiskMonitorHook() { BrackelInstallHook(0, CancelEvent.hwnd()); }

// Help windows can only be open when the help library is loaded.
void CloseHelpWindows() {
  HMODULE help = GetModuleHandleA("hhctrl.ocx");
  if (!help) return;
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  if (auto htmlHelp = reinterpret_cast<HtmlHelpFn>(GetProcAddress(help, "HtmlHelpA")))
    htmlHelp(FrameHwnd(), "", 0x12 /* HH_CLOSE_ALL */, 0);
}

HICON FrameIcon() {
  HWND frame = FrameHwnd();
  auto icon = reinterpret_cast<HICON>(SendMessageA(frame, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(frame, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  return icon;
}

}  // namespace

void EndProgram() {
  HideView(Views.frame.form);
  CleanUpOnExit();
  if (SessionEnding && DriveCheck && Views.moreTools.CheckDrivesForMedia) Views.moreTools.CheckDrivesForMedia("all");
  seams::EndProcessFn(0);
}

void CleanUpOnExit() {
  IsExiting = true;
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  if (Views.frame.ButtonPressed) Toolbar = Views.frame.ButtonPressed("ToolBar");
  // The bar's state goes into the globals saved next.
  if (Toolbar && Views.trackerBar.Unload) Views.trackerBar.Unload();
  SaveGeneralSettings();
  CloseHelpWindows();
  RemoveTrayIcon();
  UnregisterHotKey(BoundHwnd(Views.lists.form), kHotKeyId);
  UnregisterHotKey(FrameHwnd(), kHotKeyId);
  // Only a connection whose start was handled is recorded as the last one.
  if ((loopseams::DialUpConnectedFn() || LANCon == 1) && !(ConnectionPending && LanStartPending))
    OnInternetDisconnected();
  SaveSettings();
  ReleaseSysInfo();
  RemovePopUpHook();
  ReleasePopUpNotice();
  if (IsWinNTFlag) StopRiskMonitorHook();
  if (Views.frame.form) Views.frame.form->Unload();
  if (Views.lists.form) Views.lists.form->Unload();
}

void SetMessengerService() {
  seams::ShellRequest request;
  request.file = "net";
  request.parameters = BlockMessenger ? "stop messenger" : "start messenger";
  request.show = SW_HIDE;
  seams::ShellExecuteFn(request);
}

void ShowFrm(ui::Window* form) {
  if (form) ShowFrm(*form);
}

void ShowFrm(ui::Window& form) {
  form.Show();
  if (AlwaysOnTop)
    SetWindowPos(form.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ForceForeground(form.hwnd(), false);
}

PageRefreshesLater::PageRefreshesLater() { Set(true); }
PageRefreshesLater::~PageRefreshesLater() { Set(false); }
void PageRefreshesLater::Set(bool on) {
  if (Views.frame.DeferRefreshes) Views.frame.DeferRefreshes(on);
}

void ShowInterfaceFrm() {
  ui::Window* frame = Views.frame.form;
  if (!frame) return;
  const bool wasVisible = frame->Visible();
  // The frame and its page show at once; the page's contents follow as one message of
  // their own once all of this is done: the frame's new size, the first-time page
  // button and the refresh below all ask for the same refresh, and it is posted after
  // the foreground change's message (it once ran inside that change, which serves
  // messages while it reads the processes).
  PageRefreshesLater later;
  frame->Show();
  // The foreground change first asks whether any window hangs, which reads every
  // process: it runs as the next message, after the frame is up, and before the
  // page's refresh, which then finds the processes just read.
  PostMessageA(frame->hwnd(), kBringFrameForwardMsg, 0, 0);
  // Painted as the next messages run, not inside this call.
  RedrawWindow(frame->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  if (!FirstShowDone) {
    if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("Quillon");
    FirstShowDone = true;
  }
  if (!wasVisible) {
    ResetPerfTimer();
    if (Views.frame.RefreshNow) Views.frame.RefreshNow();
  }
}

void BringInterfaceFrmForward() {
  ui::Window* frame = Views.frame.form;
  // Hidden again meanwhile (the exit, a close): there is nothing to bring forward.
  if (!frame || !frame->Visible()) return;
  ForceForeground(frame->hwnd(), false);
  ShowFrm(*frame);
}

void AddTrayIcon() {
  if (!LoadView(Views.frame.form)) return;
  TrayIconData = NOTIFYICONDATAA();
  TrayIconData.cbSize = kTrayIconDataSize;
  TrayIconData.hWnd = FrameHwnd();
  TrayIconData.uID = 1;
  TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData.uCallbackMessage = WM_RBUTTONUP;
  TrayIconData.hIcon = FrameIcon();
  std::strncpy(TrayIconData.szTip, ProgramTitle, 63);
  Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

void RemoveTrayIcon() {
  NOTIFYICONDATAA data = {};
  data.cbSize = kTrayIconDataSize;
  data.hWnd = FrameHwnd();
  data.uID = 1;
  Shell_NotifyIconA(NIM_DELETE, &data);
}



void SetHintText(const std::string& text) {
  if (Views.frame.lblOnLineHelp) Views.frame.lblOnLineHelp->SetText(text);
}

int32_t FindInText(const std::string& text, int32_t caret) {
  if (FindText.empty()) return -1;
  const std::string haystack = MatchCase ? text : vb::UCase(text);
  const std::string needle = MatchCase ? FindText : vb::UCase(FindText);
  const bool down = FindDirection == 1;
  if (down) {
    int64_t start = caret;
    if (caret == LastFoundPos && !FindTextChanged) ++start;  // not the same hit again
    if (start < 0) start = 0;
    if (start > static_cast<int64_t>(haystack.size())) return -1;
    size_t hit = haystack.find(needle, static_cast<size_t>(start));
    return hit == std::string::npos ? -1 : static_cast<int32_t>(hit);
  }
  // Upwards: the nearest hit that begins before the caret, so a selected hit is not
  // found again and one just before the caret is not skipped.
  const int64_t last = static_cast<int64_t>(haystack.size()) - static_cast<int64_t>(needle.size());
  for (int64_t i = std::min<int64_t>(caret - 1, last); i >= 0; --i)
    if (haystack.compare(static_cast<size_t>(i), needle.size(), needle) == 0) return static_cast<int32_t>(i);
  return -1;
}

void ResetImageList(ui::ListView& list, ui::ImageList& images, bool large) {
  list.SetImageList(LVSIL_NORMAL, nullptr);
  list.SetImageList(LVSIL_SMALL, nullptr);
  images.Clear();
  const int size = large ? 32 : 16;
  images.SetImageSize(size, size);
}

void AddIconToImageList(ui::ImageList& images, HICON icon, const std::string& key) { images.Add(icon, key); }

void AttachImageList(ui::ListView& list, ui::ImageList& images, bool large) {
  if (images.Count() < 1 || !list.hwnd()) return;
  list.SetImageList(large ? LVSIL_NORMAL : LVSIL_SMALL, images.handle());
  for (int row = 0; row < list.ItemCount(); ++row) list.SetSmallIcon(row, list.SmallIcon(row));
}

void SetNumberStyle(ui::TextBox& box, bool on) { box.SetNumberStyle(on); }

void SetFlatToolbar(HWND toolbar) {
  const LRESULT style = SendMessageA(toolbar, TB_GETSTYLE, 0, 0);
  SendMessageA(toolbar, TB_SETSTYLE, 0, style | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
}






