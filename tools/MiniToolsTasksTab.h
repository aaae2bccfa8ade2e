// The mini-tools page's "Tasks History and Media Check" tab: the shell's activity log
// (its commands, its state and a green or red light), the media check at shutdown
// with the drives it leaves out, the details window's button and the blockers that
// start with the program.
#pragma once
#include "Container.h"
#include "Controls.h"
#include "ListBox.h"
#include "Menu.h"
#include "PictureBox.h"
#include "Window.h"

class MiniToolsTasksTab {
 public:
  MiniToolsTasksTab(ui::Window& form, ui::Container& page);

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

  void Prepare();
  // Stores "MoreTools"/"DriveCheck" from MediaChk.
  void SaveMoreToolsData();
  // Reads "MoreTools"/"DriveCheck" and the excluded drives.
  void LoadMoreToolsData();
  // Shows the blockers' boxes as the frame's menu ticks.
  void ShowBlockers();

  void StartBtn_Click();
  void PauseBtn_Click();
  void StopBtn_Click();
  void ViewBtn_Click();
  void MediaChk_Click();
  void AddDriveEXBtn_Click();
  void mnuDriveRemove_Click();
  void Command4_Click();
  void EnableSpamChk_Click();
  void EnablePopUpChk_Click();

 private:
  ui::Window& form_;
};

// Our message when Add finds no single drive letter in the box.
extern const char kDriveLetterText[];
