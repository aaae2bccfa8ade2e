#include "AddStartupFrm.h"

#include <algorithm>
#include <cstring>

#include "FileChoice.h"
#include "Gdi.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "MoreToolsFrm.h"
#include "Seams.h"
#include "StartUpEntries.h"
#include "VbRules.h"

AddStartupFrmForm AddStartupFrm;

namespace {

const char* const kKeyTexts[7] = {
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
};

std::string WithDash(const std::string& keyText, bool disabled) { return disabled ? keyText + "-" : keyText; }

}  // namespace

AddStartupFrmForm::AddStartupFrmForm()
    : Window({.caption = "Add Startup Program",
              .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
              .width = 660,
              .height = 170,
              .centred = true,
              .keyPreview = true}),
      NameLbl(*this, {10, 14, 110, 18}, "Program Name:"),
      CmdLineLbl(*this, {10, 46, 110, 18}, "Command Line:"),
      LocationLbl(*this, {10, 78, 110, 18}, "Location: "),
      // The location box holds its longest key, the machine's "RunServicesOnce", whole.
      txtName(*this, {120, 12, 530, 20}),
      txtCmdLine(*this, {120, 44, 440, 20}),
      Combo1(*this, {120, 76, 530, 160}),
      cmdBrowse(*this, {566, 42, 84, 24}, "&Browse..."),
      OkBtn(*this, {480, 130, 80, 26}, "Add"),
      CancelBtn(*this, {570, 130, 80, 26}, "Cancel") {
  OkBtn.SetDefault(true);
  CancelBtn.SetCancel(true);
  cmdBrowse.Click = [this] { cmdBrowse_Click(); };
  OkBtn.Click = [this] { OkBtn_Click(); };
  CancelBtn.Click = [this] { CancelBtn_Click(); };
}

void AddStartupFrmForm::Form_Load() {
  Combo1.Clear();
  for (const char* text : kKeyTexts) Combo1.AddItem(text);
  Combo1.SetListIndex(0);
  // The drop-down list is never narrower than its longest key.
  if (HWND box = Combo1.hwnd()) {
    int widest = 0;
    {
      const ui::WindowDC dc(box);
      const ui::SelectIn font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)));
      for (const char* text : kKeyTexts) {
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), text, static_cast<int>(strlen(text)), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
      }
    }
    SendMessageA(box, CB_SETDROPPEDWIDTH, widest + GetSystemMetrics(SM_CXVSCROLL) + 8, 0);
  }
}

void AddStartupFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("MoreTools");
}

void AddStartupFrmForm::Open(const std::string& caption, const std::string& okCaption, const std::string& name,
                             const std::string& cmdLine, int runType) {
  if (!Load()) return;
  SetCaption(caption);
  OkBtn.SetText(okCaption);
  txtName.SetText(name);
  txtCmdLine.SetText(cmdLine);
  Combo1.SetListIndex(runType >= 0 && runType < 7 ? runType : 0);
  ShowFrm(*this);
}

void AddStartupFrmForm::ShowAddStartUpFrm(const std::string& Name, const std::string& CmdLine) {
  AddMode = true;
  Open("Add Startup Program", "Add", Name, CmdLine, Loaded() ? Combo1.ListIndex() : 0);
}

void AddStartupFrmForm::ShowModifyStartUpFrm(const std::string& Name, const std::string& KeyText,
                                             const std::string& CmdLine, int16_t RunType, bool Disabled) {
  AddMode = false;
  OldName = Name;
  OldKey = KeyText;
  OldCmdLine = CmdLine;
  OldRunType = RunType;
  OldDisabled = Disabled;
  Open("Modify Startup Program", "Ok", Name, CmdLine, RunType);
}

void AddStartupFrmForm::cmdBrowse_Click() {
  if (auto file = ChooseFileToOpen(hwnd(), BrowseForProgram())) txtCmdLine.SetText(*file);
}

bool AddStartupFrmForm::MayWrite(const std::string& name, const std::string& keyText, int16_t runType) {
  if (!ReadStartUpValue(StartUpPlaceOf(keyText, runType), name)) return true;
  return MsgBox("A start-up program named '" + name + "' already exists in " + keyText + ". Replace it?",
                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) == IDYES;
}

void AddStartupFrmForm::OkBtn_Click() {
  const std::string name = txtName.Text(), cmdLine = txtCmdLine.Text();
  if (vb::Trim(name).empty()) {
    seams::MessageBoxFn(hwnd(), "Enter Name", "No Name", MB_OK | MB_ICONINFORMATION);
    txtName.SetFocus();
    return;
  }
  if (vb::Trim(cmdLine).empty()) {
    seams::MessageBoxFn(hwnd(), "Enter Command Line", "No CmdLine", MB_OK | MB_ICONINFORMATION);
    txtCmdLine.SetFocus();
    return;
  }
  const int16_t runType = static_cast<int16_t>(Combo1.ListIndex() < 0 ? 0 : Combo1.ListIndex());
  const std::string keyText = kKeyTexts[runType];
  if (AddMode) {
    if (!MayWrite(name, keyText, runType)) return;
    const StartUpPlace place = StartUpPlaceOf(keyText, runType);
    if (!WriteStartUpValue(place, name, StartUpCommandValue(cmdLine))) {
      MsgBox("The start-up program '" + name + "' couldn't be written to " + keyText + "; nothing was changed.",
             MB_OK | MB_ICONSTOP, hwnd());
      return;  // the dialog keeps what was typed
    }
    MoreToolsFrm.RefreshMe(false);
    MoreToolsFrm.SelectStartUpEntry(name, keyText, false);
    Unload();
    return;
  }
  // A modified entry stays disabled, wherever it goes.
  const std::string oldText = WithDash(OldKey, OldDisabled), newText = WithDash(keyText, OldDisabled);
  const StartUpPlace from = StartUpPlaceOf(oldText, OldRunType), to = StartUpPlaceOf(newText, runType);
  const bool inPlace = from == to && vb::LCase(OldName) == vb::LCase(name);
  if (!inPlace && !MayWrite(name, newText, runType)) return;
  // An untouched command line moves as it is stored; an edited one keeps the value's
  // kind (an expandable line stays expandable).
  const std::optional<RegRawValue> old = ReadStartUpValue(from, OldName);
  RegRawValue value = StartUpCommandValue(cmdLine, old ? old->type : REG_SZ);
  if (old && cmdLine == OldCmdLine) value = *old;
  if (ReplaceStartUpValue(from, OldName, to, name, value) != StartUpChange::kDone) {
    MsgBox("The start-up program '" + name + "' couldn't be written to " + newText + "; nothing was changed.",
           MB_OK | MB_ICONSTOP, hwnd());
    return;
  }
  MoreToolsFrm.RefreshMe(false);
  MoreToolsFrm.SelectStartUpEntry(name, keyText, OldDisabled);
  Unload();
}

void AddStartupFrmForm::CancelBtn_Click() { Unload(); }
