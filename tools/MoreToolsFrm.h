// The mini-tools page: reminders, history log, media check and start-up programs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Controls.h"
#include "ImageList.h"
#include "ListView.h"
#include "PictureBox.h"
#include "TabPages.h"
#include "Window.h"


class MoreToolsFrmForm : public ui::Window {
 public:
  MoreToolsFrmForm();

  ui::TabPages SSTab1;
  // The shell's activity log: its commands, its state and a green (logging) or red
  // (paused, stopped) light.
  ui::Container HistoryFram;
  ui::Button StartBtn, PauseBtn, StopBtn;
  ui::Button ViewBtn;  // the report on the history alone
  ui::Label StatusLbl;
  ui::Label RecStatusLbl;
  ui::PictureBox IndShp;
  ui::ListView DriveEXList;  // drives left out of the media check
  // The Internet reminder: on/off, its minutes and their caption (element 0 of the
  // page's label array).
  ui::CheckBox IntReminderChk;
  ui::TextBox IntReminderTxt;
  ui::Label Label4;

  // The start-up manager's list: one row per Run-type value; the tag is the run type,
  // small icon 1 enabled and 2 disabled, bold while its program runs.
  ui::ListView StartUpLV;
  ui::ImageList IntProgImg;

  // Reads "MoreTools"/"DriveCheck" and the excluded drives.
  void LoadMoreToolsData();
  // With False the start-up list is filled again from the registry.
  void RefreshMe(bool keepStartUpList);

  // Adds the rows of one run type: its key and its "-" companion.
  void GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType);
  // The 1-based row of the first enabled entry whose program is the path (as the
  // list was last filled); 0 when none.
  int16_t SearchStartUpLV(const std::string& path);
  // start-up entry commands
  // 0 enables, 1 disables the selected start-up rows: the value moves between its key
  // and the key's "-" companion.
  void EnableBtn_Click(int16_t Index);
  void AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType, const std::string& CmdLine);
  void DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType);
  // Each click turns the order round and sorts by the clicked column.
  void StartUpLV_ColumnClick(int column);

 protected:
  void Form_Load() override;

 private:
  void ListStartUpKeys();
  void StartBtn_Click();
  void PauseBtn_Click();
  void StopBtn_Click();
 public:
  void ViewBtn_Click();
};

// The program a start-up command line runs, in lower case: a quoted path, or the text
// before the blank after the last ".", a short name matched against the running
// programs, and a bare name placed in the Windows or the System folder.
std::string GetStartUpProgPath(const std::string& cmdLine);

extern MoreToolsFrmForm MoreToolsFrm;
