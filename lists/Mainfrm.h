// The lists page: running programs and open windows.
#pragma once
#include "ListView.h"
#include "Menu.h"
#include "Window.h"

class MainfrmForm : public ui::Window {
 public:
  MainfrmForm();

  ui::ListView AppLst;
  ui::ListView WndLst;

  // Pop-up menus, never shown as a bar.
  ui::Menu Menus;
  ui::MenuItem* mnuAppLst;
  ui::MenuItem* mnuAppLstView[3];
  ui::MenuItem* mnuWndLst;
  ui::MenuItem* mnuWndLstView[3];

  bool AppLargeIcon = false;
  bool WndLargeIcon = false;
  bool FastRef = false;
  bool Refreshing = false;  // while RefreshMe runs

  // View style of each list: 0 large icons, 1 small icons, 2 details.
  void mnuAppLstView_Click(int index);
  void mnuWndLstView_Click(int index);
  void RefreshMe();

 protected:
  // The terminate-and-restart hot key belongs to this window.
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void SetView(ui::ListView& list, ui::MenuItem* const* items, bool& largeIcon, int index);
};

extern MainfrmForm Mainfrm;
