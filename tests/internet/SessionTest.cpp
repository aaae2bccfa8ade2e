// A dial-up session played by our dial-up library while the loop runs on a moved
// clock: the page during the call, the records stored when it ends, and the
// hints of the page under a real mouse.
#include <windows.h>

#include <fstream>

#include "ConInfoFrm.h"
#include "Input.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModConProbe.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "Seams.h"
#include "UiWait.h"

namespace {

class SessionTest : public looptest::LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    scenario = std::string(temp) + "qp-session.txt";
    SetEnvironmentVariableA("QP_FAKERAS", scenario.c_str());
    loopseams::DialUpConnectedFn = IsDialUpConnected;  // through our library
    CostDefinition = {60, 0.01f, 0.02f};
    bytes[0] = bytes[1] = 1000;
  }
  void TearDown() override {
    ConInfoFrm.Unload();
    DeleteFileA(scenario.c_str());
    SetEnvironmentVariableA("QP_FAKERAS", nullptr);
    LoopTest::TearDown();
  }
  void Line(bool up) { std::ofstream(scenario, std::ios::trunc) << (up ? "conn 0x2000\n" : ""); }
  std::string Row(int view, const std::string& item) {
    ConInfoFrm.ConnectionOtp_Click(view);
    for (int r = 0; r < ConInfoFrm.ConInfoLst.ItemCount(); ++r)
      if (ConInfoFrm.ConInfoLst.ItemText(r) == item) return ConInfoFrm.ConInfoLst.SubItem(r, 1);
    return "<no row>";
  }
  static std::string Money(const std::string& amount) {
    char symbol[20] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, symbol, sizeof symbol);
    return std::string(symbol) + " " + amount;
  }
  // A dial-up call of that many seconds, probed once a second.
  void Call(int seconds, const std::function<void(int)>& during = nullptr) {
    Line(true);
    Pass();
    for (int s = 1; s <= seconds; ++s) {
      now += 1000;
      bytes[1] += 2048;
      Pass();
      if (during) during(s);
    }
    Line(false);
    Pass();
  }
  std::string scenario;
};

TEST_F(SessionTest, ADialUpCallIsShownThenStoredAndAddedToTheTotals) {
  Call(180, [this](int s) {
    if (s != 90) return;
    EXPECT_EQ(Row(0, "Duration"), "0:01:30");
    EXPECT_EQ(Row(0, "Cost"), Money("0.04"));
  });
  EXPECT_TRUE(ConnectionPending) << "the line went down";
  EXPECT_EQ(looptest::Option("Internet", "LastCon.Duration"), "180");
  EXPECT_EQ(looptest::Option("Internet", "LastCon.Cost"), "0.05");
  EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.ConnectTimes"), "1");
  EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.Cost"), "0.05");
  EXPECT_EQ(Row(1, "Duration"), "0:03:00");
  EXPECT_EQ(Row(1, "Cost"), Money("0.05"));
  EXPECT_EQ(Row(0, "(Not Connected)"), "");

  Call(60);
  EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.ConnectTimes"), "2");
  EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.Duration"), "240");
  EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.Cost"), "0.08");
  EXPECT_EQ(Row(2, "Connected"), "2 times");
}

TEST_F(SessionTest, TheHintsFollowTheMouse) {
  InterfaceFrm.Show();
  InterfaceFrm.Toolbar1.ClickButton("ConInfo");
  ASSERT_TRUE(ConInfoFrm.Visible());
  struct Hint {
    int tab;
    ui::Control* control;
    const char* text;
  } hints[] = {
      {1, &ConInfoFrm.AddBtn, "Adds new item to the list"},
      {1, &ConInfoFrm.EnableBtn, "Enables/Disables selected item(s)"},
      {1, &ConInfoFrm.LaunchBtn, "Launches selected item(s) immediatly"},
      {1, &ConInfoFrm.RemoveBtn, "Removes selected item(s) from the list"},
      {1, &ConInfoFrm.IntProgsList, "List of programs that will be auto-launched when connected to the Internet"},
      {0, &ConInfoFrm.Frame1, "Information about your Internet Connection"},
  };
  for (const Hint& h : hints) {
    ConInfoFrm.SSTab1.SetTab(h.tab);
    SetHintText("");
    RECT r;
    GetClientRect(h.control->hwnd(), &r);
    testsupport::MoveMouseTo(h.control->hwnd(), r.right / 2, r.bottom - 3);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return InterfaceFrm.lblOnLineHelp.Text() == h.text; }, 2000)) << h.text;
  }
}

TEST_F(SessionTest, RealKeysGiveHelpAndRefreshAlsoFromAListAndAHeaderClickSorts) {
  std::vector<std::string> opened;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& request) {
    opened.push_back(request.file);
    return true;
  };
  InterfaceFrm.Show();
  InterfaceFrm.Toolbar1.ClickButton("ConInfo");
  ASSERT_TRUE(ConInfoFrm.Visible());
  SetForegroundWindow(InterfaceFrm.hwnd());
  testsupport::PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); }, 1000);
  for (ui::Control* focus : {static_cast<ui::Control*>(nullptr), static_cast<ui::Control*>(&ConInfoFrm.ConInfoLst)}) {
    SCOPED_TRACE(focus ? "a list has the focus" : "the page has the focus");
    SetFocus(focus ? focus->hwnd() : ConInfoFrm.hwnd());
    opened.clear();
    testsupport::PressKey(VK_F1);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !opened.empty(); }, 2000));
    if (!opened.empty()) {
      EXPECT_NE(opened[0].find("online_help.htm"), std::string::npos);
    }
    // F5 builds the rows now: a connection counted meanwhile shows at once.
    looptest::SetOption("Internet", "GeneralConInfo.ConnectTimes", focus ? "7" : "6");
    const std::string expected = focus ? "Connected 7 times" : "Connected 6 times";
    for (int i = 0; i < 3; ++i) ConInfoFrm.ConnectionOtp[i]->SetValue(i == 2);
    testsupport::PressKey(VK_F5);
    EXPECT_TRUE(testsupport::PumpUntil([&] {
      for (int r = 0; r < ConInfoFrm.ConInfoLst.ItemCount(); ++r)
        if ((ConInfoFrm.ConInfoLst.ItemText(r) + " " + ConInfoFrm.ConInfoLst.SubItem(r, 1)).find(expected) !=
            std::string::npos)
          return true;
      return false;
    }, 2000)) << expected;
  }

  // Each header click turns the launch list's order; the list starts ascending.
  ConInfoFrm.SSTab1.SetTab(1);
  ConInfoFrm.IntProgsList.Clear();
  for (const char* path : {"c:\\b.exe", "c:\\c.exe", "c:\\a.exe"}) ConInfoFrm.IntProgsList.AddItem(path, 1);
  RECT header;
  HWND headerWnd = reinterpret_cast<HWND>(SendMessageA(ConInfoFrm.IntProgsList.hwnd(), LVM_GETHEADER, 0, 0));
  ASSERT_TRUE(headerWnd);
  GetClientRect(headerWnd, &header);
  auto order = [] {
    std::string texts;
    for (int r = 0; r < ConInfoFrm.IntProgsList.ItemCount(); ++r) texts += ConInfoFrm.IntProgsList.ItemText(r) + ";";
    return texts;
  };
  testsupport::ClickAt(headerWnd, 20, header.bottom / 2);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return order() == "c:\\c.exe;c:\\b.exe;c:\\a.exe;"; }, 2000)) << order();
  // Away from the first click, farther than a double click may be: a click of its own.
  testsupport::ClickAt(headerWnd, 60, header.bottom / 2);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return order() == "c:\\a.exe;c:\\b.exe;c:\\c.exe;"; }, 2000)) << order();
  ConInfoFrm.IntProgsList.Clear();
  InterfaceFrm.Hide();
}

}  // namespace
