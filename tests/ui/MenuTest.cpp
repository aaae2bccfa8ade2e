#include <gtest/gtest.h>

#include "Menu.h"
#include "Window.h"

namespace {

struct MenuForm : ui::Window {
  MenuForm() : Window(ui::FormDesign{}) {}
};

std::string ItemText(HMENU menu, int pos) {
  char buf[128] = {};
  GetMenuStringA(menu, pos, buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

TEST(Menu, TheBarShowsOnlyVisibleItemsAndFollowsTheModel) {
  MenuForm form;
  ui::Menu menu;
  ui::MenuItem& file = menu.Add("&File");
  ui::MenuItem& refresh = file.Add("&Refresh");
  file.Add("-");
  ui::MenuItem& exit = file.Add("E&xit");
  ui::MenuItem& hiddenTop = menu.Add("Popups");
  hiddenTop.SetVisible(false);
  form.SetMenu(&menu);
  form.Load();

  HMENU bar = GetMenu(form.hwnd());
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  HMENU fileMenu = GetSubMenu(bar, 0);
  EXPECT_EQ(GetMenuItemCount(fileMenu), 3);

  refresh.SetVisible(false);
  exit.SetChecked(true);
  fileMenu = GetSubMenu(GetMenu(form.hwnd()), 0);
  ASSERT_EQ(GetMenuItemCount(fileMenu), 2);
  EXPECT_EQ(ItemText(fileMenu, 1), "E&xit");
  EXPECT_TRUE(GetMenuState(fileMenu, exit.CommandId(), MF_BYCOMMAND) & MF_CHECKED);

  exit.SetEnabled(false);
  fileMenu = GetSubMenu(GetMenu(form.hwnd()), 0);
  EXPECT_TRUE(GetMenuState(fileMenu, exit.CommandId(), MF_BYCOMMAND) & MF_GRAYED);
}

TEST(Menu, CommandsReachTheItemsClick) {
  MenuForm form;
  ui::Menu menu;
  int exits = 0;
  ui::MenuItem& exit = menu.Add("&File").Add("E&xit");
  exit.Click = [&] { ++exits; };
  form.SetMenu(&menu);
  form.Load();
  SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(exit.CommandId(), 0), 0);
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(menu.Dispatch(1));  // not one of ours
}

}  // namespace
