// The media check on the prefix's CD drive r: and diskette drive s:, whose disks are
// folders a test moves away and back.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include "CancelEvent.h"
#include "DriversMsgFrm.h"
#include "LoopSeams.h"
#include "MiniToolsTest.h"
#include "ModCheckDrive.h"
#include "ModExitWin.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "MoreToolsFrm.h"
#include "Seams.h"
#include "TextFit.h"
#include "UiWait.h"
#include "Registry.h"

#include <cstdio>

namespace {

using namespace minitoolstest;
using looptest::Option;

std::string MediaDir(const std::string& drive) { return testsupport::BinDir() + "\\..\\media\\" + drive; }

// Puts the disk in (the link's target is there) or takes it out (moved away).
void SetDisk(const std::string& drive, bool in) {
  const std::string there = MediaDir(drive), away = there + "-out";
  if (in && GetFileAttributesA(there.c_str()) == INVALID_FILE_ATTRIBUTES) MoveFileA(away.c_str(), there.c_str());
  if (!in && GetFileAttributesA(there.c_str()) != INVALID_FILE_ATTRIBUTES) MoveFileA(there.c_str(), away.c_str());
}

class MediaCheckTest : public MiniToolsTest {
 protected:
  void SetUp() override {
    MiniToolsTest::SetUp();
    DriveCheck = 1;
    MoreToolsFrm.LoadMoreToolsData();
    previousChange = CancelEvent.lblCancel.Change;
    CancelEvent.lblCancel.Change = [this] {
      if (previousChange) previousChange();
      lines.push_back(CancelEvent.lblCancel.Text());
    };
    // Every look at the clock moves it on; `onTick` acts for the user meanwhile.
    seams::TickCountFn = [this] {
      now += step;
      if (onTick) onTick();
      return now;
    };
    mediaseams::EjectObserverFn = [this](const mediaseams::EjectCall& call) { ejects.push_back(call); };
  }
  void TearDown() override {
    CancelEvent.lblCancel.Change = previousChange;
    SetDisk("cd", true);
    SetDisk("floppy", true);
    MiniToolsTest::TearDown();
  }
  bool Checked(const std::string& root) const {
    return std::find(lines.begin(), lines.end(), "Checking drive " + root + " for diskettes...") != lines.end();
  }
  std::function<void()> previousChange;
  std::vector<std::string> lines;
  std::vector<mediaseams::EjectCall> ejects;
  std::function<void()> onTick;
  DWORD step = 500;
};

// What the prefix's drives do under Wine: types and labels as the server read them at
// its start; a missing link target cannot be entered (error 3).
TEST_F(MediaCheckTest, PrefixDrives) {
  EXPECT_EQ(GetDriveTypeA("R:\\"), UINT(DRIVE_CDROM));
  EXPECT_EQ(GetDriveTypeA("S:\\"), UINT(DRIVE_REMOVABLE));
  EXPECT_EQ(GetVolumeLabel("R:\\"), "QPDISC");
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  const UINT modeBefore = SetErrorMode(0);
  SetErrorMode(modeBefore);
  EXPECT_EQ(IsDriveMediaPresent("R:\\"), 1);
  EXPECT_EQ(IsDriveMediaPresent("S:\\"), 1);
  EXPECT_EQ(sleeps, std::vector<DWORD>({100})) << "a diskette drive is given time to spin up";
  EXPECT_EQ(IsDriveMediaPresent("C:\\"), 0);
  SetDisk("cd", false);
  SetDisk("floppy", false);
  EXPECT_EQ(IsDriveMediaPresent("R:\\"), 2);
  EXPECT_EQ(IsDriveMediaPresent("S:\\"), 2);
  // Under Wine the volume of an empty drive still answers: no use as the test.
  EXPECT_TRUE(GetVolumeInformationA("R:\\", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0));
  char after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(after, before);
  const UINT modeAfter = SetErrorMode(0);
  SetErrorMode(modeAfter);
  EXPECT_EQ(modeAfter, modeBefore);
}

TEST_F(MediaCheckTest, EmptyDrivesGiveStatusLinesOnly) {
  SetDisk("cd", false);
  SetDisk("floppy", false);
  CheckDrivesForMedia("all");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Checking drives for media...");
  EXPECT_TRUE(Checked("C:\\"));
  EXPECT_TRUE(Checked("R:\\"));
  EXPECT_TRUE(Checked("S:\\"));
  EXPECT_TRUE(sounds.empty());
  EXPECT_FALSE(DriversMsgFrm.Loaded());
  EXPECT_FALSE(CancelEvent.Visible());
}

// The warning for a CD offers Eject; it waits 7 s, and each Eject gives 7 s more. NT
// answers the eject with error 50 and nothing is reported.
TEST_F(MediaCheckTest, WarningWaitsAndEjectRestartsTheWait) {
  SetDisk("floppy", false);
  DWORD shownAt = 0, ejectedAt = 0, lastSeen = 0;
  onTick = [&] {
    if (!DriversMsgFrm.Visible()) return;
    if (!shownAt) shownAt = now;
    lastSeen = now;
    if (!ejectedAt && now - shownAt >= 5000) {
      ejectedAt = now;
      DriversMsgFrm.EjectBtn_Click();
    }
  };
  CheckDrivesForMedia("all");
  ASSERT_TRUE(shownAt);
  EXPECT_EQ(DriversMsgFrm.Caption(), "Drives media check");
  EXPECT_EQ(DriversMsgFrm.Label1.Text(), "You forgot a disk in Drive:  R:\\");
  EXPECT_EQ(DriversMsgFrm.lblDrvLbl.Text(), "QPDISC");
  EXPECT_TRUE(DriversMsgFrm.EjectBtn.Visible());
  EXPECT_GE(lastSeen - ejectedAt, 7000u);
  EXPECT_LE(lastSeen - ejectedAt, 7000u + 2 * step);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0], AppPath() + "\\sounds\\bloop.wav");
  ASSERT_EQ(ejects.size(), 1u);
  EXPECT_EQ(ejects[0].device, "\\\\.\\R:");
  EXPECT_EQ(ejects[0].code, DWORD(IOCTL_STORAGE_EJECT_MEDIA));
  EXPECT_TRUE(ejects[0].opened);
  EXPECT_FALSE(ejects[0].answered);
  EXPECT_EQ(ejects[0].error, DWORD(ERROR_NOT_SUPPORTED));
  EXPECT_TRUE(messages.empty());
  // A diskette's warning has no Eject; the window is used again.
  SetDisk("cd", false);
  SetDisk("floppy", true);
  shownAt = 0;
  bool ejectShown = true;
  onTick = [&] {
    if (DriversMsgFrm.Visible() && !shownAt) {
      shownAt = now;
      ejectShown = DriversMsgFrm.EjectBtn.Visible();
      EXPECT_EQ(DriversMsgFrm.Label1.Text(), "You forgot a disk in Drive:  S:\\");
      DriversMsgFrm.OKButton_Click();
    }
  };
  CheckDrivesForMedia("all");
  EXPECT_TRUE(shownAt);
  EXPECT_FALSE(ejectShown);
  EXPECT_FALSE(DriversMsgFrm.Loaded());
}

TEST_F(MediaCheckTest, DontCheckAndDontShow) {
  int warnings = 0;
  onTick = [&] {
    if (!DriversMsgFrm.Visible()) return;
    ++warnings;
    DriversMsgFrm.DontCheckBtn_Click();
  };
  SetDisk("floppy", false);
  CheckDrivesForMedia("all");
  EXPECT_EQ(warnings, 1);
  EXPECT_EQ(Option("General", "DriveEXNUM"), "1");
  EXPECT_EQ(Option("General", "DriveEX1"), "R");
  ASSERT_EQ(MoreToolsFrm.DriveEXList.ListCount(), 1);
  EXPECT_EQ(MoreToolsFrm.DriveEXList.List(0), "R");
  // Next time: the sound, but no warning.
  sounds.clear();
  CheckDrivesForMedia("all");
  EXPECT_EQ(warnings, 1);
  EXPECT_EQ(sounds.size(), 1u);

  // "Don't show" turns the check off at once: the rest of the walk is silent.
  SetDisk("floppy", true);
  MoreToolsFrm.DriveEXList.SetListIndex(0);
  MoreToolsFrm.mnuDriveRemove_Click();
  sounds.clear();
  onTick = [&] {
    if (!DriversMsgFrm.Visible()) return;
    ++warnings;
    DriversMsgFrm.DontShowChk.SetValue(true);
    DriversMsgFrm.OKButton_Click();
  };
  CheckDrivesForMedia("all");
  EXPECT_EQ(warnings, 2);
  EXPECT_EQ(sounds.size(), 1u) << "s: holds a disk too, but is not reported";
  EXPECT_EQ(DriveCheck, 0);
  EXPECT_EQ(Option("MoreTools", "DriveCheck"), "0");
  EXPECT_FALSE(MoreToolsFrm.MediaChk.Value());
}

// Cancel in the status window ends the walk after the drive in hand; a shut-down
// command while a warning waits starts no second walk.
TEST_F(MediaCheckTest, CancelAndNestedCalls) {
  size_t linesInside = 0;
  onTick = [&] {
    if (!DriversMsgFrm.Visible() || CancelFlag) return;
    linesInside = lines.size();
    CheckDrivesForMedia("all");
    EXPECT_EQ(lines.size(), linesInside) << "the nested call returned at once";
    CancelFlag = true;
    DriversMsgFrm.OKButton_Click();
  };
  CheckDrivesForMedia("all");
  EXPECT_TRUE(Checked("R:\\"));
  EXPECT_FALSE(Checked("S:\\"));
  EXPECT_FALSE(CancelFlag);
  EXPECT_FALSE(CancelEvent.Visible());
}

// The Windows exit checks first; the program's exit only when the session ends.
TEST_F(MediaCheckTest, TheExitsCheck) {
  SetDisk("floppy", false);
  std::vector<std::string> order;
  onTick = [&] {
    if (!DriversMsgFrm.Visible()) return;
    order.push_back("warning");
    DriversMsgFrm.OKButton_Click();
  };
  loopseams::ExitWindowsFn = [&](UINT, DWORD) {
    order.push_back("exit");
    return TRUE;
  };
  ExitWin(EWX_SHUTDOWN);
  EXPECT_EQ(order, std::vector<std::string>({"warning", "exit"}));
  std::vector<UINT> ends;
  seams::EndProcessFn = [&](UINT code) { ends.push_back(code); };
  order.clear();
  SessionEnding = false;
  EndProgram();
  EXPECT_TRUE(order.empty());
  SessionEnding = true;
  EndProgram();

  SessionEnding = false;
  EXPECT_EQ(order, std::vector<std::string>({"warning"}));
  EXPECT_EQ(ends.size(), 2u);
}

}  // namespace

namespace {

std::string RunEjectProbe(const std::string& version) {
  const std::string key = "Software\\Wine\\AppDefaults\\minitools_eject_probe.exe";
  looptest::SetRegText(HKEY_CURRENT_USER, key, "Version", version);
  const std::string out = testsupport::BinDir() + "\\eject_probe_" + version + ".txt";
  DeleteFileA(out.c_str());
  PROCESS_INFORMATION pi{};
  std::string text;
  if (testsupport::StartQuietly(testsupport::BinDir() + "\\minitools_eject_probe.exe",
                                "minitools_eject_probe.exe \"" + out + "\"", testsupport::BinDir(), pi)) {
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (FILE* f = std::fopen(out.c_str(), "r")) {
      char buffer[512];
      while (std::fgets(buffer, sizeof buffer, f)) text += buffer;
      std::fclose(f);
    }
  }
  testsupport::DeleteTree(HKEY_CURRENT_USER, key);
  DeleteFileA(out.c_str());
  return text;
}

// On the 9x family the eject is the DOS IOCTL through VWIN32, with the register block
// EBX = drive 1 (A:), ECX = 0x0849, EAX = 0x440D.
TEST(EjectProbeTest, Win98GoesThroughVwin32) {
  const std::string text = RunEjectProbe("win98");
  EXPECT_NE(text.find("version c"), std::string::npos) << "the 9x family: " << text;
  EXPECT_NE(text.find("device \\\\.\\VWIN32\ncode 1\n"), std::string::npos) << text;
  // 32-bit Wine opens VWIN32 and answers; 64-bit Wine has no such device (error 2).
  if (text.find("opened 1") != std::string::npos)
    EXPECT_NE(text.find("answered 1"), std::string::npos) << text;
  else
    EXPECT_NE(text.find("error 2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("input 01 00 00 00 00 00 00 00 49 08 00 00 0d 44 00 00 00 00 00 00 00 00 00 00 00 00 00 00"),
            std::string::npos)
      << text;
}

}  // namespace

// The warning's "Don't show" box reads whole: its caption wraps within the box.
TEST_F(MediaCheckTest, TheDontShowBoxReadsWhole) {
  DriversMsgFrm.ShowFrm("D:\\");
  std::string why;
  EXPECT_TRUE(testsupport::ButtonCaptionFits(DriversMsgFrm.DontShowChk.hwnd(), &why)) << why;
  RECT box{}, ok{};
  GetWindowRect(DriversMsgFrm.DontShowChk.hwnd(), &box);
  GetWindowRect(DriversMsgFrm.OKButton.hwnd(), &ok);
  EXPECT_LE(box.bottom, ok.top) << "the box clear of the button";
  DriversMsgFrm.Unload();
}
