// The report window: a plain-text report of the machine's state (or of one monitored
// program's risk log), which the user refreshes, saves, copies, prints and searches.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ButtonBar.h"
#include "FileChoice.h"
#include "ListView.h"
#include "RichTextBox.h"
#include "StatusBar.h"
#include "TabPages.h"
#include "Timer.h"
#include "Window.h"

class AppendString;
namespace ui { class ListView; }

namespace report {

// The list-row format: the first column's header, " : " and the row's text, then a
// line per further column ("   " header " : " cell). `mark` puts " *" (selected) or
// two blanks in front of the first line.
std::string ListRowText(const ui::ListView& list, int row, bool mark);
// Every row of a list, each followed by an empty line, then one more empty line.
std::string ListRowsText(const ui::ListView& list, bool mark);
// The line under a section title: that many grave accents.
std::string Underline(int count);
// The view-mode sentence of the lists page's mode.
std::string ViewModeText(int16_t mode);
// The Internet section's body (the records as they stand now).
std::string InternetText();
// The performance figures' ten lines; empty when there are no figures.
std::string PerformanceText(const std::vector<int32_t>& figures);
// The history section.
std::string HistoryText();

// Milliseconds since Windows started. The 64-bit count where the system has it, so
// the uptime does not wrap after 49.7 days; tests replace it.
extern std::function<uint64_t()> UptimeMsFn;
// "Windows is running for: " and the time.
std::string UptimeLine(uint64_t milliseconds);

// Writes a file whole or not at all: the bytes go to a temporary file in the target's
// folder, which then replaces the target. On failure the old file stays, the temporary
// one is removed and the system's error number is answered (0 when written).
DWORD WriteFileWhole(const std::string& path, const std::string& bytes);
// The step that writes bytes to the open temporary file; tests make it fail.
extern std::function<BOOL(HANDLE file, const char* data, DWORD size, DWORD* written)> WriteFn;

}  // namespace report

class LogfrmForm : public ui::Window {
 public:
  LogfrmForm();

  ui::ButtonBar Toolbar1;  // Refresh, Save, Copy, Print, Find, FindNext, ExactView
  ui::TabPages SSTab1;     // 0 "Quillon Tools", 1 "Risk Monitoring Logs"
  ui::ButtonBar Toolbar2;  // the sections, 1 to 7
  ui::ListView RiskMonLV;  // the monitored programs: text the name, tag the path
  ui::RichTextBox LogTxt;  // the report
  ui::StatusBar SBar;      // status, time, date
  ui::Timer ClockTimer;    // keeps the time and date panels current
  // The Save dialog (the Print dialog is the printing module's).
  FileChoice CD1;  // the Save As dialog of the report

  // The section buttons in their order, 1 to 7.
  enum Section { kTaskManager = 1, kDetails, kInternet, kPerformance, kPopUps, kTasksHistory, kStartUp };

  void PrintText();
  // Writes the report (and one more CR LF) to the file; true when it was written.
  bool SaveFileAs(const std::string& fileName);
  // The Save dialog: the chosen name, or "" when the user cancelled.
  std::string GetFileName(const std::string& defaultName);
  bool FileSave();
  void WriteDataTools(AppendString& builder);
  void WriteDataRisk(AppendString& builder);
  // Builds the whole report into LogTxt. Asked while a build runs, it stops that
  // build at its next pump and one new build follows.
  void WriteData();
  void NewFind();
  // Puts the report on the clipboard as text.
  void CopyText();
  // Presses "Find Next": the dialog when there is no text yet, else the search.
  void FindNext();

  bool Building() const { return building_; }
  // How many builds ran to their end since load (tests count them).
  int BuildsFinished() const { return buildsFinished_; }

  // The caret (start of the selection) and a selection, in the control's positions.
  int32_t SelStart() const;
  void Select(int32_t start, int32_t length);

  // The Save dialog (tests answer it); nothing when cancelled.
  std::function<std::optional<std::string>(HWND owner)> SaveDialogFn;

  void Toolbar1_ButtonClick(int index);
  void Toolbar2_ButtonClick(int index);
  void SSTab1_Click();
  void RiskMonLV_ItemClick(int row);

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  void Form_Unload(bool& cancel) override;

 private:
  struct BuildStopped {};
  // Lets events run; a request or a close meanwhile stops this build.
  void Pump();
  void BuildOnce();
  void AppendDetails(AppendString& builder);
  void AppendTaskManager(AppendString& builder);
  void SetStatus(const std::string& text);
  void UpdateClock();

  bool building_ = false;
  bool stopBuild_ = false;
  bool rebuildWanted_ = false;
  bool refilling_ = false;  // RiskMonLV is being refilled: no ItemClick
  bool loading_ = false;    // Form_Load selects the first tab
  int buildsFinished_ = 0;
};

extern LogfrmForm Logfrm;

