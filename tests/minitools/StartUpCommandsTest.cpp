// The start-up manager's commands on the real registry: nothing is ever lost.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "AddStartupFrm.h"
#include "DetailsFrm.h"
#include "Fixture.h"
#include "Input.h"
#include "Mainfrm.h"
#include "MiniToolsTest.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "MoreToolsFrm.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

using namespace minitoolstest;

class StartUpCommandsTest : public MiniToolsTest {
 protected:
  // Adds or changes through the dialog as a user would.
  void Type(const std::string& name, const std::string& cmdLine, int location) {
    AddStartupFrm.txtName.SetText(name);
    AddStartupFrm.txtCmdLine.SetText(cmdLine);
    AddStartupFrm.Combo1.SetListIndex(location);
    AddStartupFrm.OkBtn_Click();
  }
  void Modify(const std::string& name) {
    Select(Row(name));
    MoreToolsFrm.cmdAdd_Click(1);
    ASSERT_TRUE(AddStartupFrm.Visible());
  }
};

// Disable and enable move the value as it is stored, whatever its kind and length.
TEST_F(StartUpCommandsTest, DisableAndEnableKeepTypeAndBytes) {
  RegRawValue binary;
  binary.type = REG_BINARY;
  binary.bytes = std::string("\x01\x00\xff\x20", 4);
  const std::string longName(300, 'n');
  const struct {
    int runType;
    const char* name;
    RegRawValue value;
  } cases[] = {
      {5, "Plain", Sz("C:\\Program Files\\App\\app.exe /min")},
      {0, "Expand", Sz("  %SystemRoot%\\system32\\x.exe  -a  ", REG_EXPAND_SZ)},
      {6, "Long", Sz("c:\\" + std::string(2000, 'l') + ".exe")},
      {2, "Binary", binary},
      {1, " Padded name ", Sz("c:\\p.exe")},
      {5, longName.c_str(), Sz("c:\\n.exe")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Put(c.runType, false, c.name, c.value);
    const KeyDump before = DumpKeys();
    MoreToolsFrm.RefreshMe(false);
    ASSERT_GE(Row(c.name, "Enabled"), 0);
    Select(Row(c.name));
    MoreToolsFrm.EnableBtn_Click(1);
    KeyDump disabled;
    for (const auto& entry : before) {
      auto key = entry.first;
      if (key.second == c.name) key.first.path += "-";
      disabled[key] = entry.second;
    }
    ExpectKeys(disabled);
    const int row = Row(c.name, "Disabled");
    ASSERT_GE(row, 0);
    EXPECT_TRUE(MoreToolsFrm.StartUpLV.Selected(row)) << "the entry just changed is selected";
    EXPECT_EQ(MoreToolsFrm.StartUpLV.SubItem(row, 3), KeyText(c.runType));
    MoreToolsFrm.EnableBtn_Click(0);
    ExpectKeys(before);
    EXPECT_TRUE(MoreToolsFrm.StartUpLV.Selected(Row(c.name, "Enabled")));
    EXPECT_TRUE(messages.empty());
  }
}

// Enable acts on disabled rows only: an enabled row's namesake under "-" stays.
TEST_F(StartUpCommandsTest, EnableOnAnEnabledRowChangesNothing) {
  Put(5, false, "Twin", Sz("c:\\a.exe"));
  Put(5, true, "Twin", Sz("c:\\b.exe"));
  const KeyDump before = DumpKeys();
  MoreToolsFrm.RefreshMe(false);
  Select(Row("Twin", "Enabled"));
  MoreToolsFrm.EnableBtn_Click(0);
  ExpectKeys(before);
  Select(Row("Twin", "Disabled"));
  MoreToolsFrm.EnableBtn_Click(1);
  ExpectKeys(before);
  // With no row selected nothing happens either.
  Select(-1);
  MoreToolsFrm.EnableBtn_Click(1);
  MoreToolsFrm.cmdDel_Click();
  MoreToolsFrm.cmdAdd_Click(1);
  ExpectKeys(before);
  EXPECT_FALSE(AddStartupFrm.Visible());
}

// A namesake already in the target: the same data only loses the source; other data
// changes nothing and says so.
TEST_F(StartUpCommandsTest, SameNamedTargetIsNeverOverwrittenByEnable) {
  Put(5, true, "Same", Sz("c:\\same.exe"));
  Put(5, false, "SAME", Sz("c:\\same.exe"));
  Put(5, true, "Other", Sz("c:\\new.exe"));
  Put(5, false, "other", Sz("c:\\old.exe"));
  MoreToolsFrm.RefreshMe(false);
  KeyDump expected = DumpKeys();
  expected.erase({{PlaceOf(5, true).hive, PlaceOf(5, true).path}, "Same"});
  Select(Row("Same", "Disabled"));
  MoreToolsFrm.EnableBtn_Click(0);
  ExpectKeys(expected);
  EXPECT_TRUE(messages.empty());
  Select(Row("Other", "Disabled"));
  MoreToolsFrm.EnableBtn_Click(0);
  ExpectKeys(expected);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "A start-up program named 'Other' is already in " + KeyText(5) + "; nothing was changed.");
}

// A write that fails, or stores other bytes, loses nothing and is reported.
TEST_F(StartUpCommandsTest, FailedWritesLoseNothing) {
  Put(5, false, "Victim", Sz("c:\\victim.exe"));
  Put(0, true, "Sleeper", Sz("c:\\sleeper.exe", REG_EXPAND_SZ));
  Put(6, false, "app", Sz("c:\\app.exe"));
  const KeyDump before = DumpKeys();
  const std::function<long(HKEY, const std::string&, const RegRawValue&)> faults[] = {
      [](HKEY, const std::string&, const RegRawValue&) { return long(ERROR_ACCESS_DENIED); },
      [](HKEY key, const std::string& name, const RegRawValue& value) {
        RegRawValue other = value;
        other.bytes = "garbled";
        return WriteRegRaw(key, name, other);
      },
  };
  for (const auto& fault : faults) {
    startupseams::WriteValueFn = fault;
    messages.clear();
    MoreToolsFrm.RefreshMe(false);
    Select(Row("Victim"));
    MoreToolsFrm.EnableBtn_Click(1);
    ExpectKeys(before);
    Select(Row("Sleeper"));
    MoreToolsFrm.EnableBtn_Click(0);
    ExpectKeys(before);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "The start-up program 'Victim' couldn't be written to " + KeyText(5) + "-; nothing was changed.");
    EXPECT_EQ(messages[0].style & MB_ICONMASK, UINT(MB_ICONSTOP));
    // Modify to another place, modify in place, a rename in letter case, and an add.
    Modify("Victim");
    Type("Victim", "c:\\victim.exe /x", 0);
    EXPECT_TRUE(AddStartupFrm.Visible()) << "the dialog keeps what was typed";
    EXPECT_EQ(AddStartupFrm.txtCmdLine.Text(), "c:\\victim.exe /x");
    AddStartupFrm.Unload();
    Modify("Victim");
    Type("Victim", "c:\\victim.exe /y", 5);
    AddStartupFrm.Unload();
    Modify("app");
    Type("App", "c:\\app.exe", 6);
    AddStartupFrm.Unload();
    MoreToolsFrm.cmdAdd_Click(0);
    Type("Fresh", "c:\\fresh.exe", 2);
    AddStartupFrm.Unload();
    ExpectKeys(before);
    EXPECT_EQ(messages.size(), 6u);
  }
}

TEST_F(StartUpCommandsTest, ModifyMovesAndKeepsAsStored) {
  Put(5, true, "Asleep", Sz("  %windir%\\asleep.exe ", REG_EXPAND_SZ));
  Put(6, false, "Exp", Sz("%windir%\\exp.exe", REG_EXPAND_SZ));
  MoreToolsFrm.RefreshMe(false);
  // A disabled entry moved to another place stays disabled, bytes untouched.
  Modify("Asleep");
  EXPECT_EQ(AddStartupFrm.Caption(), "Modify Startup Program");
  EXPECT_EQ(AddStartupFrm.OkBtn.Text(), "Ok");
  EXPECT_EQ(AddStartupFrm.Combo1.ListIndex(), 5);
  AddStartupFrm.Combo1.SetListIndex(1);
  AddStartupFrm.OkBtn_Click();
  EXPECT_FALSE(AddStartupFrm.Visible());
  EXPECT_FALSE(ReadStartUpValue(PlaceOf(5, true), "Asleep"));
  auto moved = ReadStartUpValue(PlaceOf(1, true), "Asleep");
  ASSERT_TRUE(moved);
  EXPECT_TRUE(*moved == Sz("  %windir%\\asleep.exe ", REG_EXPAND_SZ));
  const int row = Row("Asleep", "Disabled");
  ASSERT_GE(row, 0);
  EXPECT_TRUE(MoreToolsFrm.StartUpLV.Selected(row));
  // An edited expandable line stays expandable.
  Modify("Exp");
  Type("Exp", "%windir%\\exp.exe /q", 6);
  auto edited = ReadStartUpValue(PlaceOf(6, false), "Exp");
  ASSERT_TRUE(edited);
  EXPECT_TRUE(*edited == Sz("%windir%\\exp.exe /q", REG_EXPAND_SZ));
  // A new name elsewhere: written there, the old one gone.
  Modify("Exp");
  Type("Exp2", "c:\\exp2.exe", 0);
  EXPECT_FALSE(ReadStartUpValue(PlaceOf(6, false), "Exp"));
  EXPECT_TRUE(ReadStartUpValue(PlaceOf(0, false), "Exp2"));
  EXPECT_TRUE(messages.empty());
}

// "app" renamed "App" in its place: the one value now carries the new name.
TEST_F(StartUpCommandsTest, RenameInLetterCaseInPlace) {
  Put(5, false, "app", Sz("c:\\app.exe"));
  MoreToolsFrm.RefreshMe(false);
  Modify("app");
  Type("App", "c:\\app.exe", 5);
  const KeyDump after = DumpKeys();
  ASSERT_EQ(after.size(), 1u) << Describe(after);
  EXPECT_EQ(after.begin()->first.second, "App");
  EXPECT_TRUE(after.begin()->second == Sz("c:\\app.exe"));
  EXPECT_TRUE(messages.empty()) << "no Replace question for the entry itself";
}

TEST_F(StartUpCommandsTest, AddAsksBeforeReplacing) {
  Put(5, false, "Dup", Sz("c:\\old.exe"));
  MoreToolsFrm.RefreshMe(false);
  const KeyDump before = DumpKeys();
  MoreToolsFrm.cmdAdd_Click(0);
  EXPECT_EQ(AddStartupFrm.Caption(), "Add Startup Program");
  EXPECT_EQ(AddStartupFrm.OkBtn.Text(), "Add");
  answers = {IDNO};
  Type("dup", "c:\\new.exe", 5);
  ExpectKeys(before);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "A start-up program named 'dup' already exists in " + KeyText(5) + ". Replace it?");
  EXPECT_EQ(messages[0].style, UINT(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_TRUE(AddStartupFrm.Visible());
  answers = {IDYES};
  AddStartupFrm.OkBtn_Click();
  auto value = ReadStartUpValue(PlaceOf(5, false), "Dup");
  ASSERT_TRUE(value);
  EXPECT_TRUE(*value == Sz("c:\\new.exe"));
  EXPECT_EQ(DumpKeys().size(), 1u);
}

// RunOnceEx is missing under Wine: the add creates it.
TEST_F(StartUpCommandsTest, AddIntoAKeyThatIsMissing) {
  testsupport::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx");
  MoreToolsFrm.cmdAdd_Click(0);
  Type("Once", "c:\\once.exe -x", 2);
  EXPECT_FALSE(AddStartupFrm.Visible());
  auto value = ReadStartUpValue(PlaceOf(2, false), "Once");
  ASSERT_TRUE(value);
  EXPECT_TRUE(*value == Sz("c:\\once.exe -x"));
  const int row = Row("Once", "Enabled");
  ASSERT_GE(row, 0);
  EXPECT_EQ(MoreToolsFrm.StartUpLV.SubItem(row, 3), KeyText(2));
  EXPECT_EQ(MoreToolsFrm.StartUpLV.Tag(row), "2");
}

TEST_F(StartUpCommandsTest, BlankInputsWriteNothing) {
  MoreToolsFrm.cmdAdd_Click(0);
  Type("   ", "c:\\x.exe", 5);
  Type("Name", "  ", 5);
  EXPECT_TRUE(DumpKeys().empty());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "Enter Name");
  EXPECT_EQ(messages[0].caption, "No Name");
  EXPECT_EQ(messages[1].text, "Enter Command Line");
  EXPECT_EQ(messages[1].caption, "No CmdLine");
  EXPECT_EQ(GetFocus(), AddStartupFrm.txtCmdLine.hwnd());
  // Name and command line are written as typed.
  Type(" Spaced ", " c:\\s.exe ", 6);
  auto value = ReadStartUpValue(PlaceOf(6, false), " Spaced ");
  ASSERT_TRUE(value);
  EXPECT_TRUE(*value == Sz(" c:\\s.exe "));
}

TEST_F(StartUpCommandsTest, DeleteAsksFirst) {
  Put(5, false, "Gone", Sz("c:\\gone.exe"));
  Put(0, true, "GoneToo", Sz("c:\\gonetoo.exe"));
  MoreToolsFrm.RefreshMe(false);
  const KeyDump before = DumpKeys();
  EXPECT_TRUE(MoreToolsFrm.cmdDel.Enabled());
  Select(Row("Gone"));
  answers = {IDNO};
  MoreToolsFrm.cmdDel_Click();
  ExpectKeys(before);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Are you sure you want to delete the program/service 'Gone' from the startup list?");
  EXPECT_EQ(messages[0].caption, "Confirm Delete");
  EXPECT_EQ(messages[0].style, UINT(36));
  answers = {IDYES, IDYES};
  MoreToolsFrm.cmdDel_Click();
  Select(Row("GoneToo"));
  MoreToolsFrm.cmdDel_Click();
  EXPECT_TRUE(DumpKeys().empty());
  EXPECT_EQ(MoreToolsFrm.StartUpLV.ItemCount(), 0);
  EXPECT_FALSE(MoreToolsFrm.cmdDel.Enabled());
}

// A refill keeps the order the user chose.
TEST_F(StartUpCommandsTest, RefillKeepsTheSortOrder) {
  for (const char* name : {"b", "c", "a"}) Put(5, false, name, Sz(std::string("c:\\") + name + ".exe"));
  MoreToolsFrm.RefreshMe(false);
  MoreToolsFrm.StartUpLV_ColumnClick(0);  // descending
  Select(Row("b"));
  MoreToolsFrm.EnableBtn_Click(1);
  ui::ListView& list = MoreToolsFrm.StartUpLV;
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.ItemText(0), "c");
  EXPECT_EQ(list.ItemText(1), "b");
  EXPECT_EQ(list.ItemText(2), "a");
  EXPECT_TRUE(list.Selected(1));
}

TEST_F(StartUpCommandsTest, BrowseFillsTheCommandLine) {
  static std::string path = testsupport::BinDir() + "\\fixture.exe";
  MoreToolsFrm.cmdAdd_Click(0);
  AddStartupFrm.txtCmdLine.SetText("before");
  HANDLE helper = testsupport::AnswerFileDialog("Browse", path.c_str());
  AddStartupFrm.cmdBrowse_Click();
  EXPECT_TRUE(testsupport::FileDialogAnswered(helper)) << "the dialog was titled Browse";
  EXPECT_EQ(vb::LCase(AddStartupFrm.txtCmdLine.Text()), vb::LCase(path));
}

TEST_F(StartUpCommandsTest, ButtonsCaptionsAndTips) {
  const std::pair<ui::Button*, const char*> buttons[] = {
      {&MoreToolsFrm.cmdAdd0, "&Add"},          {&MoreToolsFrm.cmdAdd1, "&Ed&it"},
      {&MoreToolsFrm.EnableBtn0, "&Enable"},    {&MoreToolsFrm.EnableBtn1, "&Disable"},
      {&MoreToolsFrm.detailsBtn, "De&tails"},   {&MoreToolsFrm.SwitchBtn, "&Jump to it"},
      {&MoreToolsFrm.cmdDel, "&Delete"}};
  HWND tips = nullptr;
  for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w && !tips;
       w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
    if (GetWindow(w, GW_OWNER) == MoreToolsFrm.hwnd()) tips = w;
  ASSERT_TRUE(tips);
  for (const auto& b : buttons) {
    EXPECT_EQ(b.first->Text(), b.second);
    char text[256] = {};
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = MoreToolsFrm.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(b.first->hwnd());
    info.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(std::string(text), "") << b.second;
  }
  // One row under the list.
  MoreToolsFrm.SSTab1.SetTab(2);
  const int top = MoreToolsFrm.cmdAdd0.GetBounds().y;
  for (const auto& b : buttons) EXPECT_EQ(b.first->GetBounds().y, top);
  EXPECT_GT(top, MoreToolsFrm.StartUpLV.GetBounds().y + MoreToolsFrm.StartUpLV.GetBounds().height);
}

class StartUpJumpTest : public StartUpCommandsTest {
 protected:
  void SetUp() override {
    StartUpCommandsTest::SetUp();
    folder = std::make_unique<testsupport::FixtureFolder>("jump");
    Mainfrm.Show();
  }
  void TearDown() override {
    folder.reset();
    Mainfrm.Hide();
    DetailsFrm.Hide();
    StartUpCommandsTest::TearDown();
  }
  std::unique_ptr<testsupport::FixtureFolder> folder;
};

TEST_F(StartUpJumpTest, JumpDetailsAndTheListsPageItem) {
  folder->Start("jumper.exe", "plain");
  const std::string path = folder->PathOf("jumper.exe");
  // Written in lower case; the lists may hold the path in another case.
  Put(5, false, "Jumper", Sz("\"" + vb::LCase(path) + "\" /x"));
  Put(5, false, "Absent", Sz("c:\\absent\\absent.exe"));
  now += 2000;
  Mainfrm.RefreshMe();
  MoreToolsFrm.RefreshMe(false);
  Select(Row("Jumper"));
  MoreToolsFrm.SwitchBtn_Click();
  EXPECT_TRUE(Mainfrm.Toolbar3.Value("All"));
  const std::vector<int> rows = Mainfrm.AppLst.SelectedRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(vb::LCase(Mainfrm.AppLst.Key(rows[0])), vb::LCase(path));
  EXPECT_TRUE(messages.empty());
  Select(Row("Absent"));
  MoreToolsFrm.SwitchBtn_Click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "The program is not currently running");
  EXPECT_EQ(messages[0].style, UINT(48));

  Select(Row("Jumper"));
  MoreToolsFrm.detailsBtn_Click();
  EXPECT_TRUE(DetailsFrm.Visible());
  EXPECT_EQ(vb::LCase(DetailsFrm.CurrentPath), vb::LCase(path));

  // The lists page's "&Windows Start-up": an entry that is there is selected ...
  for (int r : Mainfrm.AppLst.SelectedRows()) Mainfrm.AppLst.SetSelected(r, false);
  Mainfrm.AppLst.SetSelected(Mainfrm.AppLst.FindKey(Mainfrm.AppLst.Key(rows[0])), true);
  Select(-1);
  Mainfrm.mnuProgsSendToStartUp_Click();
  EXPECT_EQ(MoreToolsFrm.SSTab1.Tab(), 2);
  EXPECT_FALSE(AddStartupFrm.Visible());
  ASSERT_EQ(MoreToolsFrm.StartUpLV.SelectedRows().size(), 1u);
  EXPECT_EQ(MoreToolsFrm.StartUpLV.ItemText(MoreToolsFrm.StartUpLV.SelectedRows()[0]), "Jumper");
  // ... and one that is not gets the add dialog, ready to write with its path.
  Select(Row("Jumper"));
  MoreToolsFrm.cmdDel_Click();  // answered OK, not No
  ASSERT_LT(Row("Jumper"), 0);
  Mainfrm.mnuProgsSendToStartUp_Click();
  ASSERT_TRUE(AddStartupFrm.Visible());
  const std::string key = Mainfrm.AppLst.Key(rows[0]);
  EXPECT_EQ(AddStartupFrm.txtName.Text(), key);
  EXPECT_EQ(AddStartupFrm.txtCmdLine.Text(), key);
  AddStartupFrm.OkBtn_Click();
  EXPECT_TRUE(ReadStartUpValue(PlaceOf(0, false), key));
  EXPECT_GT(MoreToolsFrm.SearchStartUpLV(path), 0);
}

}  // namespace

// Every key of the "Location" box reads whole, in the box and in its drop-down list
// opened with the mouse.
TEST_F(StartUpCommandsTest, EveryLocationReadsWholeInTheBoxAndItsList) {
  AddStartupFrm.ShowAddStartUpFrm("", "");
  ui::ComboBox& box = AddStartupFrm.Combo1;
  ASSERT_EQ(box.ListCount(), 7);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(box.hwnd(), &info));
  const int shown = info.rcItem.right - info.rcItem.left;
  for (int i = 0; i < box.ListCount(); ++i) {
    const std::string key = box.List(i);
    HDC dc = GetDC(box.hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box.hwnd(), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, key.c_str(), static_cast<int>(key.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(box.hwnd(), dc);
    const int need = size.cx;
    EXPECT_LE(need, shown) << key << " in the box";
    EXPECT_LE(need + GetSystemMetrics(SM_CXVSCROLL), static_cast<int>(SendMessageA(box.hwnd(), CB_GETDROPPEDWIDTH, 0, 0)))
        << key << " in the list";
  }
  // Opened with a click on its arrow, the list is as wide as it was set.
  SetForegroundWindow(AddStartupFrm.hwnd());
  testsupport::PumpUntil([] { return GetForegroundWindow() == AddStartupFrm.hwnd(); });
  POINT arrow{(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2};
  testsupport::ClickAt(box.hwnd(), arrow.x, arrow.y);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return SendMessageA(box.hwnd(), CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  RECT list{};
  GetWindowRect(info.hwndList, &list);
  EXPECT_GE(list.right - list.left, static_cast<int>(SendMessageA(box.hwnd(), CB_GETDROPPEDWIDTH, 0, 0)));
  testsupport::PressKey(VK_ESCAPE);
  testsupport::PumpUntil([&] { return SendMessageA(box.hwnd(), CB_GETDROPPEDSTATE, 0, 0) == 0; });
  AddStartupFrm.Unload();
}

// The start-up list is read when it is first wanted, not when its page is made at
// program start: a question asked before the page was ever shown (the risk rating's,
// the details window's) still finds the enabled entry that runs the program.
class StartUpListReadTest : public minitoolstest::MiniToolsTest {};

TEST_F(StartUpListReadTest, TheListIsReadOnTheFirstQuestionNotWhenThePageLoads) {
  using minitoolstest::Put;
  using minitoolstest::Sz;
  const std::string path = "C:\\Programs\\Early Start\\early.exe";
  Put(0, true, "Disabled first", Sz("\"" + path + "\" /d"));  // disabled: no answer
  Put(5, false, "Asked early", Sz("\"" + path + "\" /x"));
  ui::Window form({.caption = "start-up tab", .style = WS_POPUP, .width = 600, .height = 400});
  ui::TabPages tabs(form, {0, 0, 580, 380}, {"Start-up"});
  MiniToolsStartUpTab tab(form, tabs.Page(0));
  ASSERT_TRUE(form.Load());
  tab.Prepare();
  EXPECT_FALSE(tab.StartUpListRead());
  EXPECT_EQ(tab.StartUpLV.ItemCount(), 0);

  const int16_t row = tab.SearchStartUpLV(vb::UCase(path));
  EXPECT_TRUE(tab.StartUpListRead());
  EXPECT_EQ(tab.StartUpLV.ItemCount(), 2);
  ASSERT_GT(row, 0);
  EXPECT_EQ(tab.StartUpLV.ItemText(ui::ListView::FromOneBased(row)), "Asked early");
  EXPECT_EQ(tab.SearchStartUpLV("C:\\Programs\\Other.exe"), 0);

  // Once read, the list answers as it was last filled until it is refreshed.
  Put(5, false, "Added later", Sz("C:\\Programs\\Later.exe"));
  EXPECT_EQ(tab.SearchStartUpLV("C:\\Programs\\Later.exe"), 0);
  tab.RefreshStartUpList();
  EXPECT_GT(tab.SearchStartUpLV("C:\\Programs\\Later.exe"), 0);
}
