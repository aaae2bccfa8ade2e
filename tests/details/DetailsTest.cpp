// The details window against real fixture processes, files, the clipboard and the
// registry: its pages, its commands, fills that events reach in the middle, the
// readable texts of memory and file, and the risk monitor page with a real log.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <thread>

#include "CancelEvent.h"
#include "UnixProcess.h"
#include "DetailsFrm.h"
#include "Mainfrm.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "ProcCPUFrm.h"
#include "ProcMonCls.h"
#include "ProcsTestSupport.h"
#include "QrtFrm.h"
#include "RatingImages.h"
#include "Seams.h"
#include "SpywareSearchFrm.h"
#include "UiWait.h"
#include "ViewBindings.h"

namespace {

using procstest::CopyExe;

const char kNotActive[] = " (the program is not active)";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Clicks a button from another thread once its window shows, while the test's own
// thread is inside the command that shows it.
std::thread ClickWhenShown(HWND button) {
  return std::thread([button] {
    const HWND window = GetAncestor(button, GA_ROOT);
    for (DWORD start = GetTickCount(); !IsWindowVisible(window) && GetTickCount() - start < 10000;) Sleep(5);
    PostMessageA(button, BM_CLICK, 0, 0);
  });
}

// Runs the action from the message pump once a search is under way, as a click the
// user makes in the middle of it.
std::function<void()> g_duringSearch;
int g_afterProgress = 0;  // of the progress bar's 1000 steps
void CALLBACK DuringSearchTick(HWND, UINT, UINT_PTR id, DWORD) {
  if (!DetailsFrm.Filling() || DetailsFrm.Texts.ProgressBar1.Value() <= g_afterProgress || !g_duringSearch) return;
  KillTimer(nullptr, id);
  auto action = std::move(g_duringSearch);
  g_duringSearch = nullptr;
  action();
}
UINT_PTR DuringSearch(std::function<void()> action, int afterProgress = 0) {
  g_duringSearch = std::move(action);
  g_afterProgress = afterProgress;
  return SetTimer(nullptr, 0, 10, DuringSearchTick);
}

// A user's click on a check box of a list: the control's own state change.
void UserCheck(ui::ListView& list, int row, bool on) {
  LVITEMA item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  SendMessageA(list.hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

class DetailsTest : public procstest::WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    ProcWarn = 1;
    seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT style) {
      messages.push_back(text);
      styles.push_back(style);
      return answer;
    };
    seams::ShellExecuteFn = [](const seams::ShellRequest&) { return true; };
    Mainfrm.AppLst.Clear();
    DetailsFrm.Unload();
    ASSERT_TRUE(DetailsFrm.Load());
    DetailsFrm.Show();
  }
  void TearDown() override {
    DetailsFrm.Unload();
    SpywareSearchFrm.Unload();
    for (int i = 0; i < 5; ++i) RiskCategories[i].Shown = true;
    seams::Reset();
    WalkerTest::TearDown();
  }
  // A fresh full fill for the path (the walker may run again at once).
  void Show(const std::string& path) {
    Advance(2000);
    DetailsFrm.RefFrm(path, false);
  }
  std::vector<std::string> InfoItems() {
    std::vector<std::string> items;
    for (int r = 0; r < DetailsFrm.Summary.ProgInfoLst.ItemCount(); ++r)
      items.push_back(DetailsFrm.Summary.ProgInfoLst.ItemText(r));
    return items;
  }
  std::string Info(const std::string& item) {
    for (int r = 0; r < DetailsFrm.Summary.ProgInfoLst.ItemCount(); ++r)
      if (DetailsFrm.Summary.ProgInfoLst.ItemText(r) == item) return DetailsFrm.Summary.ProgInfoLst.SubItem(r, 1);
    return "(missing)";
  }
  DWORD Priority(HANDLE process) { return GetPriorityClass(process); }

  int answer = IDYES;
  std::vector<std::string> messages;
  std::vector<UINT> styles;
};

TEST(RatingPictureTest, BandsRoundHalvesToEven) {
  const int cases[][2] = {{0, 1}, {4, 1}, {5, 2}, {15, 2}, {16, 3}, {25, 4}, {95, 10}, {96, 11}, {100, 11}};
  for (const auto& c : cases) EXPECT_EQ(RatingPictureOf(c[0]), c[1]) << c[0];
}

TEST_F(DetailsTest, VersionRowsSignatureAndHeader) {
  const std::string all = PathOf("verall.exe");
  ASSERT_TRUE(CopyExe(all, "procs_ver_all.exe"));
  folder_->Keep(all);
  Start("verall.exe");
  Show(all);
  EXPECT_EQ(DetailsFrm.Caption(), "Program's details");
  EXPECT_EQ(InfoItems(), (std::vector<std::string>{"Company Name", "File Description", "File Version", "Legal Copyright",
                                                   "Original FileName", "Product Name", "Product Version", "Full path",
                                                   "Digital Signatures"}));
  EXPECT_EQ(Info("Company Name"), "Fixture Works Ltd");
  EXPECT_EQ(Info("Full path"), all);
  EXPECT_EQ(Info("Digital Signatures"), "The file is not signed or signature verification failed");
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
  EXPECT_TRUE(DetailsFrm.Processes.ProcLst.Selected(0));
  EXPECT_EQ(DetailsFrm.ProgIntNameLbl.Text().find(kNotActive), std::string::npos);
  EXPECT_TRUE(DetailsFrm.Processes.Toolbar1.ButtonEnabled("Terminate Process"));
  EXPECT_EQ(DetailsFrm.ProgIntNameLbl.GetBounds().x,
            DetailsFrm.ProgIcnPic.Visible() ? DetailsFrm.ProgIcnPic.GetBounds().x + DetailsFrm.ProgIcnPic.GetBounds().width + 2
                                            : DetailsFrm.ProgIcnPic.GetBounds().x);

  // Not running, signed: the signer, the suffix, no instance commands.
  const std::string signedCopy = PathOf("signed.exe");
  ASSERT_TRUE(CopyExe(signedCopy, "procs_signed.exe"));
  folder_->Keep(signedCopy);
  Show(signedCopy);
  EXPECT_EQ(InfoItems(), (std::vector<std::string>{"Full path", "Digital Signatures"}));
  EXPECT_EQ(Info("Digital Signatures"),
            "The digital signature on the file has been verified. If you trust -Quillon Test Signer- then you should "
            "trust the file.");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 0);
  const std::string header = DetailsFrm.ProgIntNameLbl.Text();
  ASSERT_GT(header.size(), sizeof kNotActive);
  EXPECT_EQ(header.substr(header.size() - (sizeof kNotActive - 1)), kNotActive);
  EXPECT_FALSE(DetailsFrm.Processes.Toolbar1.ButtonEnabled("Increase Priority"));
  // A page refresh writes the suffix once, not again behind the last one.
  DetailsFrm.RefreshMe();
  EXPECT_EQ(DetailsFrm.ProgIntNameLbl.Text(), header);
}

TEST_F(DetailsTest, TwoInstancesTheSelectionKeptAndTheModulesOfTheSelectedOne) {
  Start("two.exe");
  Start("two.exe");
  const std::string path = PathOf("two.exe");
  Show(path);
  ui::ListView& procs = DetailsFrm.Processes.ProcLst;
  ASSERT_EQ(procs.ItemCount(), 2);
  EXPECT_EQ(procs.ColumnCount(), 9);
  EXPECT_EQ(procs.ColumnText(1), "Priority");
  EXPECT_EQ(procs.ColumnText(2), "Commited memory (k)");
  EXPECT_TRUE(procs.Selected(0));
  procs.SetSelected(0, false);
  procs.SetSelected(1, true);
  const std::string second = procs.ItemText(1);
  Advance(2000);
  DetailsFrm.RefBtn_Click();
  ASSERT_EQ(procs.SelectedRows().size(), 1u);
  EXPECT_EQ(procs.ItemText(procs.SelectedRows()[0]), second);

  DetailsFrm.ShowPage("modules");
  ASSERT_GT(DetailsFrm.Modules.ModsLst.ItemCount(), 0);
  EXPECT_EQ(vb::LCase(DetailsFrm.Modules.ModsLst.SubItem(0, 2)), vb::LCase(path));

  // Sorting by id: numbers, and the next click turns the order.
  DetailsFrm.Lists_ColumnClick(procs, 0);
  const bool ascending = vb::Val(procs.ItemText(0)) < vb::Val(procs.ItemText(1));
  DetailsFrm.Lists_ColumnClick(procs, 0);
  EXPECT_EQ(vb::Val(procs.ItemText(0)) < vb::Val(procs.ItemText(1)), !ascending);
  DetailsFrm.Lists_ColumnClick(procs, 2);
  EXPECT_EQ(procs.SortType(), ui::SortKind::kNumber);
  EXPECT_TRUE(procs.SortAscending());

  // The clipboard: a process row, and a version-list row.
  answer = IDYES;
  DetailsFrm.Lists_DblClick(procs);
  EXPECT_EQ(testsupport::ClipboardText().rfind(procs.ItemText(procs.SelectedRows()[0]) + " - ", 0), 0u);
  EXPECT_EQ(messages.back(), "The item has been copied to the clipboard");
  DetailsFrm.Summary.ProgInfoLst.SetSelected(0, true);
  DetailsFrm.Lists_DblClick(DetailsFrm.Summary.ProgInfoLst);
  EXPECT_EQ(testsupport::ClipboardText(), "Full path : " + path);
  answer = IDNO;
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  DetailsFrm.Lists_DblClick(DetailsFrm.Summary.ProgInfoLst);
  EXPECT_EQ(testsupport::ClipboardText(), "");
}

TEST_F(DetailsTest, TheFamiliesColumnsRiskMonitorAndModules) {
  testsupport::Fixture& f = Start("nine.exe");
  DetailsFrm.Unload();
  IsWinNTFlag = false;
  ASSERT_TRUE(DetailsFrm.Load());
  Show(PathOf("nine.exe"));
  ui::ListView& procs = DetailsFrm.Processes.ProcLst;
  EXPECT_EQ(procs.ColumnCount(), 6);
  EXPECT_EQ(procs.ColumnText(1), "No. of threads");
  EXPECT_EQ(procs.ColumnText(2), "Priority");
  EXPECT_FALSE(DetailsFrm.asxToolbar1.ButtonEnabled("riskmon"));
  ASSERT_EQ(procs.ItemCount(), 1);
  EXPECT_EQ(procs.SubItem(0, 2), "Normal");
  DetailsFrm.Processes.Toolbar1_ButtonClick("Increase Priority");  // the priority column is the third here
  EXPECT_EQ(GetPriorityClass(f.process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(Info("Digital Signatures"), "The file is not signed or signature verification failed");

  DetailsFrm.Unload();
  IsWinNTFlag = true;
  IsNT4 = true;
  ASSERT_TRUE(DetailsFrm.Load());
  Show(PathOf("nine.exe"));
  DetailsFrm.ShowPage("modules");
  EXPECT_FALSE(DetailsFrm.Modules.ModsLst.Visible());
  EXPECT_EQ(DetailsFrm.Modules.ModsLst.ItemCount(), 0);
  EXPECT_TRUE(DetailsFrm.asxToolbar1.ButtonEnabled("riskmon"));
  IsNT4 = false;
}

TEST_F(DetailsTest, PriorityButtonsAndMenuReadBack) {
  testsupport::Fixture& f = Start("prio.exe");
  Show(PathOf("prio.exe"));
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
  EXPECT_TRUE(DetailsFrm.Processes.Toolbar1.DropDownButton("Increase Priority"));
  ASSERT_EQ(Priority(f.process()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  DetailsFrm.Processes.Toolbar1_ButtonClick("Increase Priority");
  EXPECT_EQ(Priority(f.process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  DetailsFrm.Processes.Toolbar1_ButtonClick("Decrease Priority");
  DetailsFrm.Processes.Toolbar1_ButtonClick("Decrease Priority");
  EXPECT_EQ(Priority(f.process()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  DetailsFrm.Processes.Toolbar1_ButtonClick("Decrease Priority");  // the bottom end
  EXPECT_EQ(Priority(f.process()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  DetailsFrm.Processes.mnuPriority_Click(3);
  EXPECT_EQ(Priority(f.process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  DetailsFrm.Processes.mnuPriority_Click(4);
  const DWORD realtime = Priority(f.process());
  EXPECT_TRUE(realtime == REALTIME_PRIORITY_CLASS || realtime == HIGH_PRIORITY_CLASS) << realtime;
  RecordProperty("realtime_reads_back", std::to_string(realtime));
  DetailsFrm.Processes.mnuPriority_Click(2);
  EXPECT_EQ(Priority(f.process()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(0, 1), "Normal");
}

TEST_F(DetailsTest, TerminateProcessAsksAndEndsOnlyTheProgramsOwnId) {
  testsupport::Fixture& mine = Start("mine.exe");
  testsupport::Fixture& other = Start("other.exe");
  Show(PathOf("mine.exe"));
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
  answer = IDNO;
  DetailsFrm.Processes.Toolbar1_ButtonClick("Terminate Process");
  EXPECT_EQ(messages.back(), "Are you sure you want to terminate the selected process?");
  EXPECT_FALSE(procstest::Ended(mine.process(), 200));
  // A row that holds another program's id ends nothing.
  answer = IDYES;
  DetailsFrm.Processes.ProcLst.SetSubItem(0, 0, std::to_string(other.pid()));
  DetailsFrm.Processes.Toolbar1_ButtonClick("Terminate Process");
  EXPECT_FALSE(procstest::Ended(other.process(), 300));
  EXPECT_FALSE(procstest::Ended(mine.process(), 0));
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemText(0), std::to_string(mine.pid()));  // the refresh wrote the real row
  DetailsFrm.Processes.Toolbar1_ButtonClick("Terminate Process");
  EXPECT_TRUE(procstest::Ended(mine.process()));
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 0);
  // Without a selection the commands only refresh.
  DetailsFrm.Processes.Toolbar1_ButtonClick("Increase Priority");
}

TEST_F(DetailsTest, BackAndNextWalkTheTableIgnoringCase) {
  LastProcWalkTick = now_;  // the walker is throttled: the table below stays
  const auto table = [](std::vector<std::string> paths) {
    ProgTable.clear();
    for (const std::string& p : paths) ProgTable.push_back({p, "", "", "", "", "1", "", ""});
    ProgTableLast = static_cast<int16_t>(ProgTable.size()) - 1;
  };
  table({"C:\\A.EXE", "C:\\B.EXE", "C:\\C.EXE"});
  struct Step {
    const char* from;
    int step;
    const char* to;
  } steps[] = {{"c:\\b.exe", 1, "C:\\C.EXE"}, {"c:\\c.exe", 1, "C:\\A.EXE"}, {"C:\\A.EXE", -1, "C:\\C.EXE"},
               {"c:\\b.exe", -1, "C:\\A.EXE"}, {"c:\\zzz.exe", -1, "C:\\A.EXE"}, {"c:\\zzz.exe", 1, "C:\\C.EXE"}};
  for (const Step& s : steps) {
    DetailsFrm.RefFrm(s.from, false);
    s.step < 0 ? DetailsFrm.BackBtn_Click() : DetailsFrm.NextBtn_Click();
    EXPECT_EQ(DetailsFrm.CurrentPath, s.to) << s.from << " " << s.step;
  }
  table({});
  DetailsFrm.RefFrm("c:\\b.exe", false);
  DetailsFrm.NextBtn_Click();
  DetailsFrm.BackBtn_Click();
  EXPECT_EQ(DetailsFrm.CurrentPath, "c:\\b.exe");
}

TEST_F(DetailsTest, HelpByKeyAndButtonAndPagesFromTheSelectList) {
  std::vector<std::string> opened;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& r) {
    opened.push_back(r.file);
    return true;
  };
  DetailsFrm.HelpBtn_Click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NE(opened[0].find("online_help"), std::string::npos) << opened[0];
  // F1 on any control of the window, through the pump's key preview.
  PostMessageA(DetailsFrm.RefBtn.hwnd(), WM_KEYDOWN, VK_F1, 0);
  testsupport::PumpUntil([&] { return opened.size() == 2; }, 1000);
  EXPECT_EQ(opened.size(), 2u);

  // The select list shows the page at its position, beside itself.
  for (const char* page : {"a", "b", "c", "d", "e", "f"}) DetailsFrm.SelectLst.AddItem(page);
  DetailsFrm.SelectLst.SetListIndex(5);
  EXPECT_TRUE(DetailsFrm.PageFrm[5].Visible());
  EXPECT_FALSE(DetailsFrm.PageFrm[0].Visible());
  const ui::Bounds list = DetailsFrm.SelectLst.GetBounds();
  EXPECT_EQ(DetailsFrm.PageFrm[5].GetBounds().x, list.x + list.width + 2);
  DetailsFrm.SelectLst.Clear();
  DetailsFrm.ShowPage("summary");
  EXPECT_TRUE(DetailsFrm.PageFrm[0].Visible());
}

// A program that is not running shows no rating, never the previous program's.
TEST_F(DetailsTest, AProgramNotRunningShowsNoRatingOfAnother) {
  Start("rated.exe");
  DetailsFrm.ShowPage("summary");
  Show(PathOf("rated.exe"));
  const std::string rated = DetailsFrm.Summary.OverallRatingLbl.Text();
  ASSERT_FALSE(rated.empty());
  EXPECT_EQ(rated.back(), '%');
  EXPECT_TRUE(DetailsFrm.Summary.OveralllRatingImg.Visible());
  ASSERT_TRUE(CopyExe(PathOf("ghost.exe")));
  folder_->Keep(PathOf("ghost.exe"));
  Show(PathOf("ghost.exe"));
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 0);
  EXPECT_NE(DetailsFrm.ProgIntNameLbl.Text().find("(the program is not active)"), std::string::npos);
  EXPECT_EQ(DetailsFrm.Summary.OverallRatingLbl.Text(), "");
  EXPECT_FALSE(DetailsFrm.Summary.OveralllRatingImg.Visible());
  EXPECT_EQ(DetailsFrm.Summary.detailsTxt[2].Text(), kNotRatedText);
  // Running again, it is rated again.
  Show(PathOf("rated.exe"));
  EXPECT_EQ(DetailsFrm.Summary.OverallRatingLbl.Text(), rated);
  EXPECT_TRUE(DetailsFrm.Summary.OveralllRatingImg.Visible());
}

TEST_F(DetailsTest, AnEmptyPathKeepsTheProgramOrShowsTheEmptyWindow) {
  Start("kept.exe");
  DetailsFrm.RefFrm("", false);
  EXPECT_EQ(DetailsFrm.ProgIntNameLbl.Text(), "(none)");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 0) << "mode 3 with no path lists every process";
  EXPECT_EQ(DetailsFrm.CurrentPath, "");
  Show(PathOf("kept.exe"));
  DetailsFrm.RefFrm("", false);
  EXPECT_EQ(DetailsFrm.CurrentPath, PathOf("kept.exe"));
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
}

// ---- Readable texts

TEST_F(DetailsTest, EachMemorySearchFindsOnlyItsOwnStringsAndTheFileItsOwn) {
  Start("alpha.exe", "strings");
  Start("beta.exe", "strings");
  Show(PathOf("alpha.exe"));
  DetailsFrm.ShowPage("textinmem");
  std::string texts = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(texts.find("Planted memory words of alpha.exe\r\n"), std::string::npos);
  EXPECT_NE(texts.find("Crossing memory words of alpha.exe\r\n"), std::string::npos) << "across the 1 MB mark";
  EXPECT_EQ(texts.find("words of beta.exe"), std::string::npos);
  EXPECT_EQ(texts.find("Fixture words kept in the file only"), std::string::npos);
  EXPECT_TRUE(IsWindowEnabled(DetailsFrm.Texts.FileTextTxt.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.Texts.StopBtn.hwnd()));

  // The other option searches the file again.
  DetailsFrm.Texts.textsOpt[1].SetValue(true);
  DetailsFrm.Texts.textsOpt[0].SetValue(false);
  DetailsFrm.Texts.textsOpt_Click();
  texts = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(texts.find("Fixture words kept in the file only\r\n"), std::string::npos);
  EXPECT_EQ(texts.find("Planted memory words of alpha.exe"), std::string::npos);

  // An instance that has ended gives nothing.
  DetailsFrm.Texts.textsOpt[0].SetValue(true);
  DetailsFrm.Texts.textsOpt[1].SetValue(false);
  Show(PathOf("beta.exe"));
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
  DetailsFrm.Processes.ProcLst.SetSubItem(0, 0, "4000000");  // an id no process has
  DetailsFrm.Texts.FileTextTxt.SetText("");
  DetailsFrm.RefreshMe();
  EXPECT_EQ(DetailsFrm.Texts.FileTextTxt.Text(), "No strings were found!");
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.Texts.FileTextTxt.hwnd()));
}

namespace {
// Stops or lets go on the Linux process that runs a program (SIGSTOP, SIGCONT), as a
// debugger holding it would: none of its threads runs, not even Wine's own.
bool SignalUnixProcess(const std::string& windowsPath, const char* signal) {
  return testsupport::SignalUnix(testsupport::UnixPidOf(windowsPath), signal);
}
}  // namespace

// A stopped program never answers questions about its memory: the search gives up,
// says so, and the window answers all the while.
TEST_F(DetailsTest, AMemorySearchOfAStoppedProgramGivesUpAndSaysSo) {
  Start("stopped.exe", "strings");
  Show(PathOf("stopped.exe"));
  ASSERT_TRUE(SignalUnixProcess(PathOf("stopped.exe"), "STOP"));
  DetailsFrm.ShowPage("textinmem");
  SignalUnixProcess(PathOf("stopped.exe"), "CONT");
  EXPECT_EQ(DetailsFrm.Texts.FileTextTxt.Text(), "The program's memory can't be read: the program does not answer.");
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.Texts.StopBtn.hwnd()));
}

TEST_F(DetailsTest, TheFileSearchKeepsATextWholeAcrossAMegabyteMark) {
  const std::string path = PathOf("crossing.exe");
  ASSERT_TRUE(CopyExe(path));
  folder_->Keep(path);
  {
    // Zeros up to a few bytes before a megabyte mark, a text across it, and more zeros:
    // the search reads 1 MB pieces, so every such mark is where a piece ends. The mark
    // is the first one past the program's own bytes (1 MB for the 32-bit fixture, 2 MB
    // for the larger 64-bit one); the file is well past the size at which the search
    // once wrote past its buffer.
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.seekp(0, std::ios::end);
    const long size = static_cast<long>(out.tellp());
    const long megabyte = 1024 * 1024;
    long mark = (size / megabyte + 1) * megabyte;
    if (mark - size < 100) mark += megabyte;
    out << std::string(mark - 6 - size, '\0') << "Hello world across the mark" << std::string(5000, '\0')
        << "Words at the very end";
  }
  Start("crossing.exe");
  DetailsFrm.Texts.textsOpt[1].SetValue(true);
  DetailsFrm.Texts.textsOpt[0].SetValue(false);
  Show(path);
  DetailsFrm.ShowPage("textinmem");
  const std::string texts = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(texts.find("\r\nHello world across the mark\r\n"), std::string::npos) << "one text, not two";
  EXPECT_EQ(texts.find("Hello \r\n"), std::string::npos);
  EXPECT_NE(texts.find("\r\nWords at the very end\r\n"), std::string::npos) << "the padded last chunk closes it";
}

class DetailsFillTest : public DetailsTest {
 protected:
  void SetUp() override {
    DetailsTest::SetUp();
    big = PathOf("big.exe");
    ASSERT_TRUE(CopyExe(big));
    folder_->Keep(big);
    // Appended data: a long file whose last words show whether the search ran to the end.
    {
      std::ofstream out(big, std::ios::binary | std::ios::app);
      std::string line = "Appended filler line of readable words\n";
      for (int i = 0; i < 150000; ++i) out << line;
      out << "Final marker sentence of big\n" << std::string(300, '\0');
    }
    Start("big.exe");
    Start("small.exe");
    DetailsFrm.Texts.textsOpt[1].SetValue(true);
    DetailsFrm.Texts.textsOpt[0].SetValue(false);
  }
  std::string big;
};

TEST_F(DetailsFillTest, ARefreshPostedIntoASearchRunsAfterItAndGivesOneWholeResult) {
  Show(big);
  UINT_PTR timer = DuringSearch([] { DetailsFrm.RefBtn_Click(); });
  DetailsFrm.ShowPage("textinmem");
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_duringSearch) << "the refresh came during the search";
  const std::string texts = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(texts.find("Final marker sentence of big"), std::string::npos);
  EXPECT_EQ(texts.find("Fixture words kept in the file only"), texts.rfind("Fixture words kept in the file only"))
      << "one result, not two";
  EXPECT_FALSE(DetailsFrm.Filling());
}

TEST_F(DetailsFillTest, NextPostedIntoASearchShowsOnlyTheNextProgramsStrings) {
  LastProcWalkTick = now_ + 100000;  // the table below stays
  Show(big);
  ProgTable = {{vb::UCase(big), "", "", "", "", "1", "", ""}, {vb::UCase(PathOf("small.exe")), "", "", "", "", "1", "", ""}};
  ProgTableLast = 1;
  UINT_PTR timer = DuringSearch([] { DetailsFrm.NextBtn_Click(); });
  DetailsFrm.ShowPage("textinmem");
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_duringSearch);
  EXPECT_EQ(vb::LCase(DetailsFrm.CurrentPath), vb::LCase(PathOf("small.exe")));
  const std::string texts = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(texts.find("Fixture words kept in the file only"), std::string::npos);
  EXPECT_EQ(texts.find("Appended filler line"), std::string::npos);
}

TEST_F(DetailsFillTest, CloseAndStopPostedIntoASearch) {
  Show(big);
  DetailsFrm.Texts.ProgressBar1.SetValue(0);  // not the end of an earlier search
  UINT_PTR timer = DuringSearch([] { DetailsFrm.Texts.StopBtn_Click(); }, 500);
  DetailsFrm.ShowPage("textinmem");
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_duringSearch);
  const std::string part = DetailsFrm.Texts.FileTextTxt.Text();
  EXPECT_NE(part.find("Appended filler line"), std::string::npos) << "the part found shows";
  EXPECT_EQ(part.find("Final marker sentence of big"), std::string::npos);

  DetailsFrm.Texts.FileTextTxt.SetText("");
  // Mode 3 from the pump while the fill runs fills the cache, not the window.
  static size_t cached = 0;
  static int rows = -1;
  static std::string path;
  path = big;
  timer = DuringSearch([] {
    DoProcessListOp(kProcDetailsInstances, path);
    cached = DetailsProcIdList.size();
    rows = DetailsFrm.Processes.ProcLst.ItemCount();
    DetailsFrm.CloseBtn_Click();
    EXPECT_FALSE(DetailsFrm.Visible()) << "hidden at once";
  });
  DetailsFrm.RefreshMe();
  KillTimer(nullptr, timer);
  EXPECT_EQ(cached, 1u);
  EXPECT_EQ(rows, 1);
  EXPECT_FALSE(DetailsFrm.Loaded()) << "unloaded once the fill was over";
}

// ---- Removal tools

TEST_F(DetailsTest, TerminateProgramEndsEveryInstanceAndKeepsTheFile) {
  testsupport::Fixture& a = Start("victim.exe");
  testsupport::Fixture& b = Start("victim.exe");
  Show(PathOf("victim.exe"));
  answer = IDNO;
  DetailsFrm.Removal.TerminateProg_Click();
  EXPECT_FALSE(procstest::Ended(a.process(), 200));
  answer = IDYES;
  DetailsFrm.Removal.TerminateProg_Click();
  EXPECT_TRUE(procstest::Ended(a.process()));
  EXPECT_TRUE(procstest::Ended(b.process()));
  EXPECT_TRUE(FileExists(PathOf("victim.exe")));
}

TEST_F(DetailsTest, QuarantineCancelFailureLinksAndSearch) {
  testsupport::Fixture& f = Start("qrt.exe");
  const std::string path = PathOf("qrt.exe");
  Show(path);
  // Cancel in the pause: nothing happens.
  ASSERT_TRUE(CancelEvent.Load());
  std::thread cancel = ClickWhenShown(CancelEvent.btnCancel.hwnd());
  DetailsFrm.Removal.QrtBtn_Click();
  cancel.join();
  EXPECT_FALSE(procstest::Ended(f.process(), 100));
  EXPECT_FALSE(CancelEvent.Visible());
  DetailsFrm.Removal.QrtBtn_Click();
  EXPECT_TRUE(procstest::Ended(f.process()));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(FileExists(path + "_XX"));
  bool listed = false;
  for (int r = 0; r < QrtFrm.FilesLV.ItemCount(); ++r)
    listed = listed || vb::LCase(QrtFrm.FilesLV.ItemText(r)) == vb::LCase(path);
  EXPECT_TRUE(listed) << "the quarantine list names it";
  // A path that cannot be quarantined says so.
  Show(PathOf("nothing_here.exe"));
  DetailsFrm.Removal.QrtBtn_Click();
  EXPECT_EQ(messages.back(), "The program " + PathOf("nothing_here.exe") + " can't be send to the quarantine.");
  EXPECT_EQ(styles.back() & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));

  DetailsFrm.Removal.Label7_Click(0);
  EXPECT_TRUE(ViewVisible(Views.quarantine.form));
  HideView(Views.quarantine.form);

  DetailsFrm.Removal.SearchBtn_Click();
  EXPECT_FALSE(DetailsFrm.Loaded());
  EXPECT_TRUE(SpywareSearchFrm.Visible());
  EXPECT_EQ(SpywareSearchFrm.ProgPath, PathOf("nothing_here.exe"));
}

class DetailsStartUpTest : public DetailsTest {
 protected:
  void TearDown() override {
    for (const std::string& key : {std::string(kRunKey), std::string(kRunKey) + "-"}) {
      HKEY h;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        RegDeleteValueA(h, "qpdetails");
        RegCloseKey(h);
      }
    }
    MoreToolsFrm.RefreshMe(false);
    DetailsTest::TearDown();
  }
  static void Put(const std::string& key, DWORD type, const std::string& data) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(h, "qpdetails", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(h);
  }
  static bool Get(const std::string& key, DWORD& type, std::string& data) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    char buffer[4096] = {};
    DWORD size = sizeof buffer - 1;
    const bool found = RegQueryValueExA(h, "qpdetails", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                       ERROR_SUCCESS;
    RegCloseKey(h);
    data = buffer;
    return found;
  }
};

TEST_F(DetailsStartUpTest, RemoveFromStartUpMovesTheValueUnchanged) {
  Start("boot.exe");
  const std::string line = "\"" + PathOf("boot.exe") + "\" " + std::string(1500, 'x');
  Put(kRunKey, REG_EXPAND_SZ, line);
  Show(PathOf("boot.exe"));
  ASSERT_TRUE(IsWindowEnabled(DetailsFrm.Removal.RemStartUpBtn.hwnd()));
  DetailsFrm.Removal.RemStartUpBtn_Click();
  DWORD type = 0;
  std::string data;
  EXPECT_FALSE(Get(kRunKey, type, data));
  ASSERT_TRUE(Get(std::string(kRunKey) + "-", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(data, line);
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.Removal.RemStartUpBtn.hwnd()));
}

TEST_F(DetailsStartUpTest, ASameNamedDisabledValueBlocksTheMove) {
  Start("boot.exe");
  Put(kRunKey, REG_SZ, "\"" + PathOf("boot.exe") + "\"");
  Put(std::string(kRunKey) + "-", REG_SZ, "older");
  Show(PathOf("boot.exe"));
  DetailsFrm.Removal.RemStartUpBtn_Click();
  DWORD type = 0;
  std::string data;
  EXPECT_TRUE(Get(kRunKey, type, data));
  ASSERT_TRUE(Get(std::string(kRunKey) + "-", type, data));
  EXPECT_EQ(data, "older");
  EXPECT_TRUE(IsWindowEnabled(DetailsFrm.Removal.RemStartUpBtn.hwnd()));

  DetailsFrm.Removal.Label7_Click(1);
  EXPECT_EQ(MoreToolsFrm.SSTab1.Tab(), 2);
  const int16_t k = MoreToolsFrm.SearchStartUpLV(PathOf("boot.exe"));
  ASSERT_GE(k, 1);
  EXPECT_TRUE(MoreToolsFrm.StartUpLV.Selected(k - 1));
  HideView(Views.frame.form);
}

// ---- Risk pages

class DetailsRiskTest : public DetailsTest {
 protected:
  void SetUp() override {
    DetailsTest::SetUp();
    answer = IDNO;  // "clear the log?" keeps nothing to clear
    InitRiskMonitor();
    path = PathOf("watched.exe");
    DeleteFileA(ProcMonCls::LogPathOf(path).c_str());
    Start("watched.exe");
    Show(path);
  }
  void TearDown() override {
    for (int i = 0; i < static_cast<int>(MonitoredProgHist.size()); ++i)
      if (MonitoredProgHist[i] && !MonitoredProgHist[i]->ExtraInfo.empty())
        ProcCPUFrm.RemoveProcess(static_cast<int16_t>(i), MonitoredProgHist[i]->ExtraInfo);
    DeleteFileA(ProcMonCls::LogPathOf(path).c_str());
    DeleteFileA(ProcMonCls::LogPathOf(PathOf("other.exe")).c_str());
    DeleteSection(ProgramTitle, "tmpcpu");
    DetailsTest::TearDown();
  }
  void Log(const std::string& line) { ASSERT_TRUE(AppendMonitorLogLine(ProcMonCls::LogPathOf(path), line + "\r\n")); }
  std::vector<std::string> Column(ui::ListView& list, int column) {
    std::vector<std::string> cells;
    for (int r = 0; r < list.ItemCount(); ++r) cells.push_back(list.SubItem(r, column));
    return cells;
  }
  std::string path;
};

TEST_F(DetailsRiskTest, AProgramThatCannotBeHookedIsNotSaidToBeMonitored) {
  const bool nt = IsWinNTFlag;
  IsWinNTFlag = true;
  BrackelLibraryName = "NoSuchBrackel.dll";  // nothing can hook it
  DetailsFrm.ShowPage("riskmon");
  DetailsFrm.RiskMon.AddBtn_Click();
  EXPECT_EQ(DetailsFrm.RiskMon.RecStatusLbl.Text(),
            "This program could not be monitored: its risky functions are not being recorded. Quillon tries again "
            "while it runs.");
  EXPECT_EQ(DetailsFrm.RiskMon.IndShp.BackColor(), RGB(255, 160, 0));
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.RiskMon.AddBtn.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(DetailsFrm.RiskMon.RemoveBtn.hwnd())) << "it can still be taken off the list";
  BrackelLibraryName = "Brackel.dll";
  IsWinNTFlag = nt;
}

TEST_F(DetailsRiskTest, StartMonitoringLogsOnlyNewLinesAndFiltersInBothLists) {
  DetailsFrm.ShowPage("riskmon");
  EXPECT_EQ(DetailsFrm.RiskMon.IndShp.BackColor(), RGB(255, 0, 0));
  EXPECT_TRUE(IsWindowEnabled(DetailsFrm.RiskMon.AddBtn.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(DetailsFrm.RiskMon.RemoveBtn.hwnd()));
  DetailsFrm.RiskMon.AddBtn_Click();
  EXPECT_EQ(DetailsFrm.RiskMon.IndShp.BackColor(), RGB(0, 255, 0));
  EXPECT_EQ(DetailsFrm.RiskMon.RecStatusLbl.Text(), "This program is currently being monitored for risky functions.");
  ASSERT_GE(DetailsFrm.RiskMon.MonitorIndex, 0);
  EXPECT_EQ(MonitoredProgHist[DetailsFrm.RiskMon.MonitorIndex]->ExtraInfo, path);
  EXPECT_EQ(ProcCPUFrm.CurrentProcLV.SubItem(ProcCPUFrm.CurrentProcLV.ItemCount() - 1, 0).find(kNotActive),
            std::string::npos);

  Log("10:00:01 201 a.txt");
  Log("10:00:02 201 a.txt");
  Log("10:00:03 301 HKCU\\x");
  DetailsFrm.RiskMon.RiskMonSTab.SetTab(1);
  DetailsFrm.RefreshMe();
  EXPECT_EQ(Column(DetailsFrm.RiskMon.RiskLogLV, 2),
            (std::vector<std::string>{Column(DetailsFrm.RiskMon.RiskLogLV, 2)[0], "a.txt", "a.txt", "HKCU\\x"}));
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.Tag(0), "101");
  EXPECT_EQ(DetailsFrm.RiskMon.LogCounter, 4);
  Log("10:00:04 302 HKCU\\y");
  DetailsFrm.RefreshMe();
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.ItemCount(), 5) << "only the new line joins";

  DetailsFrm.RiskMon.RiskMonSTab.SetTab(0);
  DetailsFrm.RefreshMe();
  EXPECT_EQ(Column(DetailsFrm.RiskMon.CanDoLV, 0),
            (std::vector<std::string>{GetRiskDescription(201), GetRiskDescription(301), GetRiskDescription(302)}))
      << "101 and 102 never show here";

  // File operations off in the first list: off in both, and gone from both.
  UserCheck(DetailsFrm.RiskMon.FiltersLV[0], 0, false);
  EXPECT_FALSE(RiskCategories[0].Shown);
  EXPECT_FALSE(DetailsFrm.RiskMon.FiltersLV[1].Checked(0));
  EXPECT_EQ(DetailsFrm.RiskMon.CanDoLV.ItemCount(), 2);
  DetailsFrm.RiskMon.RiskMonSTab.SetTab(1);
  DetailsFrm.RefreshMe();
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.ItemCount(), 3);
  UserCheck(DetailsFrm.RiskMon.FiltersLV[1], 0, true);
  EXPECT_TRUE(DetailsFrm.RiskMon.FiltersLV[0].Checked(0));
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.ItemCount(), 5);

  // Repeated lines: counted, not shown.
  UserCheck(DetailsFrm.RiskMon.FiltersLV[1], 5, true);
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.ItemCount(), 4);
  EXPECT_EQ(DetailsFrm.RiskMon.LogCounter, 5);
  UserCheck(DetailsFrm.RiskMon.FiltersLV[1], 5, false);
  EXPECT_EQ(DetailsFrm.RiskMon.RiskLogLV.ItemCount(), 5);

  // A cleared log starts the list over.
  { std::ofstream(ProcMonCls::LogPathOf(path), std::ios::trunc | std::ios::binary) << "10:00:09 401 host\r\n"; }
  DetailsFrm.RefreshMe();
  EXPECT_EQ(Column(DetailsFrm.RiskMon.RiskLogLV, 2), (std::vector<std::string>{"host"}));

  // Stop: No is the default, and No keeps the monitor.
  DetailsFrm.RiskMon.RemoveBtn_Click();
  EXPECT_EQ(messages.back(), "Are you sure you want to stop monitoring this program?");
  EXPECT_EQ(styles.back() & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(DetailsFrm.RiskMon.IndShp.BackColor(), RGB(0, 255, 0));
  answer = IDYES;
  DetailsFrm.RiskMon.RemoveBtn_Click();
  EXPECT_EQ(DetailsFrm.RiskMon.IndShp.BackColor(), RGB(255, 0, 0));
  EXPECT_EQ(DetailsFrm.RiskMon.MonitorIndex, -1);
}

TEST_F(DetailsRiskTest, StopLeavesAReusedSlotAlone) {
  DetailsFrm.ShowPage("riskmon");
  DetailsFrm.RiskMon.AddBtn_Click();
  const int16_t slot = DetailsFrm.RiskMon.MonitorIndex;
  ASSERT_GE(slot, 0);
  // Elsewhere the program leaves the monitor and another takes its slot.
  ProcCPUFrm.RemoveProcess(slot, path);
  ASSERT_TRUE(ProcCPUFrm.AddProcess("other", PathOf("other.exe"), true));
  ASSERT_EQ(MonitoredProgHist[slot]->ExtraInfo, PathOf("other.exe"));
  answer = IDYES;
  DetailsFrm.RiskMon.RemoveBtn_Click();
  EXPECT_EQ(MonitoredProgHist[slot]->ExtraInfo, PathOf("other.exe"));
}

TEST_F(DetailsRiskTest, TheCpuTabAndTheFilterPanels) {
  DetailsFrm.ShowPage("riskmon");
  DetailsFrm.RiskMon.AddBtn_Click();
  ASSERT_GE(DetailsFrm.RiskMon.MonitorIndex, 0);
  HistogramCls& history = *MonitoredProgHist[DetailsFrm.RiskMon.MonitorIndex];
  history.AddPoint(37);
  DetailsFrm.RiskMon.IntervalOpt[1].SetValue(true);
  DetailsFrm.RiskMon.IntervalOpt[0].SetValue(false);
  DetailsFrm.RiskMon.RiskMonSTab.SetTab(2);
  DetailsFrm.RefreshMe();
  EXPECT_EQ(DetailsFrm.RiskMon.ProcCPUGrph.PercentUsed(),
            std::max<int>(0, history.Get_Data(1, history.Get_Pointer(1))));

  const ui::Bounds list = DetailsFrm.RiskMon.CanDoLV.GetBounds(), bar = DetailsFrm.RiskMon.Toolbar2[0].GetBounds();
  DetailsFrm.RiskMon.Toolbar2_ButtonClick(0);
  EXPECT_TRUE(DetailsFrm.RiskMon.FilterPanelOpen[0]);
  EXPECT_EQ(DetailsFrm.RiskMon.CanDoLV.GetBounds().height, list.height / 2);
  const ui::Bounds filters = DetailsFrm.RiskMon.FiltersLV[0].GetBounds(),
                   moved = DetailsFrm.RiskMon.Toolbar2[0].GetBounds();
  EXPECT_EQ(moved.y, list.y + list.height / 2 + 1);
  EXPECT_EQ(filters.y + filters.height, bar.y + bar.height) << "the open list reaches the toolbar's old bottom";
  DetailsFrm.RiskMon.Toolbar2_ButtonClick(0);
  EXPECT_EQ(DetailsFrm.RiskMon.CanDoLV.GetBounds().height, list.height);
  EXPECT_EQ(DetailsFrm.RiskMon.Toolbar2[0].GetBounds().y, bar.y);
  EXPECT_FALSE(DetailsFrm.RiskMon.FiltersLV[0].Visible());
}

TEST_F(DetailsRiskTest, TheSummaryAdvisesTheMonitorOnlyWhenNotMonitored) {
  DetailsFrm.ShowPage("summary");
  const std::string text = DetailsFrm.Summary.detailsTxt[2].Text();
  EXPECT_EQ(text.rfind("Rating: ", 0), 0u);
  EXPECT_NE(text.find("choose Risk Monitor from above toolbar (not supported under Win 98/me)."), std::string::npos);
  const std::string label = DetailsFrm.Summary.OverallRatingLbl.Text();
  EXPECT_EQ(DetailsFrm.Summary.RatingPicture, RatingPictureOf(static_cast<int>(vb::Val(label))));
  DetailsFrm.ShowPage("riskmon");
  DetailsFrm.RiskMon.AddBtn_Click();
  DetailsFrm.ShowPage("summary");
  EXPECT_EQ(DetailsFrm.Summary.detailsTxt[2].Text().find("choose Risk Monitor"), std::string::npos);
  // The rows of the risky properties carry their codes and details.
  if (DetailsFrm.Summary.GeneralRiskLV.ItemCount() > 0) {
    DetailsFrm.Summary.GeneralRiskLV_ItemClick(0);
    EXPECT_EQ(DetailsFrm.Summary.detailsTxt[1].Text(),
              GetRiskDetails(static_cast<int16_t>(vb::Val(DetailsFrm.Summary.GeneralRiskLV.Tag(0)))));
  }
}

}  // namespace
