// The mini-tools page: reminders, history log, media check and start-up programs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ComboBox.h"
#include "Container.h"
#include "Controls.h"
#include "ImageList.h"
#include "ListBox.h"
#include "ListView.h"
#include "Menu.h"
#include "PictureBox.h"
#include "TabPages.h"
#include "Window.h"

class MoreToolsFrmForm : public ui::Window {
 public:
  MoreToolsFrmForm();
  ~MoreToolsFrmForm() override;

  ui::TabPages SSTab1;

  // Tab 0: the health ("Windows") reminder and the Internet reminder.
  ui::Frame HealthFram;
  ui::CheckBox WinReminderChk;
  ui::TextBox WinReminderTxt;
  ui::Label WinMinutesLbl, IdleLbl;
  ui::TextBox WinReminderIdleTimeTxt;
  ui::Label IdleMinutesLbl;
  ui::TextBox WinReminderTextTxt;
  ui::Label PresetsLbl;
  ui::ComboBox MsgsLstCombo;
  ui::Frame IntFram;
  ui::CheckBox IntReminderChk;
  ui::TextBox IntReminderTxt;
  ui::Label Label4;    // element 0 of the frame's labels: "minute(s) while connected ..."
  ui::Label Label4_1;  // element 1: "(Dial-up connection only) :"
  ui::TextBox IntReminderTextTxt;
  ui::Button SaveBtn, ResetBtn;

  // Tab 1: the shell's activity log: its commands, its state and a green (logging) or
  // red (paused, stopped) light.
  ui::Frame HistoryFram;
  ui::Button StartBtn, PauseBtn, ViewBtn, StopBtn;
  ui::Label StatusLbl;
  ui::Label RecStatusLbl;
  ui::PictureBox IndShp;
  ui::Frame MediaFram;
  ui::CheckBox MediaChk;
  ui::Label DriveEXLbl;
  ui::TextBox DriveEXLetter;
  ui::Button AddDriveEXBtn;
  ui::ListBox DriveEXList;  // drives left out of the media check, in the order added
  ui::Frame DetailsFram;
  ui::Label DetailsLbl;
  ui::Button Command4;
  ui::Frame BlockersFram;
  ui::CheckBox EnableSpamChk, EnablePopUpChk;
  ui::Menu Menus;
  ui::MenuItem* mnuDrive = nullptr;
  ui::MenuItem* mnuDriveRemove = nullptr;

  // Tab 2: the start-up manager's list: one row per Run-type value; the tag is the run
  // type, small icon 1 enabled and 2 disabled, bold while its program runs.
  ui::ListView StartUpLV;
  ui::ImageList IntProgImg;
  ui::Button cmdAdd0, cmdAdd1, EnableBtn0, EnableBtn1, detailsBtn, SwitchBtn, cmdDel;
  ui::Button& cmdAdd(int index) { return index == 0 ? cmdAdd0 : cmdAdd1; }
  ui::Button& EnableBtn(int index) { return index == 0 ? EnableBtn0 : EnableBtn1; }

  // Stores the reminder fields (corrected first) in the option globals and settings.
  void UpdateData();
  // Puts out-of-range reminder periods right; always false.
  bool CheckErrors();
  // Reloads the reminder fields from the globals; with False the start-up list is
  // filled again from the registry too.
  void RefreshMe(bool KeepStartUpList);
  // Fills the start-up list again from the registry, its "Running" column from the
  // process table, and leaves the reminder fields as the user has them.
  void RefreshStartUpList();
  // Stores "MoreTools"/"DriveCheck" from MediaChk.
  void SaveMoreToolsData();
  // Reads "MoreTools"/"DriveCheck" and the excluded drives.
  void LoadMoreToolsData();

  // Adds the rows of one run type: its key and its "-" companion.
  void GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType);
  // 0 enables the selected row's entry (a disabled one), 1 disables it (an enabled
  // one). The value moves with its type and bytes; nothing is lost when it cannot.
  void EnableBtn_Click(int16_t Index);
  // Writes Name = CmdLine as text at the key text's place and refills the list.
  void AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType, const std::string& CmdLine);
  void DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType);
  // The 1-based row of the first enabled entry whose program is the path (as the
  // list was last filled); 0 when none.
  int16_t SearchStartUpLV(const std::string& Path);
  // Each click turns the order round and sorts by the clicked column.
  void StartUpLV_ColumnClick(int column);
  // Selects the entry's row and brings it into view; false when it is not listed.
  bool SelectStartUpEntry(const std::string& name, const std::string& keyText, bool disabled);

  void cmdAdd_Click(int16_t Index);
  void cmdDel_Click();
  void detailsBtn_Click();
  void SwitchBtn_Click();

  void SaveBtn_Click();
  void ResetBtn_Click();
  void MsgsLstCombo_Click();
  void ViewBtn_Click();
  void MediaChk_Click();
  void AddDriveEXBtn_Click();
  void mnuDriveRemove_Click();
  void Command4_Click();
  void EnableSpamChk_Click();
  void EnablePopUpChk_Click();
  // Shows the blockers' boxes as the frame's menu ticks.
  void ShowBlockers();

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ListStartUpKeys();
  void BindEvents();
  void ReminderEdited(ui::CheckBox* tick);
  void ReminderKey(int keyCode);
  void SSTab1_Click();
  void LayoutStartUpTab();
  void LayoutRemindersTab();
  void StartBtn_Click();
  void PauseBtn_Click();
  void StopBtn_Click();
  // The selected row, or -1.
  int SelectedStartUpRow() const;
  // True while code, not the user, writes the reminder fields.
  bool filling_ = false;
  HWND toolTips_ = nullptr;
};

// The program a start-up command line runs, in lower case: a quoted path, or the text
// before the blank after the last ".", a short name matched against the running
// programs, and a bare name placed in the Windows or the System folder.
std::string GetStartUpProgPath(const std::string& cmdLine);

// The reminders tab's presets, by index: 0 "Default" to 4 "Office (hard)".
extern const char* const kReminderPresets[5];

extern MoreToolsFrmForm MoreToolsFrm;

// Our message when Add finds no single drive letter in the box.
extern const char kDriveLetterText[];
