// The mini-tools page's start-up manager: one row per Run-type value of the
// registry, with Add, Edit, Enable, Disable, Details, Jump to it and Delete.
//
// The list is read from the registry the first time it is wanted (the page shown,
// or a caller asking whether a program starts with Windows), not when the page is
// made at program start: the read names every entry's program against the process
// table and takes a good part of the start.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Container.h"
#include "Controls.h"
#include "StartUpEntries.h"
#include "ImageList.h"
#include "ListView.h"
#include "Window.h"

class MiniToolsStartUpTab {
 public:
  MiniToolsStartUpTab(ui::Window& form, ui::Container& page);

  // The tag is the run type, small icon 1 enabled and 2 disabled, bold while its
  // program runs.
  ui::ListView StartUpLV;
  ui::ImageList IntProgImg;
  ui::Button cmdAdd0, cmdAdd1, EnableBtn0, EnableBtn1, detailsBtn, SwitchBtn, cmdDel;
  ui::Button& cmdAdd(int index) { return index == 0 ? cmdAdd0 : cmdAdd1; }
  ui::Button& EnableBtn(int index) { return index == 0 ? EnableBtn0 : EnableBtn1; }

  // The page after a command changed an entry: reminders, list and blockers shown again.
  std::function<void()> RefreshPage;

  // The list's images and the buttons' tips, once the controls exist.
  void Prepare();
  // Reads the entries again and shows them, the "Running" column from the process table.
  void RefreshStartUpList();
  // Fills the list unless it was filled already.
  void EnsureStartUpList();
  bool StartUpListRead() const { return listRead_; }

  // Adds the rows of one run type: its key and its "-" companion.
  void GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType);
  // 0 enables the selected row's entry (a disabled one), 1 disables it (an enabled
  // one). The value moves with its type and bytes; nothing is lost when it cannot.
  void EnableBtn_Click(int16_t Index);
  // Writes Name = CmdLine as text at the key text's place and refills the list.
  void AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType, const std::string& CmdLine);
  void DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType);
  // The 1-based row of the first enabled entry whose program is the path (as the
  // list was last filled, filled first if it never was); 0 when none. Callers that
  // need no row ask the entries (IsEnabledStartUpProgram).
  int16_t SearchStartUpLV(const std::string& Path);
  // Each click turns the order round and sorts by the clicked column.
  void StartUpLV_ColumnClick(int column);
  // Selects the entry's row and brings it into view; false when it is not listed.
  bool SelectStartUpEntry(const std::string& name, const std::string& keyText, bool disabled);
  // The seven buttons share one row along the bottom; the list takes the rest.
  void Layout(ui::Container& page);

  void cmdAdd_Click(int16_t Index);
  void cmdDel_Click();
  void detailsBtn_Click();
  void SwitchBtn_Click();

 private:
  void ShowEntries(const std::vector<StartUpEntry>& entries);
  // Each row's key is its entry's place in shown_.
  void AddRows(const std::vector<StartUpEntry>& entries);
  // The selected row, or -1.
  int SelectedStartUpRow() const;
  void Refresh();
  ui::Window& form_;
  HWND toolTips_ = nullptr;
  bool listRead_ = false;
  std::vector<StartUpEntry> shown_;
  unsigned readsWhenMade_ = StartUpEntriesReadCount();
};
