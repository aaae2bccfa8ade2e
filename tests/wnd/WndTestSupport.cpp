#include "WndTestSupport.h"

#include "Mainfrm.h"
#include "ModMain.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "UiWait.h"
#include "modIni.h"
#include "VbRules.h"
#include "ProgramState.h"

namespace vb {
void PrintTo(const Variant& value, std::ostream* out) {
  static const char* const kKinds[] = {"Empty", "Boolean", "Number", "Text"};
  *out << kKinds[static_cast<int>(value.kind())] << " \"" << value.Text() << "\"";
}
}  // namespace vb

namespace wndtest {

namespace {
struct Search {
  DWORD pid;
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindTitled(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && testsupport::WindowText(hwnd) == *s->title) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindWindowOf(DWORD pid, const std::string& title) {
  Search s = {pid, &title, nullptr};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool Listed(HWND hwnd) {
  for (int i = 0; i <= WndTableLast; ++i)
    if (WndTable[i] == hwnd) return true;
  return false;
}

DWORD Since(DWORD start) { return GetTickCount() - start; }

void WndTest::SetUp() {
  ResetProgramState();
  IsWinNTFlag = IsWinNT();
  MyProcessId = GetCurrentProcessId();
  char self[MAX_PATH];
  AppExePath = std::string(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  Mainfrm.FastRef = true;
  HideSysProc = 0;
  SProgCount = 0;
  LogScanning = 0;
  WndDisplay = 1;
  HideWnd = 1;
  DialogOwnerClasses = {"", "RUNDLL", "STUBWINDOW32"};
  WndPathMissing = false;
  now_ = GetTickCount() + 100000;
  seams::TickCountFn = [this] { return now_; };
  LastProcWalkTick = 0;
  folder_ = std::make_unique<testsupport::FixtureFolder>("qp_wnd");
}

void WndTest::TearDown() {
  folder_.reset();
  for (int i = 1; i <= sprogKeys_; ++i) DeleteSetting(ProgramTitle, "Options", "SProg" + std::to_string(i));
  if (sprogKeys_) DeleteSetting(ProgramTitle, "Options", "SProgCount");
  SProgCount = 0;
  ResetProgramState();
  DeleteSetting("Quillon", "tmp", "ProcChanged");
}

testsupport::Fixture& WndTest::Start(const std::string& name, const std::string& mode) {
  return folder_->Start(name, mode);
}

void WndTest::SetSpecialPrograms(const std::vector<std::pair<std::string, int>>& entries) {
  int i = 0;
  for (const auto& e : entries)
    SaveSetting(ProgramTitle, "Options", "SProg" + std::to_string(++i), vb::LCase(e.first) + "," + std::to_string(e.second) + ";1");
  SaveSetting(ProgramTitle, "Options", "SProgCount", std::to_string(i));
  SProgCount = static_cast<int16_t>(i);
  sprogKeys_ = std::max(sprogKeys_, i);
}

void WndTest::ForceProcessWalk() {
  Advance(1000);
  ASSERT_TRUE(DoProcessListOp(2, "").IsTrue());
}

}  // namespace wndtest
