#include "Mainfrm.h"

#include "ApplyGlobalSettings.h"

#include "ModMainLoop.h"
#include "ModStartup.h"
#include "ViewBindings.h"

MainfrmForm Mainfrm;

MainfrmForm::MainfrmForm()
    : Window({.caption = "Quillon", .style = WS_POPUP, .width = 600, .height = 400}),
      AppLst(*this, {0, 0, 600, 200}),
      WndLst(*this, {0, 204, 600, 196}) {
  mnuAppLst = &Menus.Add("AppLst");
  mnuWndLst = &Menus.Add("WndLst");
  const char* captions[3] = {"Lar&ge Icons", "S&mall Icons", "&Details"};
  for (int i = 0; i < 3; ++i) {
    mnuAppLstView[i] = &mnuAppLst->Add(captions[i]);
    mnuAppLstView[i]->Click = [this, i] { mnuAppLstView_Click(i); };
    mnuWndLstView[i] = &mnuWndLst->Add(captions[i]);
    mnuWndLstView[i]->Click = [this, i] { mnuWndLstView_Click(i); };
  }
  ViewBindings::Lists& view = Views.lists;
  view.form = this;
  view.AppLst = &AppLst;
  view.WndLst = &WndLst;
  view.FastRef = &FastRef;
  view.Refreshing = &Refreshing;
  for (int i = 0; i < 3; ++i) {
    view.mnuAppLstView[i] = mnuAppLstView[i];
    view.mnuWndLstView[i] = mnuWndLstView[i];
  }
}

void MainfrmForm::SetView(ui::ListView& list, ui::MenuItem* const* items, bool& largeIcon, int index) {
  for (int i = 0; i < 3; ++i) items[i]->SetChecked(false);
  static const DWORD kViews[3] = {LVS_ICON, LVS_SMALLICON, LVS_REPORT};
  if (index >= 0 && index <= 2) {
    largeIcon = index == 0;
    list.SetView(kViews[index]);
    items[index]->SetChecked(true);
  }
  FastRef = false;
  if (!IsStartingUp) RefreshMe();
}

void MainfrmForm::mnuAppLstView_Click(int index) { SetView(AppLst, mnuAppLstView, AppLargeIcon, index); }

void MainfrmForm::mnuWndLstView_Click(int index) { SetView(WndLst, mnuWndLstView, WndLargeIcon, index); }

// The lists are filled by the page's refresh, which arrives with the process and
// window tables.
void MainfrmForm::RefreshMe() {
  // Re-entered from an event pump inside a refresh: the running one finishes first.
  if (Refreshing) return;
  Refreshing = true;
  // (The rows are filled here once the process and window tables arrive.)
  Refreshing = false;
  // Options applied meanwhile change the columns only now, between refreshes.
  ApplyPendingColumns();
}

LRESULT MainfrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HOTKEY) {
    NoteHotKey(hwnd(), wp);
    return 0;
  }
  return Window::WndProc(msg, wp, lp);
}
