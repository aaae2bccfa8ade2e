// The mini-tools page: reminders, the tasks history and media check, and the
// start-up manager, a tab each. Each tab is a class of its own; the page holds the
// tab strip, lays the tabs out, and refreshes or stores what spans them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MiniToolsRemindersTab.h"
#include "MiniToolsStartUpTab.h"
#include "MiniToolsTasksTab.h"
#include "TabPages.h"
#include "Window.h"

class MoreToolsFrmForm : public ui::Window {
 public:
  MoreToolsFrmForm();
  ~MoreToolsFrmForm() override;

  ui::TabPages SSTab1;
  // The tabs, made in tab order: Tab walks the controls in the order they are made.
  MiniToolsRemindersTab Reminders;
  MiniToolsTasksTab Tasks;
  MiniToolsStartUpTab StartUp;

  // Stores the reminder fields (corrected first) in the option globals and settings.
  void UpdateData() { Reminders.UpdateData(); }
  // Puts out-of-range reminder periods right; always false.
  bool CheckErrors() { return Reminders.CheckErrors(); }
  // Reloads the reminder fields from the globals; with False the start-up list is
  // filled again from the registry too.
  void RefreshMe(bool KeepStartUpList);
  // Fills the start-up list again from the registry, its "Running" column from the
  // process table, and leaves the reminder fields as the user has them.
  void RefreshStartUpList() { StartUp.RefreshStartUpList(); }
  // Stores "MoreTools"/"DriveCheck" from MediaChk.
  void SaveMoreToolsData() { Tasks.SaveMoreToolsData(); }
  // Reads "MoreTools"/"DriveCheck" and the excluded drives.
  void LoadMoreToolsData() { Tasks.LoadMoreToolsData(); }

  // ---- The page's names as its callers know them, kept on the form.
  // Reminders
  ui::Frame &HealthFram = Reminders.HealthFram, &IntFram = Reminders.IntFram;
  ui::CheckBox &WinReminderChk = Reminders.WinReminderChk, &IntReminderChk = Reminders.IntReminderChk;
  ui::TextBox &WinReminderTxt = Reminders.WinReminderTxt, &WinReminderIdleTimeTxt = Reminders.WinReminderIdleTimeTxt,
              &WinReminderTextTxt = Reminders.WinReminderTextTxt, &IntReminderTxt = Reminders.IntReminderTxt,
              &IntReminderTextTxt = Reminders.IntReminderTextTxt;
  ui::Label &WinMinutesLbl = Reminders.WinMinutesLbl, &IdleLbl = Reminders.IdleLbl,
            &IdleMinutesLbl = Reminders.IdleMinutesLbl, &PresetsLbl = Reminders.PresetsLbl,
            &Label4 = Reminders.Label4, &Label4_1 = Reminders.Label4_1;
  ui::ComboBox& MsgsLstCombo = Reminders.MsgsLstCombo;
  ui::Button &SaveBtn = Reminders.SaveBtn, &ResetBtn = Reminders.ResetBtn;
  void SaveBtn_Click() { Reminders.SaveBtn_Click(); }
  void ResetBtn_Click() { Reminders.ResetBtn_Click(); }
  void MsgsLstCombo_Click() { Reminders.MsgsLstCombo_Click(); }
  // Tasks history and media check
  ui::Frame &HistoryFram = Tasks.HistoryFram, &MediaFram = Tasks.MediaFram, &DetailsFram = Tasks.DetailsFram,
            &BlockersFram = Tasks.BlockersFram;
  ui::Button &StartBtn = Tasks.StartBtn, &PauseBtn = Tasks.PauseBtn, &ViewBtn = Tasks.ViewBtn,
             &StopBtn = Tasks.StopBtn, &AddDriveEXBtn = Tasks.AddDriveEXBtn, &Command4 = Tasks.Command4;
  ui::Label &StatusLbl = Tasks.StatusLbl, &RecStatusLbl = Tasks.RecStatusLbl, &DriveEXLbl = Tasks.DriveEXLbl,
            &DetailsLbl = Tasks.DetailsLbl;
  ui::PictureBox& IndShp = Tasks.IndShp;
  ui::CheckBox &MediaChk = Tasks.MediaChk, &EnableSpamChk = Tasks.EnableSpamChk,
               &EnablePopUpChk = Tasks.EnablePopUpChk;
  ui::TextBox& DriveEXLetter = Tasks.DriveEXLetter;
  ui::ListBox& DriveEXList = Tasks.DriveEXList;
  ui::Menu& Menus = Tasks.Menus;
  ui::MenuItem*& mnuDrive = Tasks.mnuDrive;
  ui::MenuItem*& mnuDriveRemove = Tasks.mnuDriveRemove;
  void ViewBtn_Click() { Tasks.ViewBtn_Click(); }
  void MediaChk_Click() { Tasks.MediaChk_Click(); }
  void AddDriveEXBtn_Click() { Tasks.AddDriveEXBtn_Click(); }
  void mnuDriveRemove_Click() { Tasks.mnuDriveRemove_Click(); }
  void Command4_Click() { Tasks.Command4_Click(); }
  void EnableSpamChk_Click() { Tasks.EnableSpamChk_Click(); }
  void EnablePopUpChk_Click() { Tasks.EnablePopUpChk_Click(); }
  void ShowBlockers() { Tasks.ShowBlockers(); }
  // Start-up manager
  ui::ListView& StartUpLV = StartUp.StartUpLV;
  ui::ImageList& IntProgImg = StartUp.IntProgImg;
  ui::Button &cmdAdd0 = StartUp.cmdAdd0, &cmdAdd1 = StartUp.cmdAdd1, &EnableBtn0 = StartUp.EnableBtn0,
             &EnableBtn1 = StartUp.EnableBtn1, &detailsBtn = StartUp.detailsBtn, &SwitchBtn = StartUp.SwitchBtn,
             &cmdDel = StartUp.cmdDel;
  ui::Button& cmdAdd(int index) { return StartUp.cmdAdd(index); }
  ui::Button& EnableBtn(int index) { return StartUp.EnableBtn(index); }
  void GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType) {
    StartUp.GetKeysRunType(hive, keyPath, runType);
  }
  void EnableBtn_Click(int16_t Index) { StartUp.EnableBtn_Click(Index); }
  void AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType, const std::string& CmdLine) {
    StartUp.AddStartUp(Name, KeyText, RunType, CmdLine);
  }
  void DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType) {
    StartUp.DelStartUp(Name, KeyText, RunType);
  }
  int16_t SearchStartUpLV(const std::string& Path) { return StartUp.SearchStartUpLV(Path); }
  void StartUpLV_ColumnClick(int column) { StartUp.StartUpLV_ColumnClick(column); }
  bool SelectStartUpEntry(const std::string& name, const std::string& keyText, bool disabled) {
    return StartUp.SelectStartUpEntry(name, keyText, disabled);
  }
  void cmdAdd_Click(int16_t Index) { StartUp.cmdAdd_Click(Index); }
  void cmdDel_Click() { StartUp.cmdDel_Click(); }
  void detailsBtn_Click() { StartUp.detailsBtn_Click(); }
  void SwitchBtn_Click() { StartUp.SwitchBtn_Click(); }

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void SSTab1_Click();
};

extern MoreToolsFrmForm MoreToolsFrm;
