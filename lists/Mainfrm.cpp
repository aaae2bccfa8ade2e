#include "Mainfrm.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_set>

#include "ApplyGlobalSettings.h"
#include "Gdi.h"
#include "ListColumns.h"
#include "MainfrmPictures.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"

MainfrmForm Mainfrm;

static std::string ColumnKeys(const ui::ListView& list);

const char kNoneValue[] = "?_none_?";

namespace {

// A command button holds its picture and a one-word caption; the mode buttons the same.
const SIZE kCommandButton = {72, 44};
const SIZE kModeButton = {46, 44};

std::string Lower(std::string text) { return vb::LCase(std::move(text)); }

// A column's place in its family's table (its key "K<place>"): the row values are
// laid out by place.
int FieldOfColumn(const ui::ListView& list, int column) {
  const std::string key = list.ColumnKey(column);
  return key.size() > 1 ? static_cast<int>(vb::Val(key.substr(1))) : -1;
}

const std::vector<ListColumn>& ProgramColumns() { return ListColumns(ColumnList::kPrograms, IsWinNTFlag); }
const std::vector<ListColumn>& WindowColumns() { return ListColumns(ColumnList::kWindows, IsWinNTFlag); }

// The selected rows' keys, taken before a reload and given back after it: a row keeps
// its selection while its key is listed.
std::vector<std::string> SelectedKeysOf(const ui::ListView& list) {
  std::vector<std::string> keys;
  for (int row : list.SelectedRows()) keys.push_back(list.Key(row));
  return keys;
}

void Reselect(ui::ListView& list, const std::vector<std::string>& keys) {
  for (int row = 0; row < list.ItemCount(); ++row)
    list.SetSelected(row, std::find(keys.begin(), keys.end(), list.Key(row)) != keys.end());
}

struct MergeOutcome {
  bool added = false;
  bool removed = false;
};

// Merges a list with its source of `count` entries, row by key: an entry whose key is
// listed is written by `update`; the others go to `add` after every update, in the
// source's order (a new row may let events run, and cells written after it would
// paint meanwhile), and `add` says whether it listed a row. Rows no entry met go.
MergeOutcome MergeByKey(ui::ListView& list, int count, const std::function<std::string(int)>& keyOf,
                        const std::function<void(int entry, int row)>& update,
                        const std::function<bool(int entry)>& add) {
  const std::string kMet = "F";
  std::vector<int> unlisted;
  for (int entry = 0; entry < count; ++entry) {
    const int row = list.FindKey(keyOf(entry));
    if (row < 0) {
      unlisted.push_back(entry);
      continue;
    }
    update(entry, row);
    list.SetTag(row, kMet);
  }
  MergeOutcome outcome;
  for (int entry : unlisted) {
    if (!add(entry)) continue;
    list.SetTag(list.ItemCount() - 1, kMet);
    outcome.added = true;
  }
  for (int row = 0; row < list.ItemCount(); ++row) {
    if (list.Tag(row).empty()) {
      list.RemoveItem(row--);
      outcome.removed = true;
      continue;
    }
    list.SetTag(row, "");
  }
  return outcome;
}

std::string YesNo(bool on, const char* yes, const char* no) { return on ? yes : no; }

const UINT_PTR kSliceTimer = 34;
const UINT kReadShownMsg = WM_APP + 34;

// The facts of a window that is new to the list.
std::vector<std::string> WndValues(HWND hwnd) {
  WndInfo info;
  DWORD owner = 0;
  const DWORD thread = GetWindowThreadProcessId(hwnd, &owner);
  if (owner != GetCurrentProcessId()) {
    GetWndInfo(kWndFillCurWnd, WndHandleText(hwnd));
    info = CurWnd;
  } else if (IsWindow(hwnd)) {
    // This program never lists itself, so the owner's path of its own windows is
    // never in the cache: the record's wait and walk for a new program would be lost.
    info.ExeFile = AppExePath;
    info.ProcessId = owner;
    info.ThreadId = thread;
    info.Title = GetWndTitle(hwnd);
    info.Position = GetWndPosition(hwnd);
    if (IsWndResponding(hwnd, false)) {
      info.Responding = true;
      info.Enabled = IsWindowEnabled(hwnd) != FALSE;
      info.Visible = IsWindowVisible(hwnd) != FALSE;
      info.OnTop = IsWndOnTop(hwnd);
    }
  }
  std::vector<std::string> v(WindowColumns().size(), kNoneValue);
  v[kWndColName] = info.Title;
  v[kWndColStatus] = YesNo(info.Responding, "Responding", "Not Responding");
  v[kWndColVisible] = YesNo(info.Visible, "Visible", "Invisible");
  v[kWndColOnTop] = YesNo(info.OnTop, "Always On Top", "Normal Order");
  v[kWndColEnabled] = YesNo(info.Enabled, "Enabled", "Disabled");
  v[kWndColPosition] = info.Position;
  v[kWndColHandle] = WndHandleText(hwnd);
  v[kWndColExeFile] = info.ExeFile;
  v[kWndColProcessId] = std::to_string(info.ProcessId);
  v[kWndColThreadId] = std::to_string(info.ThreadId);
  return v;
}

// The six facts of a listed window for a timed merge (not the owner's path, which may
// cost a walk and a pause for a new window), read as cheaply as the platform allows:
// under Wine every call about another program's window is a trip to the
// server, and the responding test a trip through the owner's message queue.
// A thread answers for all its windows, so `answer` probes each thread at most once
// per tick; it has no answer (-1) for a thread it may not probe and has never
// probed, and the status cell then stays as it is. The styles give
// enabled, visible (a top-level window's parent is the desktop) and on-top, and the
// table's rebuild just before has read them already.
std::vector<std::string> MergedWndValues(HWND hwnd, const std::function<int(HWND, DWORD)>& answer) {
  std::vector<std::string> v(WindowColumns().size(), kNoneValue);
  DWORD thread = WndTableThread(hwnd);
  if (!thread) thread = GetWindowThreadProcessId(hwnd, nullptr);
  v[kWndColName] = GetWndTitle(hwnd);
  v[kWndColPosition] = GetWndPosition(hwnd);
  // A window that is gone has no rectangle; it shows as the full record shows it.
  int responding = 0;
  LONG style = 0, ex = 0;
  if (thread && !v[kWndColPosition].empty()) {
    responding = answer(hwnd, thread);
    if (!WndTableStyles(hwnd, &style, &ex)) {
      style = GetWindowLongA(hwnd, GWL_STYLE);
      ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    }
  }
  if (responding == 0) style = ex = 0;  // as the full record shows a hung window
  if (responding >= 0) v[kWndColStatus] = YesNo(responding == 1, "Responding", "Not Responding");
  v[kWndColEnabled] = YesNo(responding != 0 && !(style & WS_DISABLED), "Enabled", "Disabled");
  v[kWndColVisible] = YesNo((style & WS_VISIBLE) != 0, "Visible", "Invisible");
  v[kWndColOnTop] = YesNo((ex & WS_EX_TOPMOST) != 0, "Always On Top", "Normal Order");
  return v;
}

// The image list, and in the large-icon view a cell wide enough for the longest name.
// Wine spaces large icons by the icon's width alone, so neighbouring labels ran into
// each other and were cut: the cells are widened to the names (within bounds) and
// the rows placed again whenever the width changes.
void AttachIcons(ui::ListView& list, ui::ImageList& images, bool large) {
  AttachImageList(list, images, large);
  if (!large || !list.hwnd() || list.View() != LVS_ICON) return;
  const int kNarrowest = GetSystemMetrics(SM_CXICONSPACING), kWidest = 160;
  int width = kNarrowest;
  for (int row = 0; row < list.ItemCount(); ++row) width = std::max(width, list.HeaderTextWidth(list.ItemText(row)));
  width = std::min(width, kWidest);
  const int height = std::max(GetSystemMetrics(SM_CYICONSPACING), 32 + 2 * 14 + 12);
  const DWORD now = static_cast<DWORD>(SendMessageA(list.hwnd(), LVM_GETITEMSPACING, FALSE, 0));
  if (LOWORD(now) == width && HIWORD(now) == height) return;
  SendMessageA(list.hwnd(), LVM_SETICONSPACING, 0, MAKELPARAM(width, height));
  SendMessageA(list.hwnd(), LVM_ARRANGE, LVA_DEFAULT, 0);
}

}  // namespace

MainfrmForm::MainfrmForm()
    : Window({.caption = "Quillon", .style = WS_POPUP, .width = 600, .height = 400, .keyPreview = true}),
      AppLst(*this, {0, 0, 600, 200}),
      WndLst(*this, {0, 204, 600, 196}),
      ResizeBar(*this, {0, 200, 600, 4}),
      ProgBar1(*this, {0, 0, kCommandButton.cx, 180}, true, kCommandButton),
      ProgBar2(*this, {0, 0, kCommandButton.cx, 180}, true, kCommandButton),
      WndBar1(*this, {0, 0, kCommandButton.cx, 180}, true, kCommandButton),
      WndBar2(*this, {0, 0, kCommandButton.cx, 180}, true, kCommandButton),
      Toolbar3(*this, {0, 0, 2 * kModeButton.cx, kModeButton.cy}, false, kModeButton),
      WaitLbl(*this, {200, 150, 260, 24}, "Please wait ...", SS_CENTER) {
  mnuAppLst = &Menus.Add("AppLst");
  mnuWndLst = &Menus.Add("WndLst");
  const char* captions[3] = {"Lar&ge Icons", "S&mall Icons", "&Details"};
  for (int i = 0; i < 3; ++i) {
    mnuAppLstView[i] = &mnuAppLst->Add(captions[i]);
    mnuAppLstView[i]->Click = [this, i] { mnuAppLstView_Click(i); };
    mnuWndLstView[i] = &mnuWndLst->Add(captions[i]);
    mnuWndLstView[i]->Click = [this, i] { mnuWndLstView_Click(i); };
  }
  BuildCommandMenus();
  BuildBars();
  AppLst.ColumnClick = [this](int column) { Lists_ColumnClick(AppLst, column); };
  WndLst.ColumnClick = [this](int column) { Lists_ColumnClick(WndLst, column); };
  AppLst.ItemClick = [this](int) { Lists_ItemClick(AppLst, nullptr); };
  WndLst.ItemClick = [this](int) { Lists_ItemClick(WndLst, nullptr); };
  // The control has selected the row under the mouse by now; on no row there is
  // nothing to command.
  AppLst.RightClick = [this](int row, POINT at) {
    if (row >= 0) Lists_ItemClick(AppLst, &at);
  };
  WndLst.RightClick = [this](int row, POINT at) {
    if (row >= 0) Lists_ItemClick(WndLst, &at);
  };
  AppLst.DblClick = [this](int) { mnuProgsDetails_Click(); };
  WndLst.DblClick = [this](int) { mnuWndSwitch_Click(); };
  AppLst.MouseMove = [](int, int, int, int) { SetHintText("Running programs list"); };
  WndLst.MouseMove = [](int, int, int, int) { SetHintText("Open windows list"); };
  // The splitter holds the mouse from press to release: the pointer leaves its few
  // pixels at the first move of a drag, and the lists under it would take the moves.
  ResizeBar.MouseDown = [this](int button, int, int, int y) {
    if (button != 1) return;
    grabY_ = y;  // the bar keeps this point under the mouse
    SetCapture(ResizeBar.hwnd());
  };
  ResizeBar.MouseMove = [this](int button, int, int, int) {
    if (GetCapture() == ResizeBar.hwnd()) ResizeBar_MouseMove(button);
  };
  ResizeBar.MouseUp = [this](int, int, int, int) {
    if (GetCapture() == ResizeBar.hwnd()) ReleaseCapture();
  };
  // Rows scrolled or sized into view are read at once, after the paint that shows them.
  WndLst.ShownRowsChanged = [this] {
    if (shownReadPosted_ || !hwnd()) return;
    shownReadPosted_ = PostMessageA(hwnd(), kReadShownMsg, 0, 0) != FALSE;
  };
  ViewBindings::Lists& view = Views.lists;
  view.form = this;
  view.AppLst = &AppLst;
  view.WndLst = &WndLst;
  view.FastRef = &FastRef;
  view.Refreshing = &Refreshing;
  for (int i = 0; i < 3; ++i) {
    view.mnuAppLstView[i] = mnuAppLstView[i];
    view.mnuWndLstView[i] = mnuWndLstView[i];
  }
  view.DestroyAndRes = [](const std::string& path, bool restart) { return Mainfrm.DestroyAndRes(path, restart); };
  view.RefreshForReport = [] {
    Mainfrm.Load();
    Mainfrm.RefreshForReport();
  };
  view.ProgWndImgIndex = &ProgWndImgIndex;
}

MainfrmForm::~MainfrmForm() {
  for (auto& entry : memo_)
    for (HICON icon : entry.second.icons)
      if (icon) DestroyIcon(icon);
}

void MainfrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  // The bars turn white where a 16-bit display would dither the shared colour.
  int depth = 0;
  if (const ui::WindowDC dc(hwnd()); dc) depth = GetDeviceCaps(dc.get(), BITSPIXEL);
  const COLORREF bars = BarColourForDepth(depth);
  for (ui::ButtonBar* bar : {&ProgBar1, &ProgBar2, &WndBar1, &WndBar2}) bar->SetBackColor(bars);
  Toolbar3.SetBackColor(FormBackColor);
  Toolbar3.SetValue("All", true);
  ProgWndImgIndex = 2;
  ShowModePictures();
  WaitLbl.SetVisible(false);
  StartSlices();
  if (!IsWinNTFlag) {
    mnuProgsMonitorCPU->SetEnabled(false);
    ProgBar1.SetButtonEnabled("RiskMonitor", false);
  }
  Form_Resize();
}

COLORREF MainfrmForm::BarColourForDepth(int bitsPerPixel) {
  return bitsPerPixel == 16 ? RGB(255, 255, 255) : FormBackColor;
}

int MainfrmForm::SplitterHeight(int innerHeight, int wanted) {
  return innerHeight / 10 < wanted && wanted < innerHeight * 4 / 5 ? wanted : -1;
}

void MainfrmForm::BuildBars() {
  // Captions short enough for a bar's button; the tips say the whole command.
  struct Button {
    ui::ButtonBar* bar;
    const char* barName;
    const char* key;
    const char* caption;
    const char* tip;
    const char* hint;
  };
  const Button buttons[] = {
      {&ProgBar1, "ProgBar1", "Priority", "Priority", "Program Priority",
       "Change the priority (performance) of the selected Program(s)"},
      {&ProgBar1, "ProgBar1", "DestroyAndRes", "Restart", "Terminate And Restart",
       "Terminate and restart selected Program(s)"},
      {&ProgBar1, "ProgBar1", "Checkmrk", "Quarantine", "Send to / Manage the quarantine",
       "Terminate and send the selected program(s) to the quarantine / manage the quarantine"},
      {&ProgBar1, "ProgBar1", "RiskMonitor", "Monitor", "Monitor the process for risky behavior", ""},
      {&ProgBar2, "ProgBar2", "Destroy", "Terminate", "Terminate Program", "Terminate selected program(s)"},
      {&ProgBar2, "ProgBar2", "Details", "Details", "More Details", "Show details about selected program(s)"},
      {&ProgBar2, "ProgBar2", "SearchSpy", "Spyware", "Spyware Search",
       "Search top spyware databases for the selected program"},
      {&ProgBar2, "ProgBar2", "ListView", "Views", "Views", "Programs' List box properties"},
      {&WndBar1, "WndBar1", "Check", "Check", "Check Response", "Check selected window(s) response status"},
      {&WndBar1, "WndBar1", "Destroy", "Terminate", "Terminate", "Terminate selected window(s)"},
      {&WndBar1, "WndBar1", "ShowWnd", "Peek", "Show for few seconds",
       "Switch to selected window(s) for seconds (in order to know what this Window is)"},
      {&WndBar1, "WndBar1", "OnTop", "On Top", "Always-On-Top",
       "Set/Unset selected window(s) to be always on top of all the other windows."},
      {&WndBar2, "WndBar2", "Close", "Close", "Close Safely", "Close selected window(s) safely"},
      {&WndBar2, "WndBar2", "DestAndRes", "Restart", "Terminate And Restart",
       "Terminate and restart selected window(s)"},
      {&WndBar2, "WndBar2", "SwitchWnd", "Switch", "Show Window", "Switch to selected window(s)"},
      {&WndBar2, "WndBar2", "ListView", "Views", "Views", "Windows' list box properties"},
  };
  for (const Button& b : buttons) {
    b.bar->Add(b.key, b.caption, b.tip);
    b.bar->SetPicture(b.key, CommandPicture(b.barName, b.key), ui::kPictureMask);
  }
  for (ui::ButtonBar* bar : {&ProgBar1, &ProgBar2, &WndBar1, &WndBar2}) {
    bar->ButtonClick = [this, bar](int, const std::string& key) { BarClick(*bar, key); };
    bar->MouseOver = [this, bar, buttons](int, const std::string& key) {
      for (const Button& b : buttons)
        if (b.bar == bar && key == b.key) SetHintText(b.hint);
    };
  }
  // The "ProgWnd" button's caption says what it does in both of its modes; its
  // picture shows which way the lists are linked.
  Toolbar3.Add("ProgWnd", "Only", "Displays programs only or windows only, reclick it to inverse the arrow", 1);
  Toolbar3.Add("All", "All", "Displays programs and windows", 1);
  ShowModePictures();
  // A click is a message of its own: the mode's reload goes in steps.
  Toolbar3.ButtonClick = [this](int, const std::string& key) {
    stepsWanted_ = true;
    Toolbar3_ButtonClick(key);
    stepsWanted_ = false;
  };
  Toolbar3.MouseOver = [this](int, const std::string& key) { SetHintText(Toolbar3.ToolTip(key)); };
}

// A bar's pop-up opens at its left edge, level with the bottom of the button.
void MainfrmForm::PopupBeside(ui::ButtonBar& bar, int index, const ui::MenuItem& menu) {
  RECT r = bar.ButtonRect(index);
  POINT at = {r.left, r.bottom};
  ClientToScreen(bar.hwnd(), &at);
  Menus.Popup(*this, menu, at);
}

void MainfrmForm::BarClick(ui::ButtonBar& bar, const std::string& key) {
  const int index = bar.IndexOf(key);
  if (&bar == &ProgBar1) {
    if (key == "Priority") {
      if (AppLst.SelectedRows().empty()) return;
      bar.SetValue(index, true);
      PopupBeside(bar, index, *mnuPriorityMain);
      bar.SetValue(index, false);
    } else if (key == "DestroyAndRes") {
      KillApp(true);
    } else if (key == "Checkmrk") {
      PopupBeside(bar, index, *mnuProgsKillQrt);
      mnuProgsKillQrt->SetEnabled(true);
    } else if (key == "RiskMonitor") {
      mnuProgsMonitorCPU_Click();
    }
  } else if (&bar == &ProgBar2) {
    if (key == "Destroy") KillApp(false);
    else if (key == "Details") mnuProgsDetails_Click();
    else if (key == "SearchSpy") mnuProgsSpywareSearch_Click();
    else if (key == "ListView") PopupBeside(bar, index, *mnuAppLst);
  } else if (&bar == &WndBar1) {
    if (key == "Check") mnuWndCheckStatus_Click();
    else if (key == "Destroy") WndTerminate(false);
    else if (key == "ShowWnd") mnuWndShowForSeconds_Click();
    else if (key == "OnTop") mnuWndOnTop_Click();
  } else if (&bar == &WndBar2) {
    if (key == "Close") mnuWndClose_Click();
    else if (key == "DestAndRes") WndTerminate(true);
    else if (key == "SwitchWnd") mnuWndSwitch_Click();
    else if (key == "ListView") PopupBeside(bar, index, *mnuWndLst);
  }
}

// The "ProgWnd" button shows the mode's picture; the "All" button looks down while
// both lists show everything.
void MainfrmForm::ShowModePictures() {
  Toolbar3.SetPicture("ProgWnd", ModePicture(ProgWndImgIndex), ui::kPictureMask);
  const bool all = ProgWndImgIndex == 2 || ProgWndImgIndex == 4;
  Toolbar3.SetPicture("All", ModePicture(all ? 5 : 6), ui::kPictureMask);
}

// Each mode's reload is the refresh of that mode: it goes through RefreshMe, so it
// never runs inside another refresh (F5 pressed while it loads waits for its end).
void MainfrmForm::Toolbar3_ButtonClick(const std::string& key) {
  FastRef = false;
  if (key == "All") {
    if (ProgWndImgIndex == 2 || ProgWndImgIndex == 4) return;
    ProgWndImgIndex = ProgWndImgIndex == 1 ? 2 : 4;
    Toolbar3.SetValue("All", true);
    ShowModePictures();
    RefreshMe();
  } else if (key == "ProgWnd") {
    switch (ProgWndImgIndex) {
      case 2: ProgWndImgIndex = 1; break;
      case 4: ProgWndImgIndex = 3; break;
      case 1: ProgWndImgIndex = 3; break;
      default: ProgWndImgIndex = 1; break;
    }
    Toolbar3.SetValue("ProgWnd", true);
    ShowModePictures();
    RefreshMe();
  }
}

// Drags only with the left button held; the bars stay where they are.
void MainfrmForm::ResizeBar_MouseMove(int button) {
  if (!(button & 1)) return;
  POINT at;
  if (!GetCursorPos(&at) || !ScreenToClient(hwnd(), &at)) return;
  RECT inner;
  GetClientRect(hwnd(), &inner);
  RECT apps;
  GetWindowRect(AppLst.hwnd(), &apps);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&apps), 2);
  RECT windows;
  GetWindowRect(WndLst.hwnd(), &windows);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&windows), 2);
  const int height = SplitterHeight(inner.bottom, at.y - grabY_ - apps.top);
  if (height < 0) return;
  const int width = apps.right - apps.left;
  AppLst.Move({apps.left, apps.top, width, height});
  const int barTop = apps.top + height;
  ResizeBar.Move({apps.left, barTop, width, 5});
  // The window list keeps its bottom edge (the layout puts it at the page's bottom);
  // only its top follows the bar.
  const int top = barTop + 5;
  WndLst.Move({apps.left, top, width, windows.bottom - top});
}

void MainfrmForm::BuildCommandMenus() {
  mnuProgs = &Menus.Add("&Programs");
  auto add = [](ui::MenuItem* menu, const char* caption, std::function<void()> click) {
    menu->Add(caption).Click = std::move(click);
  };
  add(mnuProgs, "More &Details...", [this] { mnuProgsDetails_Click(); });
  mnuProgsMonitorCPU = &mnuProgs->Add("Monitor for &Risky Behavior");
  mnuProgsMonitorCPU->Click = [this] { mnuProgsMonitorCPU_Click(); };
  ui::MenuItem& performance = mnuProgs->Add("&Performance (Priority)");
  add(&performance, "&Increase Performance", [this] { ChangeSelectedPriority(1); });
  add(&performance, "&Decrease Performance", [this] { ChangeSelectedPriority(-1); });
  mnuProgsSendTo = &mnuProgs->Add("&Send To");
  add(mnuProgsSendTo, "&Windows Start-up", [this] { mnuProgsSendToStartUp_Click(); });
  add(mnuProgsSendTo, "Inter&net Start-up", [this] { mnuProgsInternet_Click(); });
  add(mnuProgsSendTo, "Pop-up &Browsers List", [this] { mnuProgsSendToBrowsers_Click(); });
  mnuProgs->Add("-");
  add(mnuProgs, "&Terminate", [this] { KillApp(false); });
  add(mnuProgs, "Terminate and &Restart", [this] { KillApp(true); });
  mnuProgsKillQrt = &mnuProgs->Add("&Quarantine");
  add(mnuProgsKillQrt, "&View Quarantine", [] { ShowFrm(Views.quarantine.form); });
  add(mnuProgsKillQrt, "Move to &Quarantine", [this] { mnuProgsMoveToQrt_Click(); });
  add(mnuProgs, "Sp&yware Search...", [this] { mnuProgsSpywareSearch_Click(); });
  mnuProgs->Add("-");
  add(mnuProgs, "&Copy Path", [this] {
    if (!AppLst.SelectedRows().empty()) mnuCopyPath_Click();
  });
  add(mnuProgs, "Sele&ct All", [this] { SelectAll(AppLst); });
  add(mnuProgs, "In&vert Selection", [this] { InvertSelection(AppLst); });
  mnuPriorityMain = &Menus.Add("PriorityMain");
  const char* levels[3] = {"&High", "&Normal", "&Idle"};
  for (int i = 0; i < 3; ++i) add(mnuPriorityMain, levels[i], [this, i] { SetSelectedPriority(2 - i); });

  mnuWnds = &Menus.Add("&Windows");
  add(mnuWnds, "&Close", [this] { mnuWndClose_Click(); });
  add(mnuWnds, "&Terminate", [this] { WndTerminate(false); });
  add(mnuWnds, "Terminate and &Restart", [this] { WndTerminate(true); });
  mnuWnds->Add("-");
  add(mnuWnds, "Check &Status", [this] { mnuWndCheckStatus_Click(); });
  mnuWnds->Add("-");
  add(mnuWnds, "Switch to &Window", [this] { mnuWndSwitch_Click(); });
  add(mnuWnds, "Switc&h to Window for seconds", [this] { mnuWndShowForSeconds_Click(); });
  mnuWnds->Add("-");
  add(mnuWnds, "Set/Unset Window &always on-top", [this] { mnuWndOnTop_Click(); });
  add(mnuWnds, "Show/H&ide Window", [this] { mnuWndShowHide_Click(); });
  mnuWnds->Add("-");
  add(mnuWnds, "Minimi&ze", [this] { mnuWndShowState_Click(SW_MINIMIZE); });
  add(mnuWnds, "Ma&ximize", [this] { mnuWndShowState_Click(SW_MAXIMIZE); });
  add(mnuWnds, "Norma&l", [this] { mnuWndShowState_Click(SW_SHOWNORMAL); });
  mnuWnds->Add("-");
  add(mnuWnds, "Copy Name and Han&dle", [this] { mnuWndCopyNameHandle_Click(); });
  add(mnuWnds, "Select All", [this] { SelectAll(WndLst); });
  add(mnuWnds, "Invert Selection", [this] { InvertSelection(WndLst); });
  mnuWnds->Add("-");
  add(mnuWnds, "Send to White List ...", [this] { mnuWndsSendToWhite_Click(); });
}

// F5 refreshes now (also while a list has the focus); the context-menu key opens the
// focused list's commands.
void MainfrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) {
    ShowOnlineHelp("Quillon");
    keyCode = 0;
  } else if (keyCode == VK_F5) {
    FastRef = false;
    RefreshMeInSteps();
    keyCode = 0;
  } else if (keyCode == VK_APPS) {
    ui::ListView& list = GetFocus() == WndLst.hwnd() ? WndLst : AppLst;
    // The menu opens at the chosen row, where the user's eyes are; with none chosen,
    // at the mouse.
    POINT at;
    GetCursorPos(&at);
    const int row = list.FocusedRow();
    RECT r = {LVIR_LABEL, 0, 0, 0};
    if (row >= 0 && list.Selected(row) &&
        SendMessageA(list.hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) {
      at = {r.left + 8, r.bottom};
      ClientToScreen(list.hwnd(), &at);
    }
    Lists_ItemClick(list, &at);
    keyCode = 0;
  }
}

// A row chosen in one list narrows the other in the modes that show only the chosen
// rows' partners (1 programs, 3 windows); a right button or the context-menu key then
// opens the list's commands, on the narrowed lists.
void MainfrmForm::Lists_ItemClick(ui::ListView& list, const POINT* menuAt) {
  const bool programs = &list == &AppLst;
  IsItemClick = true;
  try {
    if (ProgWndImgIndex == (programs ? 1 : 3)) RefreshMe();
  } catch (...) {
    IsItemClick = false;
    throw;
  }
  IsItemClick = false;
  if (menuAt) Menus.Popup(*this, programs ? *mnuProgs : *mnuWnds, *menuAt);
}

void MainfrmForm::Form_Resize() {
  RECT r;
  if (!GetClientRect(hwnd(), &r)) return;
  const SIZE bar = ProgBar1.ButtonsExtent();
  const int barWidth = std::max<int>(bar.cx, 52), barHeight = std::max<int>(bar.cy, 120);
  const int framesWidth = 2 * barWidth + 15;
  const int listWidth = std::max<int>(r.right - framesWidth - 15, 40);
  const int listHeight = std::max<int>(r.bottom / 2 - 5, 20);
  AppLst.Move({5, 5, listWidth, listHeight});
  const int wndTop = 5 + listHeight + 5;
  WndLst.Move({5, wndTop, listWidth, listHeight});
  ResizeBar.Move({5, 5 + listHeight, listWidth, 5});
  const int framesLeft = 5 + listWidth + 5;
  ProgBar1.Move({framesLeft + 5, 10, barWidth, barHeight});
  ProgBar2.Move({framesLeft + 10 + barWidth, 10, barWidth, barHeight});
  const int wndBarsTop = wndTop + listHeight - barHeight - 10 + 5;
  WndBar1.Move({framesLeft + 5, wndBarsTop, barWidth, barHeight});
  WndBar2.Move({framesLeft + 10 + barWidth, wndBarsTop, barWidth, barHeight});
  const SIZE modes = Toolbar3.ButtonsExtent();
  Toolbar3.Move({framesLeft - 4, r.bottom / 2 - modes.cy / 2, std::max<int>(modes.cx, 100), std::max<int>(modes.cy, 40)});
  WaitLbl.Move({5 + listWidth / 2 - 130, 5 + listHeight / 2 - 12, 260, 24});
}

void MainfrmForm::SetView(ui::ListView& list, ui::MenuItem* const* items, bool& largeIcon, int index) {
  for (int i = 0; i < 3; ++i) items[i]->SetChecked(false);
  static const DWORD kViews[3] = {LVS_ICON, LVS_SMALLICON, LVS_REPORT};
  if (index >= 0 && index <= 2) {
    largeIcon = index == 0;
    list.SetView(kViews[index]);
    items[index]->SetChecked(true);
  }
  FastRef = false;
  if (!IsStartingUp) RefreshMe();
}

void MainfrmForm::mnuAppLstView_Click(int index) {
  AppsLst = static_cast<int16_t>(index);
  SetView(AppLst, mnuAppLstView, AppLargeIcon, index);
}

void MainfrmForm::mnuWndLstView_Click(int index) {
  WndsLst = static_cast<int16_t>(index);
  SetView(WndLst, mnuWndLstView, WndLargeIcon, index);
}

// ---- Refresh

// The timed refresh runs only while the user works in the program, and not under an
// open menu of this thread (its loop runs the timers; the rows it was opened on stay).
bool MainfrmForm::TimedRefreshAllowed() const {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  if (GetGUIThreadInfo(GetCurrentThreadId(), &gui) && (gui.flags & GUI_INMENUMODE)) return false;
  HWND front = GetForegroundWindow();
  return front && (front == hwnd() || front == BoundHwnd(Views.frame.form));
}

void MainfrmForm::StartSlices() {
  slicing_ = SetTimer(hwnd(), kSliceTimer, kSliceMs, nullptr) != 0;
}

void MainfrmForm::RefreshMeInSteps() {
  stepsWanted_ = true;
  RefreshMe();
}

void MainfrmForm::RefreshMe() {
  const bool inSteps = stepsWanted_;
  stepsWanted_ = false;
  if (!slicing_) StartSlices();
  // Events run inside every loop of a refresh and of a command: a refresh asked from
  // one of them would rebuild the tables under the running loop. A command refreshes
  // at its end.
  if (CommandRunning) return;
  if (Refreshing) {
    // A full refresh asked meanwhile (F5, a view mode, a view style) runs once the
    // running one ends, so what it asked for is shown; the running one keeps its road.
    if (!FastRef) refreshAgain_ = true;
    // Between two steps no loop runs under this call: a reader that needs the lists
    // (a command's end, the report, the details) has the reload finished now.
    const bool reader = !inSteps && (!FastRef || refreshAnyway_);
    FastRef = runningFast_;
    if (step_ != Step::kNone && !inStep_ && reader) DrainSteps();
    return;
  }
  if (!FastRef) SaveSetting("Quillon", "tmp", "ProcChanged", "1");
  if (!FastRef || refreshAnyway_ || TimedRefreshAllowed()) {
    // A reload of both lists takes steps; the timed merge is cheap and runs at once.
    if (inSteps && ProgWndImgIndex != 1 && ProgWndImgIndex != 3 && !(AppIncremental() && WndIncremental())) {
      Refreshing = true;
      runningFast_ = FastRef;
      BeginSteps();
      return;
    }
    Refreshing = true;
    try {
      do {
        if (refreshAgain_) {
          refreshAgain_ = false;
          FastRef = false;
          SaveSetting("Quillon", "tmp", "ProcChanged", "1");
        }
        runningFast_ = FastRef;
        if (ProgWndImgIndex == 1)
          DoProgWndOpt();
        else if (ProgWndImgIndex == 3)
          DoWndProgOpt();
        else
          DoAllWndOpt();
      } while (refreshAgain_);
    } catch (...) {
      Refreshing = false;
      refreshAgain_ = false;
      throw;
    }
    Refreshing = false;
  }
  // Options applied meanwhile change the columns only now, between refreshes; the
  // next refresh then takes the full road (the cells follow the new columns).
  ApplyPendingColumns();
}

// ---- The reload in steps
//
// Each step is one message to the page: the process walk, its memory figures a share
// at a time, the start-up list, the program rows a share at a time, the window table
// and its rows a share at a time.
// The next step comes by a timer, not a posted message: the system makes a timer's
// message only when no input, posted message or paint waits, so the user's keys and
// clicks and the paints go between the steps. The lists keep their redraw off while
// their rows go in, and the wait text stays up, as in the reload of one piece.

const UINT_PTR kStepTimer = 35;

void MainfrmForm::BeginSteps() { NextStep(Step::kProcesses); }

void MainfrmForm::NextStep(Step step) {
  step_ = step;
  if (step == Step::kNone || draining_) return;
  // Without its timer the chain would stop with Refreshing set for good.
  if (!hwnd() || !SetTimer(hwnd(), kStepTimer, USER_TIMER_MINIMUM, nullptr)) DrainSteps();
}

void MainfrmForm::DrainSteps() {
  if (draining_ || inStep_) return;
  draining_ = true;
  try {
    while (step_ != Step::kNone) RunStep();
  } catch (...) {
    draining_ = false;
    throw;
  }
  draining_ = false;
}

void MainfrmForm::AbandonSteps() {
  if (step_ != Step::kNone && hwnd()) KillTimer(hwnd(), kStepTimer);
  step_ = Step::kNone;
  rowsQuiet_.reset();
  keptSelection_.clear();
  Refreshing = inStep_ = false;
  refreshAgain_ = false;
}

void MainfrmForm::RunStep() {
  const DWORD deadline = GetTickCount() + kStepBudgetMs;
  inStep_ = true;
  try {
    switch (step_) {
      case Step::kNone:
        break;
      case Step::kProcesses:
        FastRef = runningFast_;
        if (AppIncremental()) {
          RefAppList();
          NextStep(Step::kWindows);
          break;
        }
        AppLst.SetSorted(false);
        appColumns_ = ColumnKeys(AppLst);
        // The wait text is painted before the walk, in the pause between the steps.
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        WaitLbl.SetText("Reading Processes ... Please wait...");
        WaitLbl.SetVisible(true);
        NextStep(Step::kWalk);
        break;
      case Step::kWalk:
        // The memory figures, each a question the process answers itself, follow in
        // shares of their own.
        DeferMemoryFigures = true;
        try {
          ReadPrograms();
        } catch (...) {
          DeferMemoryFigures = false;
          throw;
        }
        DeferMemoryFigures = false;
        NextStep(Step::kMemory);
        break;
      case Step::kMemory:
        NextStep(ReadOwedMemoryFigures(deadline) ? Step::kStartUp : Step::kMemory);
        break;
      case Step::kStartUp:
        RefreshStartUpList();
        BeginProgramRows();
        NextStep(Step::kProgramRows);
        break;
      case Step::kProgramRows:
        NextStep(AddProgramRows(deadline) ? Step::kProgramsDone : Step::kProgramRows);
        break;
      case Step::kProgramsDone:
        EndProgramRows();
        NextStep(Step::kWindows);
        break;
      case Step::kWindows:
        FastRef = runningFast_;
        if (WndIncremental()) {
          RefWinList();
          inStep_ = false;
          FinishSteps();
          break;
        }
        WndLst.SetSorted(false);
        wndColumns_ = ColumnKeys(WndLst);
        BeginWindowRows();
        NextStep(Step::kWindowRows);
        break;
      case Step::kWindowRows:
        NextStep(AddWindowRows(deadline) ? Step::kWindowsDone : Step::kWindowRows);
        break;
      case Step::kWindowsDone:
        EndWindowRows();
        inStep_ = false;
        FinishSteps();
        break;
    }
  } catch (...) {
    AbandonSteps();
    throw;
  }
  inStep_ = false;
}

// As the plain refresh ends: a full refresh asked meanwhile starts the chain again.
void MainfrmForm::FinishSteps() {
  step_ = Step::kNone;
  if (refreshAgain_) {
    refreshAgain_ = false;
    FastRef = runningFast_ = false;
    SaveSetting("Quillon", "tmp", "ProcChanged", "1");
    BeginSteps();
    return;
  }
  Refreshing = false;
  ApplyPendingColumns();
}

void MainfrmForm::RefreshForReport() {
  refreshAnyway_ = true;
  try {
    RefreshMe();
  } catch (...) {
    refreshAnyway_ = false;
    throw;
  }
  refreshAnyway_ = false;
}

void MainfrmForm::DoAllWndOpt() {
  RefAppList();
  RefWinList();
}

std::vector<std::string> MainfrmForm::AppValues(int16_t row) const {
  const ProgRow& p = ProgTable[static_cast<size_t>(row)];
  const std::string* versions = VersionFields;
  const auto value = [&](int field) -> std::string {
    switch (field) {
      case kProgColTitle: return versions[3];
      case kProgColRisk: return p[kProgRisk];
      case kProgColPath: return p[kProgPath];
      case kProgColCommitted: return vb::FormatGrouped(p[kProgCommitted]);
      case kProgColReserved: return vb::FormatGrouped(p[kProgReserved]);
      case kProgColFree: return vb::FormatGrouped(p[kProgFree]);
      case kProgColPriority: return p[kProgPriority];
      case kProgColCpu: return p[kProgCpu];
      case kProgColInstances: return p[kProgInstances];
      case kProgColDescription: return versions[1];
      case kProgColCompany: return versions[0];
      case kProgColProduct: return versions[6];
    }
    return kNoneValue;
  };
  std::vector<std::string> v;
  for (const ListColumn& column : ProgramColumns()) v.push_back(value(column.field));
  return v;
}

// Column c shows the field its key names; a field marked kNoneValue is left alone.
void MainfrmForm::WriteRow(ui::ListView& list, int row, const std::vector<std::string>& values, bool skipNone) {
  for (int c = 0; c < std::max(1, list.ColumnCount()); ++c) {
    const int field = list.ColumnCount() ? FieldOfColumn(list, c) : 0;
    if (field < 0 || field >= static_cast<int>(values.size())) continue;
    const std::string& value = values[static_cast<size_t>(field)];
    if (skipNone && value == kNoneValue) continue;
    list.SetSubItem(row, c, value);
  }
}

void MainfrmForm::AddIcon(ui::ListView& list, int row, int which, HICON icon) {
  // Each row keeps its own image: a row without an icon shows none rather than its
  // neighbour's.
  int index = icon ? TmpIconImg[which].Add(icon, list.Key(row)) : -1;
  list.SetSmallIcon(row, index);
}

// The timed merge adds the icons of new rows and never clears the list: the images of
// rows that went are dropped, or the lists would grow with every program started.
void MainfrmForm::KeepRowIcons(ui::ListView& list, int which) {
  std::vector<int> used;
  for (int row = 0; row < list.ItemCount(); ++row) used.push_back(list.SmallIcon(row));
  const std::vector<int> moved = TmpIconImg[which].KeepOnly(used);
  for (int row = 0; row < list.ItemCount(); ++row) {
    const int icon = list.SmallIcon(row);
    if (icon >= 0 && icon < static_cast<int>(moved.size())) list.SetSmallIcon(row, moved[static_cast<size_t>(icon)]);
  }
}

const MainfrmForm::PathFacts& MainfrmForm::FactsOf(const std::string& path) {
  auto found = memo_.find(path);
  if (found == memo_.end()) {
    GetFileInfoField(1, path);
    PathFacts facts;
    std::copy(VersionFields, VersionFields + 8, facts.versions);
    found = memo_.emplace(path, facts).first;
  }
  return found->second;
}

void MainfrmForm::PruneMemo() {
  for (auto it = memo_.begin(); it != memo_.end();) {
    bool listed = std::any_of(ProgTable.begin(), ProgTable.begin() + (ProgTableLast + 1),
                              [&](const ProgRow& p) { return p[kProgPath] == it->first; });
    if (listed) {
      ++it;
      continue;
    }
    for (HICON icon : it->second.icons)
      if (icon) DestroyIcon(icon);
    it = memo_.erase(it);
  }
}

void MainfrmForm::AddAppLstItem(int16_t i) {
  if (i < 0 || i > ProgTableLast) return;
  const std::string path = ProgTable[static_cast<size_t>(i)][kProgPath];
  const PathFacts& facts = FactsOf(path);
  std::copy(facts.versions, facts.versions + 8, VersionFields);
  // A full reload asks again: the monitor moves the rating while the program runs.
  ProgTable[static_cast<size_t>(i)][kProgRisk] = std::to_string(GetRiskRating(path));
  const int row = AppLst.AddItem("", -1, path);
  WriteRow(AppLst, row, AppValues(i), false);
  for (int c = 1; c < AppLst.ColumnCount(); ++c)
    if (FieldOfColumn(AppLst, c) == ColumnIndexOf(ColumnList::kPrograms, IsWinNTFlag, kProgColRisk))
      ShowRiskRating(AppLst, row, c, true);
  PathFacts& kept = memo_[path];
  const int size = AppLargeIcon ? 1 : 0;
  if (!kept.iconAsked[size]) {
    kept.icons[size] = GetFileIcon(path, AppLargeIcon);
    kept.iconAsked[size] = true;
  }
  AddIcon(AppLst, row, 0, kept.icons[size]);
  // A step is short and the messages go between the steps; events run inside one
  // would also be taken from under a modal box open meanwhile (its keys lost).
  if (!inStep_) ui::DoEvents();
}

void MainfrmForm::AddWndLstItem(HWND hwnd) {
  const int row = WndLst.AddItem("", -1, "K" + WndHandleText(hwnd));
  const std::vector<std::string> values = WndValues(hwnd);
  WriteRow(WndLst, row, values, false);
  // The full record probed the thread: the merges keep its answer until they may ask.
  if (const DWORD thread = static_cast<DWORD>(vb::Val(values[8]))) threadAnswers_[thread] = values[1] == "Responding";
  bool owns = false;
  HICON icon = GetWndIcon(hwnd, WndLargeIcon, &owns);
  AddIcon(WndLst, row, 1, icon);
  if (owns && icon) DestroyIcon(icon);
}

// The column keys a list's rows were filled under: after options change the shown
// columns, the cells sit under other headers until the list is filled again.
static std::string ColumnKeys(const ui::ListView& list) {
  std::string keys;
  for (int c = 0; c < list.ColumnCount(); ++c) keys += list.ColumnKey(c) + ",";
  return keys;
}

// After the process table, before the rows: the start-up list is where the risk
// column learns that a program starts with Windows, and its "Running" column follows
// the table. Only the list: the mini-tools page's reminder fields may hold the user's
// unsaved edits.
void MainfrmForm::RefreshStartUpList() {
  if (Views.moreTools.RefreshStartUpList) Views.moreTools.RefreshStartUpList();
}

bool MainfrmForm::AppIncremental() const {
  return FastRef && AppLst.ItemCount() > 0 && ColumnKeys(AppLst) == appColumns_;
}

bool MainfrmForm::WndIncremental() const {
  return FastRef && WndLst.ItemCount() > 0 && ColumnKeys(WndLst) == wndColumns_;
}

void MainfrmForm::RefAppList() {
  AppLst.SetSorted(false);
  const bool incremental = AppIncremental();
  appColumns_ = ColumnKeys(AppLst);
  if (incremental) {
    DoProcessListOp(kProcRebuild, vb::BoolText(true));
    RefreshStartUpList();
    UpdateProcessCpu();
    ui::ListView::RedrawGuard quiet(AppLst);
    // Between reloads only the CPU share and the process count change.
    const int cpu = ColumnIndexOf(ColumnList::kPrograms, IsWinNTFlag, kProgColCpu);
    const int instances = ColumnIndexOf(ColumnList::kPrograms, IsWinNTFlag, kProgColInstances);
    const int programs = std::min<int>(ProgTableLast + 1, static_cast<int>(ProgTable.size()));
    // New programs go to the bottom in the table's order.
    const MergeOutcome merged = MergeByKey(
        AppLst, programs, [](int i) { return ProgTable[static_cast<size_t>(i)][kProgPath]; },
        [&](int i, int row) {
          std::vector<std::string> fresh(ProgramColumns().size(), kNoneValue);
          if (cpu >= 0) fresh[static_cast<size_t>(cpu)] = ProgTable[static_cast<size_t>(i)][kProgCpu];
          fresh[static_cast<size_t>(instances)] = ProgTable[static_cast<size_t>(i)][kProgInstances];
          WriteRow(AppLst, row, fresh, true);
        },
        [&](int i) {
          AddAppLstItem(static_cast<int16_t>(i));
          return true;
        });
    if (merged.added || merged.removed) KeepRowIcons(AppLst, 0);
    if (merged.added) AttachIcons(AppLst, TmpIconImg[0], AppLargeIcon);
    PruneMemo();
    return;
  }
  ReadPrograms();
  RefreshStartUpList();
  BeginProgramRows();
  AddProgramRows(0);
  EndProgramRows();
}

void MainfrmForm::ReadPrograms() {
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  WaitLbl.SetText("Reading Processes ... Please wait...");
  WaitLbl.SetVisible(true);
  if (!inStep_) ui::DoEvents();
  DoProcessListOp(kProcRebuild, "");
}

void MainfrmForm::BeginProgramRows() {
  WaitLbl.SetText("Loading Processes ... Please wait...");
  if (!inStep_) ui::DoEvents();
  ResetImageList(AppLst, TmpIconImg[0], AppLargeIcon);
  keptSelection_ = SelectedKeysOf(AppLst);
  rowsQuiet_ = std::make_unique<ui::ListView::RedrawGuard>(AppLst);
  AppLst.Clear();
  nextRow_ = 0;
}

// Rows from nextRow_ on until the deadline (0: no deadline); at least one row a call.
bool MainfrmForm::AddProgramRows(DWORD deadline) {
  while (nextRow_ <= ProgTableLast && nextRow_ < static_cast<int>(ProgTable.size())) {
    AddAppLstItem(static_cast<int16_t>(nextRow_++));
    if (deadline && static_cast<LONG>(GetTickCount() - deadline) >= 0) break;
  }
  return nextRow_ > ProgTableLast || nextRow_ >= static_cast<int>(ProgTable.size());
}

void MainfrmForm::EndProgramRows() {
  Reselect(AppLst, keptSelection_);
  keptSelection_.clear();
  AttachIcons(AppLst, TmpIconImg[0], AppLargeIcon);
  AppLst.SetSorted(true);
  rowsQuiet_.reset();
  WaitLbl.SetVisible(false);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  PruneMemo();
}

HWND MainfrmForm::RowWindow(int row) const {
  const std::string key = WndLst.Key(row);
  return key.size() > 1 ? WndFromHandleText(key.substr(1)) : nullptr;
}

std::unordered_set<HWND> MainfrmForm::ShownWindows() const {
  std::unordered_set<HWND> shown;
  for (int row : WndLst.ShownRows()) shown.insert(RowWindow(row));
  return shown;
}

// The timed merge of the window list. Every tick compares the set of windows and
// reads the facts of the rows on screen, probing their threads; `slice` reads the
// windows whose turn has come instead, between ticks, and adds no row (a new window
// waits for the tick, which reads its whole record).
void MainfrmForm::MergeWindows(MergeKind kind) {
  const bool everything = kind == MergeKind::kAll;
  const std::unordered_set<HWND> shown = kind == MergeKind::kSlice ? std::unordered_set<HWND>() : ShownWindows();
  if (kind == MergeKind::kTick) {
    probedThisTick_.clear();
    readThisTick_.clear();
  }
  // Every window's turn comes within kFactsMaxAgeMs: the ticks read what is on
  // screen, the slices between them the rest, a share each.
  RebuildWndTableTimed([&](HWND h) { return everything || (shown.count(h) != 0 && !readThisTick_.count(h)); },
                       kind == MergeKind::kSlice ? kFactsMaxAgeMs / kSliceMs : 0);
  auto answer = [&](HWND h, DWORD thread) {
    auto known = threadAnswers_.find(thread);
    if ((everything || shown.count(h)) && !probedThisTick_.count(thread)) {
      probedThisTick_.insert(thread);
      return (threadAnswers_[thread] = IsWndResponding(h, false)) ? 1 : 0;
    }
    return known == threadAnswers_.end() ? -1 : (known->second ? 1 : 0);
  };
  ui::ListView::RedrawGuard quiet(WndLst);
  const int windows = std::min<int>(WndTableLast + 1, static_cast<int>(WndTable.size()));
  const auto windowAt = [](int i) { return WndTable[static_cast<size_t>(i)]; };
  const MergeOutcome merged = MergeByKey(
      WndLst, windows, [&](int i) { return "K" + WndHandleText(windowAt(i)); },
      [&](int i, int row) {
        HWND hwnd = windowAt(i);
        if (!WndTableReadNow(hwnd)) return;
        WriteRow(WndLst, row, MergedWndValues(hwnd, answer), true);
        // A share's read does not count: a row it read is read again when it comes
        // into view.
        if (kind != MergeKind::kSlice) readThisTick_.insert(hwnd);
      },
      [&](int i) {
        if (kind != MergeKind::kTick) return false;
        AddWndLstItem(windowAt(i));
        return true;
      });
  if (merged.added || merged.removed) KeepRowIcons(WndLst, 1);
  if (merged.added) AttachIcons(WndLst, TmpIconImg[1], WndLargeIcon);
  // Answers of threads long gone are not kept without end.
  if (threadAnswers_.size() > 4 * static_cast<size_t>(WndLst.ItemCount()) + 64) threadAnswers_.clear();
}

void MainfrmForm::RefWinList() {
  WndLst.SetSorted(false);
  const bool incremental = WndIncremental();
  wndColumns_ = ColumnKeys(WndLst);
  if (incremental) {
    MergeWindows(MergeKind::kTick);
    return;
  }
  BeginWindowRows();
  AddWindowRows(0);
  EndWindowRows();
}

void MainfrmForm::BeginWindowRows() {
  GetWndInfo(kWndRebuildTable, "");
  threadAnswers_.clear();
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (!inStep_) ui::DoEvents();
  keptSelection_ = SelectedKeysOf(WndLst);
  ResetImageList(WndLst, TmpIconImg[1], WndLargeIcon);
  rowsQuiet_ = std::make_unique<ui::ListView::RedrawGuard>(WndLst);
  WndLst.Clear();
  nextRow_ = 0;
}

bool MainfrmForm::AddWindowRows(DWORD deadline) {
  while (nextRow_ <= WndTableLast && nextRow_ < static_cast<int>(WndTable.size())) {
    AddWndLstItem(WndTable[static_cast<size_t>(nextRow_++)]);
    if (deadline && static_cast<LONG>(GetTickCount() - deadline) >= 0) break;
  }
  return nextRow_ > WndTableLast || nextRow_ >= static_cast<int>(WndTable.size());
}

void MainfrmForm::EndWindowRows() {
  Reselect(WndLst, keptSelection_);
  keptSelection_.clear();
  AttachIcons(WndLst, TmpIconImg[1], WndLargeIcon);
  WndLst.SetSorted(true);
  rowsQuiet_.reset();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void MainfrmForm::DoProgWndOpt() {
  if (!IsItemClick) RefAppList();
  const std::vector<std::string> selected = SelectedKeysOf(WndLst);
  ui::ListView::RedrawGuard quiet(WndLst);
  WndLst.Clear();
  GetWndInfo(kWndRebuildTable, "");
  ResetImageList(WndLst, TmpIconImg[1], WndLargeIcon);
  const std::vector<int> programs = AppLst.SelectedRows();
  for (int program : programs) {
    const std::string key = Lower(AppLst.Key(program));
    for (int16_t i = 0; i <= WndTableLast && i < static_cast<int>(WndTable.size()); ++i) {
      HWND hwnd = WndTable[static_cast<size_t>(i)];
      if (Lower(GetWndInfo(kWndExePath, WndHandleText(hwnd)).Text()) == key) AddWndLstItem(hwnd);
    }
  }
  Reselect(WndLst, selected);
  if (!programs.empty()) AttachIcons(WndLst, TmpIconImg[1], WndLargeIcon);
}

void MainfrmForm::DoWndProgOpt() {
  DoProcessListOp(kProcRebuild, "");
  if (!IsItemClick) RefWinList();
  const std::vector<std::string> selected = SelectedKeys();
  ui::ListView::RedrawGuard quiet(AppLst);
  AppLst.Clear();
  std::vector<std::string> paths;
  for (int row : WndLst.SelectedRows()) paths.push_back(GetWndInfo(kWndExePath, WndLst.Key(row).substr(1)).Text());
  ResetImageList(AppLst, TmpIconImg[0], AppLargeIcon);
  for (const std::string& path : paths) {
    const std::string lower = Lower(path);
    bool listed = false;
    for (int row = 0; row < AppLst.ItemCount() && !listed; ++row) listed = Lower(AppLst.Key(row)) == lower;
    if (listed) continue;
    const int16_t i = GetAppId(path);
    if (i >= 0) AddAppLstItem(i);
  }
  Reselect(AppLst, selected);
  AttachIcons(AppLst, TmpIconImg[0], AppLargeIcon);
}

int16_t MainfrmForm::GetAppId(const std::string& path) const {
  const std::string lower = Lower(path);
  for (int16_t i = 0; i <= ProgTableLast && i < static_cast<int>(ProgTable.size()); ++i)
    if (Lower(ProgTable[static_cast<size_t>(i)][kProgPath]) == lower) return i;
  return -1;
}

int16_t MainfrmForm::GetColumn(long list, int16_t field) const {
  if (list != 0 && list != 1) return 0;
  const ui::ListView& lv = list == 0 ? AppLst : WndLst;
  for (int c = 0; c < lv.ColumnCount(); ++c)
    if (FieldOfColumn(lv, c) == field) return static_cast<int16_t>(c + 1);
  return 0;
}

// Text columns sort ignoring case, number columns by value; a second click turns the order.
void MainfrmForm::Lists_ColumnClick(ui::ListView& list, int column) {
  const int field = FieldOfColumn(list, column);
  // Between ticks only a share of the window rows is read: a sort by a fact that
  // changes first reads every row, so the order holds what the windows show now.
  const std::vector<ListColumn>& columns = &list == &AppLst ? ProgramColumns() : WindowColumns();
  const bool known = field >= 0 && field < static_cast<int>(columns.size());
  if (&list == &WndLst && known) {
    const int shows = columns[static_cast<size_t>(field)].field;
    const bool changing = shows == kWndColName || shows == kWndColStatus || shows == kWndColVisible ||
                          shows == kWndColOnTop || shows == kWndColEnabled || shows == kWndColPosition;
    if (changing) MergeBetweenTicks(MergeKind::kAll);
  }
  const ui::SortKind kind = known ? columns[static_cast<size_t>(field)].sort : ui::SortKind::kText;
  const bool ascending = list.SortKey() == column ? !list.SortAscending() : true;
  list.SortBy(column, kind, ascending);
}

// The merges between ticks run only where a timed one would, on the incremental road,
// and never inside another refresh or a command.
bool MainfrmForm::MergeAllowed() const {
  return !Refreshing && !CommandRunning && RefreshInterval >= 1 && Visible() && (ProgWndImgIndex == 2 || ProgWndImgIndex == 4) &&
         WndLst.ItemCount() > 0 && ColumnKeys(WndLst) == wndColumns_ && TimedRefreshAllowed();
}

void MainfrmForm::MergeBetweenTicks(MergeKind kind) {
  if (!MergeAllowed()) return;
  Refreshing = true;
  try {
    MergeWindows(kind);
  } catch (...) {
    Refreshing = false;
    throw;
  }
  Refreshing = false;
}

void MainfrmForm::ReadSlice() { MergeBetweenTicks(MergeKind::kSlice); }

LRESULT MainfrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The splitter shows the north-south sizing arrow (a label asks its parent first).
  if (msg == WM_SETCURSOR && ResizeBar.hwnd() && reinterpret_cast<HWND>(wp) == ResizeBar.hwnd()) {
    SetCursor(LoadCursor(nullptr, IDC_SIZENS));
    return TRUE;
  }
  // The mouse over the page itself has left the lists and the bars: their hint goes.
  if (msg == WM_MOUSEMOVE) SetHintText("");
  if (msg == WM_HOTKEY) {
    NoteHotKey(hwnd(), wp);
    return 0;
  }
  if (msg == WM_TIMER && wp == kSliceTimer) {
    // Off screen no share is read: the timer stops rather than wake the program
    // twice a second in the tray, and the next refresh of the page starts it again.
    if (!Visible()) {
      KillTimer(hwnd(), kSliceTimer);
      slicing_ = false;
      return 0;
    }
    if (!SharesHeld) ReadSlice();
    return 0;
  }
  if (msg == WM_TIMER && wp == kStepTimer) {
    KillTimer(hwnd(), kStepTimer);
    if (step_ != Step::kNone && !inStep_ && !draining_) RunStep();
    return 0;
  }
  if (msg == WM_DESTROY) AbandonSteps();
  if (msg == kReadShownMsg) {
    shownReadPosted_ = false;
    MergeBetweenTicks(MergeKind::kShown);
    return 0;
  }
  return Window::WndProc(msg, wp, lp);
}
