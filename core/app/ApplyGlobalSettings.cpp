#include "ApplyGlobalSettings.h"
#include "OwnedHandle.h"

#include <algorithm>
#include "Window.h"
#include "Timer.h"
#include "Menu.h"
#include "ListView.h"
#include "TabPages.h"
#include "Controls.h"
#include "ViewBindings.h"

#include "LoopSeams.h"
#include "ListColumns.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModRegistry.h"
#include "ModStartup.h"
#include "VbRules.h"

HotKeyDef RegisteredAppHK;
HotKeyDef RegisteredDestHK;
bool ColumnsPending;
bool TrackerRowCurrent;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetAppliedSettingsState() {
  RegisteredAppHK = HotKeyDef();
  RegisteredDestHK = HotKeyDef();
  ColumnsPending = false;
  TrackerRowCurrent = false;
}
namespace {
const bool resetAppliedSettingsStateDone = (ResetAppliedSettingsState(), true);
}  // namespace
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

const char kAppHotKeyError[] =
    "ERROR registering Quillon hotkey! Some program may be using the same hotkey. You will not be able to "
    "display Quillon main window by pressing the specified Hotkey. Click yes if you want to change it form "
    "options.";
const char kDestHotKeyError[] =
    "ERROR registering 'Terminate and restart a program' hotkey! Some program may be using the same hotkey. "
    "You will not be able to use 'Terminate and restart a program' tool. Click yes if you want to change it "
    "form options.";
const char kNoRasError[] =
    "Error checking Internet connection, RAS may not be installed or there is problems in it. 'Leased Line' "
    "option will be used instead.";

void ApplyRunValue() {
  if (IsWinNTFlag) {
    if (const OwnedKey machine{OpenRegKey(HKEY_LOCAL_MACHINE, kRunKey)}) DeleteRegValue(machine.get(), ProgramTitle);
  }
  HKEY root = IsWinNTFlag ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  bool exists = false;
  if (const OwnedKey run{OpenRegKey(root, kRunKey, KEY_READ)}) {
    const std::string value = vb::Trim(GetRegValue(run.get(), ProgramTitle));
    exists = !value.empty() && value[0] != '\0';
  }
  if (RunAtStartUp == 1 && !exists) {
    SetRegValue(root, kRunKey, ProgramTitle, AppExePath);
  } else if (RunAtStartUp == 0 && exists) {
    if (const OwnedKey run{OpenRegKey(root, kRunKey)}) {
      DeleteRegValue(run.get(), ProgramTitle);
    }
  }
}

bool HotKeyChanged(const HotKeyDef& wanted, const HotKeyDef& registered) {
  if (wanted.Enabled == 0) return registered.Enabled != 0;
  if (wanted.Enabled != 1) return false;
  return registered.Enabled != 1 || registered.Modifiers != wanted.Modifiers || registered.CharCode != wanted.CharCode;
}

// Gives up a key's old combination when it changed. Every changed key lets go before
// any registers, so two keys can swap their combinations.
void ReleaseHotKey(const HotKeyDef& wanted, HotKeyDef& registered, ui::Window* form) {
  if (!HotKeyChanged(wanted, registered) || !LoadView(form)) return;
  UnregisterHotKey(form->hwnd(), kHotKeyId);
  if (wanted.Enabled == 0) registered.Enabled = 0;
}

// Registers a key that changed; true when the user chose to change a key that could
// not be registered.
bool RegisterChangedHotKey(const HotKeyDef& wanted, HotKeyDef& registered, ui::Window* form, const char* failure) {
  if (wanted.Enabled != 1 || !HotKeyChanged(wanted, registered) || !LoadView(form)) return false;
  const BOOL ok = RegisterHotKey(form->hwnd(), kHotKeyId, static_cast<UINT>(wanted.Modifiers),
                                 static_cast<UINT>(wanted.CharCode));
  registered.Enabled = wanted.Enabled;
  registered.Modifiers = wanted.Modifiers;
  registered.CharCode = wanted.CharCode;
  if (ok) return false;
  if (MsgBox(failure, MB_YESNO | MB_ICONINFORMATION, FrameHwnd()) != IDYES) return false;
  ShowFrm(Views.options.form);
  if (Views.options.SSTab1) Views.options.SSTab1->SetTab(0);
  return true;
}

void ApplyColumns(ui::ListView& list, ColumnList which, const std::string& mask) {
  const std::vector<ListColumn>& columns = ListColumns(which, IsWinNTFlag);
  std::vector<const ListColumn*> shown;
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::string flag = i < mask.size() ? mask.substr(i, 1) : "";
    if (vb::Val(flag) != 0) shown.push_back(&columns[i]);
  }
  // Taking every column away and adding it again costs seconds on a long list (each
  // change lays out every row anew), and every OK and Apply comes here: the same
  // columns stay as they are, with the widths the user gave them.
  bool same = list.ColumnCount() == static_cast<int>(shown.size());
  for (size_t c = 0; same && c < shown.size(); ++c)
    same = list.ColumnKey(static_cast<int>(c)) == shown[c]->key && list.ColumnText(static_cast<int>(c)) == shown[c]->title;
  if (same) return;
  list.ClearColumns();
  for (const ListColumn* column : shown) {
    // The table's widths leave short columns ("Processes", "CPU usage (%)") too
    // narrow for their own titles: a column is at least as wide as its title.
    const int width =
        std::max(static_cast<int>(vb::RoundHalfEven(column->width)), list.HeaderTextWidth(column->title));
    list.AddColumn(column->key, column->title, width);
  }
}

void ApplyListColumns() {
  if (ui::ListView* apps = Views.lists.AppLst) {
    ApplyColumns(*apps, ColumnList::kPrograms, AppList);
    if (ListColumns(ColumnList::kPrograms, IsWinNTFlag).size() > 1) apps->SetSortKey(1);
  }
  if (Views.lists.WndLst) ApplyColumns(*Views.lists.WndLst, ColumnList::kWindows, WndList);
}

void ApplyLogTimer() {
  // A product that does not fit the timer leaves the interval as it was.
  // A timer of 0 never ticks while the log says it is logging: below a second, every second.
  const long long interval = static_cast<long long>(SecLogData < 1 ? 1 : SecLogData) * 1000;
  if (interval < 0 || interval > 0x7FFFFFFF) return;
  if (Views.frame.LogTimer) Views.frame.LogTimer->SetInterval(static_cast<UINT>(interval));
}

void ApplyConnectionType() {
  if (LANCon == 0 && !loopseams::RasAvailableFn()) {
    MsgBox(kNoRasError, MB_OK | MB_ICONSTOP, FrameHwnd());
    LANCon = 1;
    SaveSettings();
    if (ViewVisible(Views.options.form) && Views.options.LANConOpt[0] && Views.options.LANConOpt[1]) {
      Views.options.LANConOpt[0]->SetValue(false);
      Views.options.LANConOpt[1]->SetValue(true);
    }
  }
  if (LANCon != 0) {
    // A leased line is one connection that stays open for the whole run.
    CurCon.From = vb::CStrDate(vb::Now());
    CurCon.flag = "1";
    const ViewBindings::MoreTools& page = Views.moreTools;
    if (page.IntReminderChk) {
      page.IntReminderChk->SetValue(false);
      page.IntReminderChk->SetEnabled(false);
    }
    if (page.IntReminderTxt) page.IntReminderTxt->SetEnabled(false);
    if (page.Label4) page.Label4->SetEnabled(false);
  }
}

void ApplyMenus() {
  const ViewBindings::Frame& frame = Views.frame;
  if (!frame.mnuFileBlockMsg || !frame.mnuSettingsMsgBlock || !frame.mnuFileBlock) return;
  if (IsWinNTFlag) {
    SetMessengerService();
    frame.mnuFileBlockMsg->SetChecked(BlockMessenger);
  } else {
    frame.mnuFileBlockMsg->SetVisible(false);
    frame.mnuSettingsMsgBlock->SetVisible(false);
  }
  frame.mnuFileBlock->SetChecked(BlockPopUps);
}

}  // namespace

bool ApplyGlobalSettings() {
  bool changeHotKey = false;
  ApplyRunValue();
  ReleaseHotKey(AppHK, RegisteredAppHK, Views.frame.form);
  ReleaseHotKey(DestHK, RegisteredDestHK, Views.lists.form);
  if (RegisterChangedHotKey(AppHK, RegisteredAppHK, Views.frame.form, kAppHotKeyError)) changeHotKey = true;
  if (RegisterChangedHotKey(DestHK, RegisteredDestHK, Views.lists.form, kDestHotKeyError)) changeHotKey = true;
  if (Views.lists.Refreshing && *Views.lists.Refreshing)
    ColumnsPending = true;
  else
    ApplyListColumns();
  ApplyLogTimer();
  RemoveTrayIcon();
  AddTrayIcon();
  ApplyConnectionType();
  ApplyMenus();
  if (Toolbar && !TrackerRowCurrent && Views.trackerBar.IniTrackerItems) Views.trackerBar.IniTrackerItems();
  TrackerRowCurrent = false;
  return changeHotKey;
}

void ApplyPendingColumns() {
  if (!ColumnsPending) return;
  ColumnsPending = false;
  ApplyListColumns();
  if (Views.lists.FastRef) *Views.lists.FastRef = false;
}
