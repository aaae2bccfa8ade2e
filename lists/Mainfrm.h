// The lists page: running programs and open windows.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "ButtonBar.h"
#include "Controls.h"
#include "ImageList.h"
#include "ListView.h"
#include "Menu.h"
#include "Window.h"

class MainfrmForm : public ui::Window {
 public:
  MainfrmForm();
  ~MainfrmForm() override;

  ui::ListView AppLst;
  ui::ListView WndLst;
  ui::Label ResizeBar;  // the splitter between the lists
  ui::ButtonBar ProgBar1, ProgBar2, WndBar1, WndBar2;
  ui::ButtonBar Toolbar3;  // the view modes: "ProgWnd" and "All"
  ui::Label WaitLbl;       // "Please wait ..." during a full reload

  // Pop-up menus, never shown as a bar.
  ui::Menu Menus;
  ui::MenuItem* mnuAppLst;
  ui::MenuItem* mnuProgsSendTo = nullptr;
  ui::MenuItem* mnuAppLstView[3];
  ui::MenuItem* mnuWndLst;
  ui::MenuItem* mnuWndLstView[3];
  ui::MenuItem* mnuProgs;  // the program rows' commands
  ui::MenuItem* mnuWnds;   // the window rows' commands
  ui::MenuItem* mnuPriorityMain;
  ui::MenuItem* mnuProgsMonitorCPU;
  ui::MenuItem* mnuProgsKillQrt;

  // The icons of the rows: 0 programs, 1 windows.
  ui::ImageList TmpIconImg[2];

  bool AppLargeIcon = false;
  bool WndLargeIcon = false;
  bool FastRef = false;
  bool Refreshing = false;  // while RefreshMe runs
  bool refreshAnyway_ = false;  // RefreshForReport: the quick refresh runs in the background too
  // True while a page command runs: a refresh asked meanwhile waits for its end.
  bool CommandRunning = false;
  // 1 programs with their windows, 3 windows with their programs, 2 and 4 both lists.
  int16_t ProgWndImgIndex = 2;

  // View style of each list: 0 large icons, 1 small icons, 2 details.
  void mnuAppLstView_Click(int index);
  void mnuWndLstView_Click(int index);

  // The view-mode buttons: "All" or "ProgWnd".
  void Toolbar3_ButtonClick(const std::string& key);
  // The splitter's new height for the program list, when it is inside the bounds
  // (a tenth to four fifths of the page's inner height); -1 otherwise.
  static int SplitterHeight(int innerHeight, int wanted);
  // The bars' colour: white at 16 bits per pixel, else the shared background.
  static COLORREF BarColourForDepth(int bitsPerPixel);

  // ---- Refresh and merge
  void RefreshMe();
  // RefreshMe for a request that arrives as a message (F5, a view-mode button, the
  // frame's posted refresh): a reload of both lists runs as a chain of steps, each its
  // own message of at most about kStepBudgetMs, and Refreshing stays set until the last.
  // A reader that calls RefreshMe between the steps gets the reload finished at once.
  void RefreshMeInSteps();
  static const unsigned kStepBudgetMs = 40;
  // The quick refresh for a reader that needs the lists current while another window
  // (the report) is in front.
  void RefreshForReport();
  void DoAllWndOpt();
  void DoProgWndOpt();
  void DoWndProgOpt();
  void RefreshStartUpList();
  void RefAppList();
  void RefWinList();
  void AddAppLstItem(int16_t row);
  void AddWndLstItem(HWND hwnd);
  int16_t GetAppId(const std::string& path) const;
  // The 1-based column that shows the field; 0 when it is not shown or the list is
  // neither 0 (programs) nor 1 (windows).
  int16_t GetColumn(long list, int16_t field) const;

  // ---- Ending programs
  void KillApp(bool killAndRestart);
  bool DestroyAndRes(const std::string& progPath, bool killAndRestart);

  // ---- Commands on the rows
  void SelectAll(ui::ListView& list);
  void InvertSelection(ui::ListView& list);
  // The keys of the selected programs joined by "  -  ".
  // The selected programs' paths as they stand now, in list order.
  std::vector<std::string> SelectedKeys() const;
  std::string SelectedPaths() const;
  void mnuCopyPath_Click();
  void SetSelectedPriority(int level);  // 0 idle, 1 normal, 2 high
  void ChangeSelectedPriority(int step);  // +1 increase, -1 decrease
  void mnuWndClose_Click();
  void WndTerminate(bool restart);
  void mnuWndOnTop_Click();
  void mnuWndShowHide_Click();
  void mnuWndShowState_Click(int showCommand);  // SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE
  void mnuWndCheckStatus_Click();
  void mnuWndCopyNameHandle_Click();
  void mnuWndSwitch_Click();
  void mnuWndShowForSeconds_Click();
  void mnuProgsDetails_Click();
  void mnuProgsSpywareSearch_Click();
  void mnuProgsMoveToQrt_Click();
  void mnuProgsMonitorCPU_Click();
  void mnuProgsInternet_Click();
  void mnuProgsSendToBrowsers_Click();
  void mnuWndsSendToWhite_Click();
  // Shows the program's start-up entry, or opens the add dialog with its path.
  void mnuProgsSendToStartUp_Click();

  // The facts of a program file, asked once while the path is in the process table.
  struct PathFacts {
    std::string versions[8];
    HICON icons[2] = {nullptr, nullptr};  // small, large
    bool iconAsked[2] = {false, false};
  };
  const PathFacts& FactsOf(const std::string& path);
  size_t MemoSize() const { return memo_.size(); }

  // The timed refresh reads the changing facts of the window rows on screen; the
  // others are read a share at a time between ticks, every kSliceMs, so that every
  // row is read again within kFactsMaxAgeMs. Rows that come into view are read at once.
  static const unsigned kFactsMaxAgeMs = 2000;
  static const unsigned kSliceMs = 500;
  // kTick: the timed refresh; kSlice: a share between ticks; kShown: rows come into
  // view; kAll: every row, and every thread probed.
  enum class MergeKind { kTick, kSlice, kShown, kAll };
  void MergeWindows(MergeKind kind);
  // One share of the rows between ticks, while a timed refresh would run.
  void ReadSlice();
  // The page's timer reads no share while set (a test sees the other reads alone).
  bool SharesHeld = false;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  // The terminate-and-restart hot key belongs to this window.
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void SetView(ui::ListView& list, ui::MenuItem* const* items, bool& largeIcon, int index);
  std::vector<std::string> AppValues(int16_t row) const;
  void WriteRow(ui::ListView& list, int row, const std::vector<std::string>& values, bool skipNone);
  void AddIcon(ui::ListView& list, int row, int which, HICON icon);
  void KeepRowIcons(ui::ListView& list, int which);
  void PruneMemo();
  HWND RowWindow(int row) const;
  void Lists_ColumnClick(ui::ListView& list, int column);
  void BuildCommandMenus();
  bool TimedRefreshAllowed() const;
  void BuildBars();
  void BarClick(ui::ButtonBar& bar, const std::string& key);
  void BarHint(const std::string& key);
  void PopupBeside(ui::ButtonBar& bar, int index, const ui::MenuItem& menu);
  void ResizeBar_MouseMove(int button);
  void Lists_ItemClick(ui::ListView& list, const POINT* menuAt);
  void ShowModePictures();
  // The reload's steps, in order. The rows go in shares of kStepBudgetMs each.
  enum class Step { kNone, kProcesses, kWalk, kMemory, kStartUp, kProgramRows, kProgramsDone, kWindows, kWindowRows, kWindowsDone };
  void BeginSteps();
  void RunStep();
  void NextStep(Step step);
  void FinishSteps();
  void DrainSteps();
  void AbandonSteps();
  // The pieces of the full roads, shared by the plain refresh and the steps.
  void ReadPrograms();
  void BeginProgramRows();
  bool AddProgramRows(DWORD deadline);  // true when every row is in
  void EndProgramRows();
  void BeginWindowRows();
  bool AddWindowRows(DWORD deadline);
  void EndWindowRows();
  bool AppIncremental() const;
  bool WndIncremental() const;
  Step step_ = Step::kNone;
  bool inStep_ = false;
  bool draining_ = false;
  bool stepsWanted_ = false;
  int nextRow_ = 0;
  std::vector<std::string> keptSelection_;
  std::unique_ptr<ui::ListView::RedrawGuard> rowsQuiet_;
  int grabY_ = 0;  // where in the splitter the drag took hold
  bool refreshAgain_ = false;  // a full refresh was asked while one ran
  bool runningFast_ = false;   // the running refresh is the timed one

  std::unordered_set<HWND> ShownWindows() const;
  bool MergeAllowed() const;
  void MergeBetweenTicks(MergeKind kind);

  bool IsItemClick = false;
  // The last answer of each thread to the responding probe, the threads probed and
  // the windows read since the last tick.
  std::map<DWORD, bool> threadAnswers_;
  std::set<DWORD> probedThisTick_;
  std::set<HWND> readThisTick_;
  bool shownReadPosted_ = false;
  bool slicing_ = false;  // the share timer runs
  void StartSlices();
  std::map<std::string, PathFacts> memo_;
  std::string appColumns_, wndColumns_;  // the columns the rows were last filled under
};

extern MainfrmForm Mainfrm;

// The marker of a field the merge neither reads nor writes.
extern const char kNoneValue[];
