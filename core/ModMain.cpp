#include "ModMain.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "CancelEvent.h"
#include "ImageList.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ListView.h"
#include "Logfrm.h"
#include "LoopSeams.h"
#include "Mainfrm.h"
#include "ModMainLoop.h"
#include "ModMediaCheck.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "Window.h"

const char* const ProgramTitle = "Quillon Pro";
const char* const ProductWebSite = "http://www.quillonpro.example";

bool IsExiting = false;
bool CancelFlag = false;
bool SessionEnding = false;

std::string MsgText;
int16_t MsgStyle = 0;
int16_t MsgResponse = 0;

int16_t ShowMsg(HWND owner) {
  MsgResponse = static_cast<int16_t>(MsgBox(MsgText, static_cast<UINT>(MsgStyle), owner));
  return MsgResponse;
}

int MsgBox(const std::string& text, UINT style, HWND owner) {
  return seams::MessageBoxFn(owner, text, ProgramTitle, style);
}

void OpenUrl(const std::string& address, int showCommand) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  seams::ShellRequest request;
  request.verb = "Open";
  request.file = address;
  request.show = showCommand;
  seams::ShellExecuteFn(request);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

std::vector<COLORREF> GradientBands(int r1, int g1, int b1, int r2, int g2, int b2) {
  auto channel = [](double v) {
    double r = vb::RoundHalfEven(v);
    return static_cast<BYTE>(r > 255 ? 255 : r < 0 ? 0 : r);
  };
  const double dr = std::abs(r2 - r1) / 255.0, dg = std::abs(g2 - g1) / 255.0,
               db = std::abs(b2 - b1) / 255.0;
  double r = r1, g = g1, b = b1;
  std::vector<COLORREF> bands(256);
  for (COLORREF& band : bands) {
    band = RGB(channel(r), channel(g), channel(b));
    r += dr;
    g += dg;
    b += db;
  }
  return bands;
}

void PaintGradient(ui::Window& target, int r1, int g1, int b1, int r2, int g2, int b2) {
  target.SetBackgroundBands(GradientBands(r1, g1, b1, r2, g2, b2));
}

bool FirstShowDone = false;
NOTIFYICONDATAA TrayIconData = {};

std::string FindText;
int16_t MatchCase = 0;
int16_t FindDirection = 1;
int32_t LastFoundPos = 0;
bool FindTextChanged = false;

namespace {

// The hook library of the program monitor, already loaded when its hook runs.
void StopRiskMonitorHook() {
  HMODULE brackel = GetModuleHandleA("Brackel.dll");
  if (!brackel) return;
  using InstallHookFn = long(WINAPI*)(long mode, HWND window);
  if (auto install = reinterpret_cast<InstallHookFn>(GetProcAddress(brackel, "InstallHook")))
    install(0, CancelEvent.hwnd());
}

// Help windows can only be open when the help library is loaded.
void CloseHelpWindows() {
  HMODULE help = GetModuleHandleA("hhctrl.ocx");
  if (!help) return;
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  if (auto htmlHelp = reinterpret_cast<HtmlHelpFn>(GetProcAddress(help, "HtmlHelpA")))
    htmlHelp(InterfaceFrm.hwnd(), "", 0x12 /* HH_CLOSE_ALL */, 0);
}

HICON FrameIcon() {
  HWND frame = InterfaceFrm.hwnd();
  auto icon = reinterpret_cast<HICON>(SendMessageA(frame, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(frame, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  return icon;
}

}  // namespace

void EndProgram() {
  if (InterfaceFrm.Loaded()) InterfaceFrm.Hide();
  CleanUpOnExit();
  if (SessionEnding && DriveCheck) CheckDrivesForMedia("all");
  seams::EndProcessFn(0);
}

void CleanUpOnExit() {
  IsExiting = true;
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  Toolbar = InterfaceFrm.ButtonPressed("ToolBar");
  if (Toolbar) {
    bool cancel = false;
    InfoBarFrm.Form_Unload(cancel);  // the bar's state goes into the globals saved next
  }
  SaveGeneralSettings();
  CloseHelpWindows();
  RemoveTrayIcon();
  UnregisterHotKey(Mainfrm.hwnd(), kHotKeyId);
  UnregisterHotKey(InterfaceFrm.hwnd(), kHotKeyId);
  // Only a connection whose start was handled is recorded as the last one.
  if ((loopseams::DialUpConnectedFn() || LANCon == 1) && !(ConnectionPending && LanStartPending))
    OnInternetDisconnected();
  SaveSettings();
  ReleaseSysInfo();
  RemovePopUpHook();
  if (IsWinNTFlag) StopRiskMonitorHook();
  InterfaceFrm.Unload();
  Mainfrm.Unload();
}

void SetMessengerService() {
  seams::ShellRequest request;
  request.file = "net";
  request.parameters = BlockMessenger ? "stop messenger" : "start messenger";
  request.show = SW_HIDE;
  seams::ShellExecuteFn(request);
}

void ShowFrm(ui::Window& form) {
  form.Show();
  if (InterfaceFrm.mnuSettingsTop && InterfaceFrm.mnuSettingsTop->Checked())
    SetWindowPos(form.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ForceForeground(form.hwnd(), false);
}

void ShowInterfaceFrm() {
  const bool wasVisible = InterfaceFrm.Visible();
  InterfaceFrm.Show();
  ForceForeground(InterfaceFrm.hwnd(), false);
  RedrawWindow(InterfaceFrm.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (!FirstShowDone) {
    InterfaceFrm.ClickPageButton("Quillon");
    FirstShowDone = true;
  }
  if (!wasVisible) {
    ResetPerfTimer();
    InterfaceFrm.RefreshNow();
  }
  ShowFrm(InterfaceFrm);
}

void AddTrayIcon() {
  if (!InterfaceFrm.Load()) return;
  TrayIconData = NOTIFYICONDATAA();
  TrayIconData.cbSize = kTrayIconDataSize;
  TrayIconData.hWnd = InterfaceFrm.hwnd();
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
  data.hWnd = InterfaceFrm.hwnd();
  data.uID = 1;
  Shell_NotifyIconA(NIM_DELETE, &data);
}

HWND WndFromCursor() {
  POINT p = {};
  seams::CursorPosFn(&p);
  return WindowFromPoint(p);
}

void ShowOnlineHelp(const std::string& /*topic*/) {
  // One help page serves every topic.
  OpenUrl(std::string(ProductWebSite) + "/online_help.htm", SW_SHOWNORMAL);
}

void SetHintText(const std::string& text) { InterfaceFrm.lblOnLineHelp.SetText(text); }

int32_t FindInText(const std::string& text, int32_t caret) {
  if (FindText.empty()) return -1;
  const std::string haystack = MatchCase ? text : vb::UCase(text);
  const std::string needle = MatchCase ? FindText : vb::UCase(FindText);
  const bool down = FindDirection == 1;
  int64_t start = caret;
  if (caret == LastFoundPos && !FindTextChanged) start += down ? 1 : -1;  // not the same hit again
  if (down) {
    if (start < 0) start = 0;
    if (start > static_cast<int64_t>(haystack.size())) return -1;
    size_t hit = haystack.find(needle, static_cast<size_t>(start));
    return hit == std::string::npos ? -1 : static_cast<int32_t>(hit);
  }
  // Upwards: hits that begin at the start position or before it, nearest first.
  const int64_t last = static_cast<int64_t>(haystack.size()) - static_cast<int64_t>(needle.size());
  for (int64_t i = std::min(start, last); i >= 0; --i)
    if (haystack.compare(static_cast<size_t>(i), needle.size(), needle) == 0) return static_cast<int32_t>(i);
  return -1;
}

void FindInLog() {
  Logfrm.Load();
  const int32_t caret = Logfrm.SelStart();
  const int32_t hit = FindInText(Logfrm.txtLog.Text(), caret);
  if (hit < 0) {
    MsgBox("Cannot find \"" + FindText + "\"", MB_OK, Logfrm.hwnd());
    return;
  }
  Logfrm.Select(hit, static_cast<int32_t>(FindText.size()));
  LastFoundPos = Logfrm.SelStart();
  FindTextChanged = false;
}

void ResetImageList(ui::ListView& list, ui::ImageList& images, bool large) {
  if (list.hwnd()) {
    SendMessageA(list.hwnd(), LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    SendMessageA(list.hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
  }
  images.Clear();
  const int size = large ? 32 : 16;
  images.SetImageSize(size, size);
}

void AddIconToImageList(ui::ImageList& images, HICON icon, const std::string& key) { images.Add(icon, key); }

void AttachImageList(ui::ListView& list, ui::ImageList& images, bool large) {
  if (images.Count() < 1 || !list.hwnd()) return;
  SendMessageA(list.hwnd(), LVM_SETIMAGELIST, large ? LVSIL_NORMAL : LVSIL_SMALL,
               reinterpret_cast<LPARAM>(images.handle()));
  for (int row = 0; row < list.ItemCount(); ++row) list.SetSmallIcon(row, list.SmallIcon(row));
}

void SetNumberStyle(ui::TextBox& box, bool on) { box.SetNumberStyle(on); }

void SetFlatToolbar(HWND toolbar) {
  const LRESULT style = SendMessageA(toolbar, TB_GETSTYLE, 0, 0);
  SendMessageA(toolbar, TB_SETSTYLE, 0, style | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string GetWinDir() {
  char buf[200];
  UINT n = GetWindowsDirectoryA(buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::string GetSysDir() {
  char buf[255];
  UINT n = GetSystemDirectoryA(buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::string GetFileNameFromPath(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SecsToTimeStr(int32_t seconds) {
  const int32_t h = seconds / 3600;
  const int32_t m = (seconds % 3600) / 60;
  const int32_t s = seconds - 3600 * h - 60 * m;
  auto two = [](int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(h) + ":" + two(m) + ":" + two(s);
}

std::string GetWndClassName(HWND hwnd) {
  char buf[256];
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}
