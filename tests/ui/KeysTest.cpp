// Keys and mouse as a user gives them: through the system's input queue, the shared
// pump and its pre-step, to the form's controls.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Container.h"
#include "Controls.h"
#include "Failures.h"
#include "ListView.h"
#include "Input.h"
#include "Menu.h"
#include "Timer.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::ClickAt;
using testsupport::PumpUntil;

namespace {

// One key with modifiers (1 Shift, 2 Ctrl, 4 Alt), pressed and released.
void Press(WORD vk, int shift = 0) { testsupport::PressKey(vk, shift); }

// Lets the input sent so far reach its windows, for checks that something did not happen.
void Settle() { testsupport::PumpUntilIdle(); }

bool Activate(ui::Window& form) {
  form.Show();
  SetForegroundWindow(form.hwnd());
  return PumpUntil([&] { return GetForegroundWindow() == form.hwnd(); });
}

// A small dialog: a name, two choices, notes, OK and Cancel, and Apply inside a frame.
class DialogForm : public ui::Window {
 public:
  explicit DialogForm(bool withDefaultAndCancel = true)
      : Window({.caption = "Dialog", .width = 320, .height = 220, .keyPreview = true}),
        txtName(*this, {10, 10, 150, 22}),
        optSmall(*this, {10, 40, 100, 20}, "Small", true),
        optLarge(*this, {10, 62, 100, 20}, "Large"),
        txtNotes(*this, {10, 90, 200, 60}, "", ES_MULTILINE | WS_VSCROLL),
        OkBtn(*this, {10, 170, 80, 26}, "OK"),
        CancelBtn(*this, {100, 170, 80, 26}, "Cancel"),
        fraMore(*this, {190, 150, 120, 60}, "More"),
        ApplyBtn(*this, {10, 24, 80, 26}, "Apply") {
    ApplyBtn.SetContainer(fraMore);
    optSmall.SetValue(true);
    OkBtn.Click = [this] { ++ok; };
    CancelBtn.Click = [this] { ++cancel; };
    ApplyBtn.Click = [this] { ++apply; };
    txtName.KeyDown = [this](int key, int shift) { controlKeys.push_back({key, shift}); };
    OkBtn.SetDefault(withDefaultAndCancel);
    CancelBtn.SetCancel(withDefaultAndCancel);
  }
  ui::TextBox txtName;
  ui::OptionButton optSmall, optLarge;
  ui::TextBox txtNotes;
  ui::Button OkBtn, CancelBtn;
  ui::Frame fraMore;
  ui::Button ApplyBtn;

  int ok = 0, cancel = 0, apply = 0;
  std::vector<std::pair<int, int>> previewKeys, controlKeys;  // key code, shift
  int swallowKey = 0;
  bool throwOnKey = false;

 protected:
  void Form_KeyDown(int& keyCode, int shift) override {
    previewKeys.push_back({keyCode, shift});
    if (throwOnKey) throw std::runtime_error("key handler failed");
    if (keyCode == swallowKey) keyCode = 0;
  }
};

TEST(DialogKeys, TabWalksTheControlsAndShiftTabWalksBack) {
  DialogForm form;
  ASSERT_TRUE(Activate(form));
  // An activated form gives the focus to its first control, as a dialog does.
  ASSERT_EQ(GetFocus(), form.txtName.hwnd());
  const std::vector<HWND> order = {form.optSmall.hwnd(), form.txtNotes.hwnd(), form.OkBtn.hwnd(),
                                   form.CancelBtn.hwnd(), form.ApplyBtn.hwnd(), form.txtName.hwnd()};
  for (HWND next : order) {
    Press(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == next; }, 1000)) << testsupport::WindowText(next);
  }
  for (auto it = order.rbegin() + 1; it != order.rend(); ++it) {
    Press(VK_TAB, 1);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == *it; }, 1000)) << testsupport::WindowText(*it);
  }
  // Arrows move between the choices of a group, choosing as they go.
  ASSERT_EQ(GetFocus(), form.optSmall.hwnd());
  Press(VK_DOWN);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == form.optLarge.hwnd(); }, 1000));
  EXPECT_TRUE(PumpUntil([&] { return form.optLarge.Value() && !form.optSmall.Value(); }, 1000));
  // Tab out of the multi-line box moves on instead of typing a tab.
  form.txtNotes.SetFocus();
  Press(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == form.OkBtn.hwnd(); }, 1000));
  EXPECT_EQ(form.txtNotes.Text(), "");
}

TEST(DialogKeys, EnterAndEscPressTheFormsButtons) {
  enum Focus { Name, Notes, Apply };
  struct Case {
    const char* what;
    bool defaultAndCancel;
    Focus focus;
    WORD key;
    int shift;
    int ok, cancel, apply;
    const char* notes;
  };
  const Case cases[] = {
      {"Enter in an edit", true, Name, VK_RETURN, 0, 1, 0, 0, ""},
      {"Enter on a focused button presses that one, inside a frame too", true, Apply, VK_RETURN, 0, 0, 0, 1, ""},
      {"Esc in an edit", true, Name, VK_ESCAPE, 0, 0, 1, 0, ""},
      {"Esc in a multi-line edit", true, Notes, VK_ESCAPE, 0, 0, 1, 0, ""},
      {"Enter in a multi-line edit beside a default button", true, Notes, VK_RETURN, 0, 1, 0, 0, ""},
      {"Ctrl+Enter there makes a new line", true, Notes, VK_RETURN, 2, 0, 0, 0, "\r\n"},
      {"Enter in a multi-line edit with no default button", false, Notes, VK_RETURN, 0, 0, 0, 0, "\r\n"},
      {"Esc in a multi-line edit with no cancel button", false, Notes, VK_ESCAPE, 0, 0, 0, 0, ""},
      {"Enter in an edit with no default button", false, Name, VK_RETURN, 0, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogForm form(c.defaultAndCancel);
    ASSERT_TRUE(Activate(form));
    ui::Control& target = c.focus == Name ? static_cast<ui::Control&>(form.txtName)
                          : c.focus == Notes ? static_cast<ui::Control&>(form.txtNotes)
                                             : static_cast<ui::Control&>(form.ApplyBtn);
    target.SetFocus();
    // Any key the user typed before makes an edit learn that it sits in a dialog.
    Press(VK_SHIFT);
    Press(c.key, c.shift);
    if (c.ok + c.cancel + c.apply > 0 || *c.notes)
      PumpUntil([&] { return form.ok + form.cancel + form.apply > 0 || !form.txtNotes.Text().empty(); }, 1000);
    Settle();
    EXPECT_EQ(form.ok, c.ok);
    EXPECT_EQ(form.cancel, c.cancel);
    EXPECT_EQ(form.apply, c.apply);
    EXPECT_EQ(form.txtNotes.Text(), c.notes);
    // Nothing closes the form behind its buttons' back (an edit in a dialog would).
    EXPECT_TRUE(form.Loaded());
  }
}

TEST(DialogKeys, ADisabledOrHiddenDefaultButtonIsNotPressed) {
  DialogForm form;
  form.OkBtn.SetEnabled(false);
  form.CancelBtn.SetVisible(false);
  ASSERT_TRUE(Activate(form));
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  Settle();
  EXPECT_EQ(form.ok + form.cancel, 0);
  // Only one default: a new one takes over, and the old one loses the bold frame.
  form.OkBtn.SetEnabled(true);
  form.ApplyBtn.SetDefault(true);
  EXPECT_FALSE(form.OkBtn.Default());
  EXPECT_EQ(GetWindowLongA(form.OkBtn.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(form.ApplyBtn.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(SendMessageA(form.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(form.ApplyBtn.id(), DC_HASDEFID));
  form.txtName.SetFocus();
  Press(VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return form.apply == 1; }, 1000));
  EXPECT_EQ(form.ok, 0);
  // What an edit or the dialog manager sends for Enter and Esc reaches the same buttons.
  form.CancelBtn.SetVisible(true);
  SendMessageA(form.hwnd(), WM_COMMAND, IDOK, 0);
  SendMessageA(form.hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(form.apply, 2);
  EXPECT_EQ(form.cancel, 1);
}

TEST(KeyPreview, TheFormSeesKeysFirstAndCanSwallowThem) {
  DialogForm form;
  ASSERT_TRUE(Activate(form));
  form.txtName.SetFocus();
  const std::pair<int, int> shiftF5 = {VK_F5, 1};
  Press(VK_F5, 1);
  EXPECT_TRUE(PumpUntil([&] { return !form.controlKeys.empty() && form.controlKeys.back() == shiftF5; }, 1000));
  EXPECT_EQ(form.previewKeys.back(), shiftF5);

  form.previewKeys.clear();
  form.controlKeys.clear();
  form.swallowKey = VK_F1;
  Press(VK_F1);
  Press('Q');  // not swallowed: it comes after, so F1 has been handled by then
  EXPECT_TRUE(PumpUntil([&] { return form.controlKeys.size() == 1; }, 1000));
  EXPECT_EQ(form.previewKeys, (std::vector<std::pair<int, int>>{{VK_F1, 0}, {'Q', 0}}));
  EXPECT_EQ(form.controlKeys, (std::vector<std::pair<int, int>>{{'Q', 0}}));

  form.previewKeys.clear();
  form.controlKeys.clear();
  form.SetKeyPreview(false);
  Press(VK_F1);
  EXPECT_TRUE(PumpUntil([&] { return form.controlKeys.size() == 1; }, 1000));
  EXPECT_TRUE(form.previewKeys.empty());

  // A failing preview handler is reported; the key goes on to the control.
  form.SetKeyPreview(true);
  form.throwOnKey = true;
  form.controlKeys.clear();
  testsupport::ExpectFailures failures(1);
  Press(VK_F2);
  EXPECT_TRUE(PumpUntil([&] { return form.controlKeys.size() == 1; }, 1000));
}

class MenuForm : public ui::Window {
 public:
  MenuForm() : Window({.caption = "Menus", .keyPreview = true}), txtNotes(*this, {10, 10, 200, 60}, "", ES_MULTILINE) {
    ui::MenuItem& file = bar.Add("&Main");
    refresh = &file.Add("Refresh");
    refresh->SetShortcut(VK_F5);
    terminate = &file.Add("&Terminate and Restart....");
    terminate->SetShortcut('T', 2);
    open = &file.Add("Open");
    open->SetShortcut('O', 2);
    open->SetVisible(false);
    stop = &file.Add("&Stop");
    stop->SetShortcut('S', 2);
    stop->SetEnabled(false);
    ui::MenuItem& popups = bar.Add("Popups");
    popups.Add("&Pause").SetShortcut('P', 2);
    popups.SetVisible(false);
    for (ui::MenuItem* item : {refresh, terminate, open, stop, popups.Items()[0].get()})
      item->Click = [this, item] { chosen.push_back(item->Caption()); };
    SetMenu(&bar);
  }
  ui::TextBox txtNotes;
  ui::Menu bar;
  ui::MenuItem *refresh, *terminate, *open, *stop;
  std::vector<std::string> chosen;
  int swallowKey = 0;

 protected:
  void Form_KeyDown(int& keyCode, int /*shift*/) override {
    if (keyCode == swallowKey) keyCode = 0;
  }
};

TEST(MenuShortcuts, RunTheirItemWhileItCouldBeChosen) {
  MenuForm form;
  ASSERT_TRUE(Activate(form));
  HMENU file = GetSubMenu(GetMenu(form.hwnd()), 0);
  char text[64] = {};
  GetMenuStringA(file, form.terminate->CommandId(), text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Terminate and Restart....\tCtrl+T");

  // Hidden, disabled, or under a hidden menu: no shortcut; the keys go to the box.
  Press('O', 2);
  Press('S', 2);
  Press('P', 2);
  Press(VK_F5);
  Press('T', 2);
  EXPECT_TRUE(PumpUntil([&] { return form.chosen.size() == 2; }, 1000));
  Settle();
  EXPECT_EQ(form.chosen, (std::vector<std::string>{"Refresh", "&Terminate and Restart...."}));

  // The shortcuts follow the model.
  form.chosen.clear();
  form.open->SetVisible(true);
  form.terminate->SetShortcut('R', 2);
  Press('O', 2);
  Press('R', 2);
  Press('T', 2);
  EXPECT_TRUE(PumpUntil([&] { return form.chosen.size() == 2; }, 1000));
  Settle();
  EXPECT_EQ(form.chosen, (std::vector<std::string>{"Open", "&Terminate and Restart...."}));

  // The key preview comes first and can keep a key from the menu.
  form.chosen.clear();
  form.swallowKey = VK_F5;
  Press(VK_F5);
  Settle();
  EXPECT_TRUE(form.chosen.empty());
}

// A form shown modal over another; its timer plays what the user does meanwhile.
class ModalForm : public ui::Window {
 public:
  ModalForm() : Window({.caption = "Modal", .width = 200, .height = 100}),
                CancelBtn(*this, {10, 10, 80, 26}, "Cancel"), Timer1(*this, 20) {
    CancelBtn.SetCancel(true);
    CancelBtn.Click = [this] { Unload(); };
    Timer1.Tick = [this] {
      Timer1.SetEnabled(false);
      if (During) During();
    };
  }
  ui::Button CancelBtn;
  ui::Timer Timer1;
  std::function<void()> During;
};

class OwnerForm : public ui::Window {
 public:
  OwnerForm() : Window({.caption = "Owner", .width = 200, .height = 100}), OkBtn(*this, {10, 10, 80, 26}, "OK") {}
  ui::Button OkBtn;
};

TEST(ModalForms, DisableTheOwnerUntilTheyGoWhicheverWayTheyGo) {
  struct Case {
    const char* what;
    std::function<void(ModalForm&)> end;
    bool loadedAfter;
  };
  const Case cases[] = {
      {"unloaded by its own handler", [](ModalForm& m) { m.Unload(); }, false},
      {"hidden", [](ModalForm& m) { m.Hide(); }, true},
      {"closed by the close box", [](ModalForm& m) { m.Close(); }, false},
      {"Esc pressing its cancel button", [](ModalForm&) { Press(VK_ESCAPE); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnerForm owner;
    ModalForm modal;
    ASSERT_TRUE(Activate(owner));
    BOOL enabledDuring = TRUE;
    modal.During = [&] {
      enabledDuring = IsWindowEnabled(owner.hwnd());
      c.end(modal);
    };
    modal.ShowModal(&owner);
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(modal.Loaded(), c.loadedAfter);
    EXPECT_FALSE(modal.Visible());
    EXPECT_FALSE(modal.Modal());
    // The owner was enabled in time to take the activation back.
    EXPECT_EQ(GetActiveWindow(), owner.hwnd());
  }
}

TEST(ModalForms, NestAndHandOnAQuit) {
  OwnerForm owner;
  ModalForm first, second;
  ASSERT_TRUE(Activate(owner));
  std::vector<BOOL> seen;
  second.During = [&] {
    seen = {IsWindowEnabled(owner.hwnd()), IsWindowEnabled(first.hwnd())};
    second.Unload();
  };
  first.During = [&] {
    second.ShowModal(&first);
    seen.push_back(IsWindowEnabled(owner.hwnd()));
    seen.push_back(IsWindowEnabled(first.hwnd()));
    PostQuitMessage(7);
  };
  first.ShowModal(&owner);
  // Inside the inner loop both were disabled; back in the outer one only the owner.
  EXPECT_EQ(seen, (std::vector<BOOL>{FALSE, FALSE, FALSE, TRUE}));
  // The quit ended the loop it arrived in and waits for the outermost one.
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_TRUE(first.Visible());
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 7u);
}

class MouseForm : public ui::Window {
 public:
  MouseForm() : Window({.caption = "Mouse", .width = 240, .height = 120}),
                lblInfo(*this, {10, 10, 150, 20}, "info"), OkBtn(*this, {10, 50, 80, 26}, "OK") {
    for (ui::Control* c : {static_cast<ui::Control*>(&lblInfo), static_cast<ui::Control*>(&OkBtn)}) {
      const std::string name = c == &lblInfo ? "label" : "button";
      c->MouseDown = [this, name](int b, int s, int x, int y) { Log(name + " down", b, s, x, y); };
      c->MouseUp = [this, name](int b, int s, int x, int y) { Log(name + " up", b, s, x, y); };
    }
    OkBtn.Click = [this] { events.push_back("button click"); };
  }
  ui::Label lblInfo;
  ui::Button OkBtn;
  std::vector<std::string> events;

 private:
  void Log(const std::string& what, int button, int shift, int x, int y) {
    events.push_back(what + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + "," + std::to_string(y));
  }
};

TEST(ControlEvents, ClicksGiveMouseDownAndUpWithButtonShiftAndPoint) {
  MouseForm form;
  ASSERT_TRUE(Activate(form));
  ClickAt(form.lblInfo.hwnd(), 15, 5, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ClickAt(form.OkBtn.hwnd(), 7, 9, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  testsupport::SendKey(VK_SHIFT, false);
  ClickAt(form.OkBtn.hwnd(), 30, 12, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  testsupport::SendKey(VK_SHIFT, true);
  EXPECT_TRUE(PumpUntil([&] { return form.events.size() >= 7; }, 2000));
  Settle();
  // A button's mouse events come before its click.
  EXPECT_EQ(form.events, (std::vector<std::string>{"label down 1 0 15,5", "label up 1 0 15,5",
                                                   "button down 2 0 7,9", "button up 2 0 7,9",
                                                   "button down 1 1 30,12", "button up 1 1 30,12",
                                                   "button click"}));
}

TEST(ControlEvents, MouseMovesCarryTheButtonsHeld) {
  MouseForm form;
  std::vector<std::string> moves;
  form.lblInfo.MouseMove = [&](int b, int s, int x, int y) {
    moves.push_back(std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  form.Load();
  // Posted as the system posts them; they go through the shared pump like any other.
  PostMessageA(form.lblInfo.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  PostMessageA(form.lblInfo.hwnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, MAKELPARAM(40, 6));
  PumpUntil([&] { return moves.size() == 2; }, 1000);
  EXPECT_EQ(moves, (std::vector<std::string>{"0 0 3,4", "3 2 40,6"}));
}

// A page: a form of its own shown inside the frame, as the frame's tool pages are.
class PageForm : public ui::Window {
 public:
  PageForm() : Window({.caption = "Page", .style = WS_POPUP, .width = 200, .height = 60, .keyPreview = true}),
               txtFind(*this, {10, 10, 120, 22}) {}
  ui::TextBox txtFind;
  std::vector<int> keys;

 protected:
  void Form_KeyDown(int& keyCode, int /*shift*/) override { keys.push_back(keyCode); }
};

class FrameForm : public ui::Window {
 public:
  FrameForm() : Window({.caption = "Frame", .width = 300, .height = 160, .keyPreview = true}),
                GoBtn(*this, {10, 120, 80, 26}, "Go") {
    ui::MenuItem& terminate = bar.Add("&Main").Add("&Terminate");
    terminate.SetShortcut('T', 2);
    terminate.Click = [this] { ++terminates; };
    SetMenu(&bar);
  }
  ui::Button GoBtn;
  ui::Menu bar;
  int terminates = 0;
  std::vector<int> keys;

  void ShowPage(PageForm& page) {
    page.Load();
    HWND child = page.hwnd();
    SetWindowLongA(child, GWL_STYLE, (GetWindowLongA(child, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(child, hwnd());
    SetWindowPos(child, nullptr, 0, 0, 300, 100, SWP_NOZORDER);
    page.Show();
  }

 protected:
  void Form_KeyDown(int& keyCode, int /*shift*/) override { keys.push_back(keyCode); }
};

TEST(Pages, KeepTheirKeyPreviewWhileTheFrameKeepsTabAndShortcuts) {
  FrameForm frame;
  PageForm page;
  frame.Load();
  frame.ShowPage(page);
  ASSERT_TRUE(Activate(frame));
  frame.GoBtn.SetFocus();
  Press(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == page.txtFind.hwnd(); }, 1000));
  Press(VK_F1);
  Press('T', 2);
  EXPECT_TRUE(PumpUntil([&] { return frame.terminates == 1; }, 1000));
  // Each preview sees the keys typed in its own form: the frame the Tab on its button,
  // the page what was typed in its box.
  EXPECT_EQ(page.keys, (std::vector<int>{VK_F1, VK_CONTROL, 'T'}));
  EXPECT_EQ(frame.keys, std::vector<int>{VK_TAB});
  Press(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == frame.GoBtn.hwnd(); }, 1000));
  Press(VK_F1);
  EXPECT_TRUE(PumpUntil([&] { return frame.keys.size() == 2; }, 1000));
  EXPECT_EQ(frame.keys, (std::vector<int>{VK_TAB, VK_F1}));
}

// Ends the test program when the thread that made it stops coming back: a hang fails
// here, at once, instead of holding the whole run until its time-out.
class HangWatch {
 public:
  explicit HangWatch(DWORD ms) : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), ms_(ms) {
    thread_ = CreateThread(nullptr, 0, &HangWatch::Run, this, 0, nullptr);
  }
  ~HangWatch() {
    SetEvent(done_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(done_);
  }

 private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* watch = static_cast<HangWatch*>(self);
    if (WaitForSingleObject(watch->done_, watch->ms_) == WAIT_TIMEOUT) {
      fprintf(stderr, "the user-interface thread hangs\n");
      fflush(stderr);
      ExitProcess(3);
    }
    return 0;
  }
  HANDLE done_, thread_;
  DWORD ms_;
};

TEST(Pages, AHiddenPageGivesUpTheKeyboardAndKeysMeantForItDoNotHang) {
  FrameForm frame;
  PageForm page;
  frame.Load();
  frame.ShowPage(page);
  ASSERT_TRUE(Activate(frame));
  page.txtFind.SetFocus();
  ASSERT_EQ(GetFocus(), page.txtFind.hwnd());
  page.Hide();
  EXPECT_NE(GetFocus(), page.txtFind.hwnd()) << "the focus stays on a control nobody sees";
  EXPECT_TRUE(GetFocus() && IsWindowVisible(GetFocus()));
  frame.ShowPage(page);
  EXPECT_TRUE(page.TakeFocus());
  EXPECT_EQ(GetFocus(), page.txtFind.hwnd()) << "a shown page takes the keyboard into its first control";

  // However a page goes out of sight with the focus inside: Alt and a letter with no
  // mnemonic, and a typed letter, pass through the pump and it comes back.
  ShowWindow(page.hwnd(), SW_HIDE);
  ASSERT_EQ(GetFocus(), page.txtFind.hwnd());
  {
    HangWatch watch(15000);
    Press('Q', 4);
    Press('Q');
    Settle();
  }
  Press('T', 2);
  EXPECT_TRUE(PumpUntil([&] { return frame.terminates == 1; }, 1000)) << "shortcuts still work";
}

TEST(DialogKeys, ListViewsKeepTheirOwnKeys) {
  struct ListForm : ui::Window {
    ListForm() : Window({.caption = "List", .width = 240, .height = 160}), AppLst(*this, {10, 10, 200, 100}),
                 OkBtn(*this, {10, 120, 80, 26}, "OK") {
      AppLst.AddColumn("K0", "Name", 150);
      for (const char* name : {"one", "two", "three"}) AppLst.AddItem(name);
      AppLst.KeyDown = [this](int key, int) { keys.push_back(key); };
    }
    ui::ListView AppLst;
    ui::Button OkBtn;
    std::vector<int> keys;
  } form;
  ASSERT_TRUE(Activate(form));
  form.AppLst.SetFocus();
  LVITEMA state = {};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(form.AppLst.hwnd(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  Press(VK_DOWN);
  Press(VK_DELETE);
  Press(VK_APPS);
  EXPECT_TRUE(PumpUntil([&] { return form.keys.size() == 3; }, 1000));
  EXPECT_EQ(form.keys, (std::vector<int>{VK_DOWN, VK_DELETE, VK_APPS}));
  EXPECT_EQ(SendMessageA(form.AppLst.hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
}

}  // namespace
