#include "AddSProgFrm.h"

#include "FileChoice.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSProgs.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "frmOptions.h"

AddSProgFrmForm AddSProgFrm;

namespace {

const char kAddCaption[] = "Add new program";
const char kChangeCaption[] = "Change program Properties";

std::string Trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

AddSProgFrmForm::AddSProgFrmForm()
    : Window({.caption = kAddCaption, .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, .width = 420, .height = 210,
              .centred = true}),
      PathFram(*this, {8, 8, 404, 56}, "Directory or Program file Path"),
      SProgTxt(*this, {10, 22, 300, 22}),
      BrowseBtn(*this, {316, 21, 78, 24}, "Browse"),
      ActionFram(*this, {8, 70, 404, 96}, "Special Action"),
      SProgOpt0(*this, {10, 20, 380, 20}, SProgActionCaptions[0], true),
      SProgOpt1(*this, {10, 44, 380, 20}, SProgActionCaptions[1]),
      SProgOpt2(*this, {10, 68, 380, 20}, SProgActionCaptions[2]),
      cmdOK(*this, {160, 176, 80, 26}, "&OK"),
      cmdCancel(*this, {246, 176, 80, 26}, "Cancel"),
      cmdApply(*this, {332, 176, 80, 26}, "&Apply") {
  SProgTxt.SetContainer(PathFram);
  BrowseBtn.SetContainer(PathFram);
  for (int i = 0; i < 3; ++i) SProgOpt(i).SetContainer(ActionFram);
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);
  BrowseBtn.Click = [this] { BrowseBtn_Click(); };
  cmdApply.Click = [this] { cmdApply_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  for (int i = 0; i < 3; ++i) SProgOpt(i).Click = [this] { SProgOpt_Click(); };
  SProgTxt.Change = [this] { SProgTxt_Change(); };
  Views.specialProgram.SProgOpt = &SProgActionCaptions;
}

ui::OptionButton& AddSProgFrmForm::SProgOpt(int index) {
  switch (index) {
    case 0: return SProgOpt0;
    case 1: return SProgOpt1;
    default: return SProgOpt2;
  }
}

std::string AddSProgFrmForm::GetSelectedOptText() {
  for (int i = 0; i < 3; ++i)
    if (SProgOpt(i).Value()) return SProgOpt(i).Text();
  return "";
}

// Each load starts empty: the controls keep their texts while the form has no window.
void AddSProgFrmForm::Form_Load() {
  SProgTxt.SetText("");
  for (int i = 0; i < 3; ++i) SProgOpt(i).SetValue(false);
  editedRow_ = 0;
}

void AddSProgFrmForm::Open(const std::string& caption, const std::string& path, int action) {
  if (!Load()) return;
  SetCaption(caption);
  SProgTxt.SetText(path);
  for (int i = 0; i < 3; ++i) SProgOpt(i).SetValue(i == action);
  // Owned by the options dialog: it stays above it, and the options take no input.
  if (frmOptions.hwnd()) {
    SetWindowLongPtrA(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(frmOptions.hwnd()));
    EnableWindow(frmOptions.hwnd(), FALSE);
  }
  cmdApply.SetEnabled(false);
  ShowFrm(*this);
}

void AddSProgFrmForm::OpenToAdd() {
  Open(kAddCaption, "", 2);
  editedRow_ = 0;
}

void AddSProgFrmForm::OpenToChange(int rowId) {
  ui::ListView& list = frmOptions.SProgsList;
  const int row = list.RowOfId(rowId);
  if (row < 0) return;
  const std::string code = GetSProgOptText(1, list.SubItem(row, 1));
  // An action with no caption of ours selects none: Apply then keeps the row's code.
  Open(kChangeCaption, list.ItemText(row), code.empty() ? -1 : static_cast<int>(vb::Val(code)));
  editedRow_ = rowId;
}

void AddSProgFrmForm::SProgTxt_Change() { cmdApply.SetEnabled(true); }
void AddSProgFrmForm::SProgOpt_Click() { cmdApply.SetEnabled(true); }

void AddSProgFrmForm::BrowseBtn_Click() {
  FileChoice choice;
  choice.filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
  choice.title = "Browse";
  if (auto file = ChooseFileToOpen(hwnd(), choice)) SProgTxt.SetText(*file);
}

void AddSProgFrmForm::cmdApply_Click() { ApplyEntry(); }

bool AddSProgFrmForm::ApplyEntry() {
  const std::string path = Trimmed(SProgTxt.Text());
  if (path.empty()) {
    // No row for a blank path; the dialog stays, so the rest of the entry is kept.
    MsgBox("Type the path of a program or a folder, or choose one with Browse.", MB_OK | MB_ICONEXCLAMATION, hwnd());
    SProgTxt.SetFocus();
    return false;
  }
  if (!PathExists(path) &&
      MsgBox("The file " + path + " wasn't found, Are you still sure you want to add it?", 292, hwnd()) == IDNO)
    return true;
  ui::ListView& list = frmOptions.SProgsList;
  int icon = 1;
  std::string code;
  const bool changing = Caption() == kChangeCaption;
  if (changing) {
    // The row this dialog opened on (or added at its last Apply), wherever the
    // selection has moved since.
    const int row = list.RowOfId(editedRow_);
    if (row >= 0) {
      icon = list.SmallIcon(row);
      code = list.Tag(row);
      list.RemoveItem(row);
    }
  }
  const std::string caption = GetSelectedOptText();
  if (!caption.empty()) code = GetSProgOptText(1, caption);
  const int row = list.AddItem(vb::LCase(path), icon);
  list.SetSubItem(row, 1, caption);
  list.SetTag(row, code.empty() ? "0" : code);
  if (changing) editedRow_ = list.RowId(row);
  frmOptions.ChkBtnsEnbl();
  cmdApply.SetEnabled(false);
  return true;
}

void AddSProgFrmForm::cmdOK_Click() {
  if (cmdApply.Enabled() && !ApplyEntry()) return;
  Unload();
}

void AddSProgFrmForm::cmdCancel_Click() { Unload(); }

void AddSProgFrmForm::Form_Unload(bool& /*cancel*/) {
  if (frmOptions.hwnd()) {
    EnableWindow(frmOptions.hwnd(), TRUE);
    SetForegroundWindow(frmOptions.hwnd());
  }
}
