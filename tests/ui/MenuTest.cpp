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

// Changes made under a hold set the bar once, when the last hold goes, and not at all
// when the items are then as they were: the bar's handle tells whether it was set.
TEST(Menu, AHoldSetsTheBarOnceAndNotAtAllWhenNothingChanged) {
  MenuForm form;
  ui::Menu menu;
  ui::MenuItem& file = menu.Add("&File");
  ui::MenuItem& open = file.Add("Open");
  ui::MenuItem& run = file.Add("&Run");
  open.SetVisible(false);
  form.SetMenu(&menu);
  form.Load();
  const HMENU before = GetMenu(form.hwnd());
  {
    ui::Menu::Hold outer(menu);
    open.SetVisible(true);
    run.SetVisible(false);
    EXPECT_EQ(GetMenu(form.hwnd()), before) << "set while held";
    open.SetVisible(false);
    run.SetVisible(true);
  }
  EXPECT_EQ(GetMenu(form.hwnd()), before) << "set again though nothing changed";

  {
    ui::Menu::Hold outer(menu);
    {
      ui::Menu::Hold inner(menu);
      run.SetChecked(true);
    }
    EXPECT_EQ(GetMenu(form.hwnd()), before) << "set while the outer hold lives";
    open.SetVisible(true);
  }
  HMENU fileMenu = GetSubMenu(GetMenu(form.hwnd()), 0);
  ASSERT_EQ(GetMenuItemCount(fileMenu), 2);
  EXPECT_EQ(ItemText(fileMenu, 0), "Open");
  EXPECT_TRUE(GetMenuState(fileMenu, run.CommandId(), MF_BYCOMMAND) & MF_CHECKED);
}

// A check mark moves on the bar the window shows, which is not set anew for it; an
// item the bar does not hold shows its mark once it is shown.
TEST(Menu, CheckMarksChangeOnTheBarInPlace) {
  MenuForm form;
  ui::Menu menu;
  ui::MenuItem& tools = menu.Add("&Tools");
  ui::MenuItem& first = tools.Add("First");
  ui::MenuItem& second = tools.Add("Second");
  ui::MenuItem& hidden = tools.Add("Hidden");
  hidden.SetVisible(false);
  first.SetChecked(true);
  form.SetMenu(&menu);
  form.Load();
  const HMENU before = GetMenu(form.hwnd());
  first.SetChecked(false);
  second.SetChecked(true);
  EXPECT_EQ(GetMenu(form.hwnd()), before) << "the bar was set anew for a mark";
  HMENU toolsMenu = GetSubMenu(GetMenu(form.hwnd()), 0);
  EXPECT_FALSE(GetMenuState(toolsMenu, first.CommandId(), MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(toolsMenu, second.CommandId(), MF_BYCOMMAND) & MF_CHECKED);

  hidden.SetChecked(true);
  hidden.SetVisible(true);
  toolsMenu = GetSubMenu(GetMenu(form.hwnd()), 0);
  ASSERT_EQ(GetMenuItemCount(toolsMenu), 3);
  EXPECT_TRUE(GetMenuState(toolsMenu, hidden.CommandId(), MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(toolsMenu, second.CommandId(), MF_BYCOMMAND) & MF_CHECKED) << "kept by the new bar";
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

TEST(Menu, ShortcutsShowAfterTheCaption) {
  struct Case {
    UINT key;
    int shift;
    const char* text;
  };
  const Case cases[] = {
      {VK_F5, 0, "F5"},          {'T', 2, "Ctrl+T"},         {VK_DELETE, 1, "Shift+Del"},
      {VK_F1, 3, "Ctrl+Shift+F1"}, {VK_INSERT, 2, "Ctrl+Ins"}, {VK_BACK, 4, "Alt+Bksp"},
      {'7', 2, "Ctrl+7"},        {0, 2, ""},
  };
  MenuForm form;
  ui::Menu menu;
  ui::MenuItem& item = menu.Add("&Main").Add("&Refresh");
  form.SetMenu(&menu);
  form.Load();
  for (const Case& c : cases) {
    item.SetShortcut(c.key, c.shift);
    EXPECT_EQ(item.ShortcutText(), c.text);
    HMENU main = GetSubMenu(GetMenu(form.hwnd()), 0);
    EXPECT_EQ(ItemText(main, 0), *c.text ? std::string("&Refresh\t") + c.text : "&Refresh");
  }
  EXPECT_EQ(item.Caption(), "&Refresh");  // the caption itself stays as it was set
}

}  // namespace
