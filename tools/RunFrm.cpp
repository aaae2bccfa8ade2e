#include "RunFrm.h"

#include <algorithm>

#include "FileChoice.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "Seams.h"
#include "VbRules.h"
#include "modIni.h"

RunFrmForm RunFrm;

namespace {

const char kSection[] = "RunApp";

std::string WithExe(const std::string& name) { return name.find('.') == std::string::npos ? name + ".exe" : name; }

bool FileExistsFn(const std::string& path) { return FileExists(path); }

// Blanks alone name nothing: Ok would only store " .exe" and report it not found.
bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// A key past the history's end goes, so the file keeps no empty entries.
void ForgetKey(const std::string& key) {
  WritePrivateProfileStringA(kSection, key.c_str(), nullptr, ProgIniPath.c_str());
}

// The profile reader takes a pair of quotes round a whole value away: such a value is
// stored inside one more pair, so an entry like "c:\a b\x.exe" comes back as typed.
std::string Stored(const std::string& entry) {
  const bool enclosed =
      entry.size() >= 2 && (entry.front() == '"' || entry.front() == '\'') && entry.back() == entry.front();
  return enclosed ? "\"" + entry + "\"" : entry;
}

}  // namespace

std::string LocateRunFile(const std::string& name) {
  if (name.empty()) return "";
  if (FileExists(name)) {
    char full[MAX_PATH * 2] = {};
    return GetFullPathNameA(name.c_str(), sizeof full, full, nullptr) ? std::string(full) : name;
  }
  for (const std::string& folder : {GetWinDir(), GetSysDir()})
    if (FileExists(folder + "\\" + name)) return folder + "\\" + name;
  return "";
}

RunRequest SplitRunText(const std::string& text, bool (*exists)(const std::string& path)) {
  RunRequest request;
  const std::string whole = WithExe(text);
  if (exists(whole)) return {whole, "", whole};
  std::string program, rest;
  bool quoted = false;
  if (!text.empty() && text[0] == '"') {
    const size_t close = text.find('"', 1);
    quoted = true;
    program = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    rest = close == std::string::npos ? "" : text.substr(close + 1);
  } else {
    const size_t blank = text.find(' ');
    program = text.substr(0, blank);
    rest = blank == std::string::npos ? "" : text.substr(blank + 1);
  }
  const size_t start = rest.find_first_not_of(' ');
  rest = start == std::string::npos ? "" : rest.substr(start);
  if (rest.empty() && !quoted) return {whole, "", whole};
  request.program = WithExe(program);
  request.parameters = rest;
  request.entry = (quoted ? "\"" + request.program + "\"" : request.program) + (rest.empty() ? "" : " " + rest);
  return request;
}

RunFrmForm::RunFrmForm()
    : Window({.caption = "Run Program",
              .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
              .width = 360,
              .height = 130,
              .centred = true}),
      Image1(*this, {12, 12, 32, 32}, "", SS_ICON),
      Label2(*this, {56, 12, 290, 32}, "Type the name of a program, folder, document or Internet resource"),
      Label1(*this, {12, 56, 40, 18}, "Open :"),
      Combo1(*this, {56, 52, 290, 200}, CBS_DROPDOWN | CBS_AUTOHSCROLL),
      OkBtn(*this, {104, 94, 76, 24}, "Ok"),
      CancelBtn(*this, {186, 94, 76, 24}, "Cancel"),
      BrowseBtn(*this, {268, 94, 78, 24}, "Browse...") {
  OkBtn.SetDefault(true);
  CancelBtn.SetCancel(true);
  Combo1.Change = [this] { Combo1_Change(); };
  Combo1.Click = [this] { Combo1_Click(); };
  OkBtn.Click = [this] { OkBtn_Click(); };
  CancelBtn.Click = [this] { CancelBtn_Click(); };
  BrowseBtn.Click = [this] { BrowseBtn_Click(); };
}

void RunFrmForm::ReadHistoryRange(int& first, int& last) {
  first = 0;
  last = -1;
  const std::string number = ReadWriteIni("GET", kSection, "Number");
  if (number.empty()) return;
  const double value = vb::Val(number);
  if (value < 0) return;
  // A damaged count (2000000000) would keep the dialog busy for minutes: only the
  // newest entries count.
  last = static_cast<int>(std::min(value, 2147483647.0));
  first = std::max(0, last - (kHistory - 1));
}

void RunFrmForm::Form_Load() {
  SendMessageA(Image1.hwnd(), STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))), 0);
  Combo1.Clear();
  int first = 0, last = -1;
  ReadHistoryRange(first, last);
  // A missing or empty key is no entry: listed, it could only be picked to run nothing.
  for (int i = first; i <= last; ++i) {
    const std::string entry = ReadWriteIni("GET", kSection, "App" + std::to_string(i));
    if (!IsBlank(entry)) Combo1.AddItem(entry);
  }
  Combo1.SetText(Combo1.ListCount() > 0 ? Combo1.List(0) : "");
  Combo1_Change();
}

void RunFrmForm::Form_Unload(bool&) {
  int first = 0, last = -1;
  ReadHistoryRange(first, last);
  for (int i = first; i <= last; ++i) ForgetKey("App" + std::to_string(i));
  if (Combo1.ListCount() < 1) return;
  ReadWriteIni("WRITE", kSection, "Number", std::to_string(Combo1.ListCount() - 1));
  for (int i = 0; i < Combo1.ListCount(); ++i)
    ReadWriteIni("WRITE", kSection, "App" + std::to_string(i), Stored(Combo1.List(i)));
}

void RunFrmForm::Combo1_Change() { OkBtn.SetEnabled(!IsBlank(Combo1.Text())); }

void RunFrmForm::Combo1_Click() {
  const int chosen = Combo1.ListIndex();
  OkBtn.SetEnabled(!IsBlank(chosen >= 0 ? Combo1.List(chosen) : Combo1.Text()));
}

void RunFrmForm::OkBtn_Click() {
  // Enter reaches the default button even while it is disabled.
  if (!OkBtn.Enabled() || IsBlank(Combo1.Text())) return;
  const RunRequest request = SplitRunText(Combo1.Text(), FileExistsFn);
  Combo1.SetText(request.entry);
  Combo1.AddItem(request.entry);
  while (Combo1.ListCount() > kHistory) Combo1.RemoveItem(0);
  const std::string file = LocateRunFile(request.program);
  if (file.empty()) {
    MsgBox("File not found", MB_OK | MB_ICONSTOP, hwnd());
    Combo1.SetFocus();
    return;
  }
  seams::ShellRequest start;
  start.owner = hwnd();
  start.file = file;
  start.parameters = request.parameters;
  start.directory = "C:\\";
  start.show = SW_SHOWNORMAL;
  seams::ShellExecuteFn(start);
  Unload();
}

void RunFrmForm::BrowseBtn_Click() {
  const std::optional<std::string> chosen = ChooseFileToOpen(hwnd(), BrowseForProgram());
  if (!chosen) return;
  Combo1.SetText(*chosen);
  Combo1_Change();
}
