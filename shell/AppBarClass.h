// Turns one top-level window into a shell application bar: it registers the window,
// reserves a band along a screen edge (or registers it as the edge's auto-hide bar),
// snaps the drag outline to an edge band and follows the shell's notifications.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

// What the bar window hands to its object besides the shell's record.
struct AppBarOptions {
  bool AutoHide = false;            // the bar is the edge's auto-hide bar
  bool AlwaysOnTop = false;
  int16_t SideThickness = 0;        // twips, docked left or right
  int16_t TopBottomThickness = 0;   // twips, docked top or bottom
  int32_t Reserved = 0;             // not read here
};

class AppBarClass {
 public:
  bool PosChangeHidden = false;  // the shell moved an auto-hidden bar; the bar's tick re-applies
  // The shell said a full-screen window opened: the bar stays hidden, whatever its tick
  // would do, until the shell says full screen has ended.
  bool FullScreenHidden = false;
  bool IsMenu = false;           // the bar's menu is open: every message passes untouched
  bool ForceIgnoreAppBar = false;  // placed: the work area already leaves out our band
  int32_t NewEdge = 0;           // the edge chosen by the last drag step
  int32_t OldEdge = 0;
  bool EdgeChanged = false;
  bool LogWnProc = false;        // WindowProc is running

  APPBARDATA InfoBarFrmData() const { return data_; }
  void SetInfoBarFrmData(const APPBARDATA& data) { data_ = data; }
  AppBarOptions InfoBarFrmInfo() const { return options_; }
  void SetInfoBarFrmInfo(const AppBarOptions& options) { options_ = options; }
  // Whether the shell holds our auto-hide registration: the taskbar's own state says
  // nothing about it, so the object keeps it.
  bool AutoHideRegistered() const { return autoHideRegistered_; }

  void IniAppBar();
  void HookForm();
  void UnHookForm();
  void ModifyAppBar();
  void AdjustAppBarLocation();
  void AppBarQuerySetPos();
  void WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void AppBarPosChanged();
  void AutoHideAppBar();
  void RemoveAppBar();
  // The work area in twips; with `ignoreAppBar`, once placed, our own band added back,
  // never beyond the screen.
  RECT ScreenRect(bool ignoreAppBar) const;
  void HideAppBar(bool makeHidden, bool alwaysOnTop);
  // The drag outline in pixels for the cursor; writes NewEdge.
  RECT GetOutlineRect();
  // A drag of the bar by its strip, followed by the bar itself: it starts on the bar's
  // own edge, and at its end the bar docks at the edge the cursor chose, or goes back
  // to its own band.
  void BeginDrag();
  void EndDrag();

 private:
  UINT_PTR Message(DWORD msg);
  bool RegisterAutoHide(UINT edge, bool on);
  void Shrink();
  void MoveToFullBand();
  RECT Band(const RECT& screenTwips, UINT edge) const;

  APPBARDATA data_ = {sizeof(APPBARDATA)};
  AppBarOptions options_;
  bool autoHideRegistered_ = false;
  bool hooked_ = false;
};

// The pixels of a twips figure, rounded to the nearest (halves to even).
int TwipsToPixelsXRound(double twips);
int TwipsToPixelsYRound(double twips);
