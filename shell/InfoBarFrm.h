// The tracker bar: a borderless strip docked to a screen edge as a shell application
// bar, with a row of live items that scrolls when it is wider than the strip.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "AppBarClass.h"
#include "Controls.h"
#include "Gdi.h"
#include "GraphControl.h"
#include "Menu.h"
#include "PictureBox.h"
#include "Window.h"
#include "clsTrackerItem.h"

class InfoBarFrmForm : public ui::Window {
 public:
  InfoBarFrmForm();
  ~InfoBarFrmForm() override;

  static constexpr int kMaxItems = 10;
  static constexpr double kItemGap = 20.0 / 3;     // first item offset and gap between items
  static constexpr double kGraphHeight = 65.0 / 3;

  ui::PictureBox LeftPic, MainPic, RightPic;
  // Element 0 is placed on the window; the others are added while it runs.
  GraphControl& ItemGrph(int index);
  ui::Label& ItemNameLbl(int index);
  bool ItemLoaded(int index) const;
  void LoadItem(int index);
  void UnloadItemControls(int index);
  // Where each graph lies in the strip, in pixels, kept with their fractions.
  double GraphLeft[kMaxItems + 1] = {};
  double GraphWidth[kMaxItems + 1] = {};
  double LabelWidth[kMaxItems + 1] = {};
  void PlaceGraph(int index);

  // The scroll offset of the row and its range, in pixels.
  struct ScrollModel {
    int Value = 0, Max = 0;
  } HScroll;
  void SetScrollValue(int value);

  clsTrackerItem TrackerItemObjs[kMaxItems + 1];
  int16_t TrackerItemCount = 0;
  bool BarReady = false;
  bool ScrollLeftOn = false, ScrollRightOn = false;
  bool DragMain = false, DragRight = false;
  int DragMainX = 0, DragMainY = 0, DragRightX = 0, DragRightY = 0;
  bool dragging_ = false;  // the bar follows the cursor until the button is released
  COLORREF SavedBackColor = 0;
  AppBarClass* Bar() const { return bar_.get(); }

  ui::Menu menu;
  ui::MenuItem *mnuSettings, *mnuSetAutoHide, *mnuSetTop, *mnuQuillon, *mnuSetSettings, *mnuHelp, *mnuAbout,
      *mnuSettingsClose;

  void UpdateLblData();
  void IniTrackerItems();
  // True from the bar's load until its item row is built, as the message after the
  // bar has docked and shown.
  bool ItemsPending() const { return itemsPending_; }
  void DisplayPopMenu();
  void Form_Unload(bool& cancel) override;
  void EndAppBar();
  void Timer1_Timer();
  bool TickWanted() const;
  void SlideWindow(int16_t inOutForm);
  // True once the cursor has rested on one point for kEdgeRestMs; until then each
  // call (one per tick) answers false and the bar stays away.
  bool WaitAndCheck();
  static constexpr DWORD kEdgeRestMs = 300;
  void RefreshMe();
  void CheckHScroll(int total);
  void LoadSkinAndAdjustSizes();
  int StripWidth() const { return MainPic.GetBounds().width; }

  // The first-time message of a number (2: the bar's auto-hide); answers whether it
  // was shown. Tests may answer it themselves.
  std::function<bool(int messageId, HWND owner)> ShowFirstTime;

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool itemsPending_ = false;
  // The row's width from the items' widths, as the scroll range is fitted to it.
  int RowWidth() const;
  // The cursor's rest at the edge, timed across ticks.
  bool resting_ = false;
  POINT restPoint_ = {};
  DWORD restSince_ = 0;

  void ApplyTopMost(UINT flags);
  void StartDrag(ui::PictureBox& pic, bool& flag, int& dx, int& dy, int x, int y);
  void DragMove(ui::PictureBox& pic, bool& flag, int dx, int dy, int x, int y);
  void FollowDrag();
  void EndDrag();
  void HoverCap(ui::PictureBox& pic, bool& armed);
  void HoverScroll(const POINT& cursor);
  bool RowFits();
  void TileStrip(HDC dc);
  void ReleaseSkin();

  GraphControl graph0_;
  ui::Label label0_;
  std::unique_ptr<GraphControl> graphs_[kMaxItems + 1];
  std::unique_ptr<ui::Label> labels_[kMaxItems + 1];
  std::unique_ptr<AppBarClass> bar_;
  int16_t AppBarIndex = 0;
  bool ended_ = true;  // EndAppBar ran for this load
  ui::OwnedBitmap left_, right_, TmpImg;
  double graphTop_ = 0;
  HCURSOR scrollCursor_ = nullptr;
};

extern InfoBarFrmForm InfoBarFrm;
