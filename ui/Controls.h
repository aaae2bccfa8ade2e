// Thin wrappers over the standard controls. A control is a member of its form,
// is created when the form loads and raises its events through std::function members.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

#include "Gdi.h"

namespace ui {

class Window;

struct Bounds {
  int x = 0, y = 0, width = 0, height = 0;  // pixels in the parent's client area
};

class Control {
 public:
  Control(Window& owner, const char* className, DWORD style, Bounds bounds, std::string text,
          DWORD exStyle = 0);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  int id() const { return id_; }
  Window& owner() const { return owner_; }
  std::string Text() const;
  void SetText(const std::string& text);
  void Move(Bounds bounds);
  Bounds GetBounds() const { return bounds_; }
  void SetVisible(bool visible);
  bool Visible() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetFont(const std::string& face, int points, bool bold = false);
  void SetFocus();
  // Places the control on a container (a tab page, a frame, a picture box) instead of
  // the form itself; its bounds are then in the container's client area.
  void SetContainer(Control& container);
  Control* container() const { return container_; }
  // Creates the window of a control added after its form loaded (a control array
  // grown at run time); nothing while the form has no window.
  void CreateNow() { Create(); }

  // Mouse and key events of every control. Button: 1 left, 2 right, 4 middle; shift:
  // 1 Shift, 2 Ctrl, 4 Alt; x and y in pixels of the control's client area.
  std::function<void(int button, int shift, int x, int y)> MouseDown, MouseMove, MouseUp;
  std::function<void(int keyCode, int shift)> KeyDown;
  // The control lost the keyboard focus to `gaining` (null: to another program).
  std::function<void(HWND gaining)> LostFocus;

 protected:
  friend class Window;
  virtual void Create();
  virtual void Destroyed() { hwnd_ = nullptr; }
  virtual void OnCommand(WORD /*code*/) {}
  // The command with the id the control sent (a toolbar sends its button's id).
  virtual void OnCommandId(WORD /*id*/, WORD code) { OnCommand(code); }
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  virtual HBRUSH OnCtlColor(HDC /*dc*/) { return nullptr; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
  // A control of our own window class raises its mouse and key events itself; the
  // standard ones get them from a subclass.
  virtual bool RaisesOwnEvents() const { return false; }
  virtual void TextChanged() {}
  // Every message of the control's own window passes here: the default raises the
  // mouse and key events, then lets the control's class handle the message.
  virtual LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT BaseProc(UINT msg, WPARAM wp, LPARAM lp);

  Window& owner_;
  std::string className_;
  DWORD style_, exStyle_;
  Bounds bounds_;
  std::string text_;  // kept while the control is not created
  HWND hwnd_ = nullptr;
  int id_;
  HFONT font_ = nullptr;
  Control* container_ = nullptr;

 private:
  void Subclass();
  void RaiseEvents(UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  WNDPROC baseProc_ = nullptr;
};

// A static text. Change runs after every caption change, including one made inside Change.
class Label : public Control {
 public:
  Label(Window& owner, Bounds bounds, std::string caption = "", DWORD align = SS_LEFT);
  std::function<void()> Change;
  std::function<void()> Click, DblClick;
  // The text colour (the system's window text until one is given).
  void SetForeColor(COLORREF colour);
  COLORREF ForeColor() const { return hasForeColour_ ? foreColour_ : GetSysColor(COLOR_WINDOWTEXT); }
  // The width and height the caption needs in the label's font, in pixels.
  SIZE TextExtent() const;
  // An "&" of the caption underlines the next letter, and Alt with that letter moves the
  // focus to the control that follows the label; by default "&" is shown as it stands.
  void SetUseMnemonic(bool use);

 protected:
  HBRUSH OnCtlColor(HDC dc) override;
  void OnCommand(WORD code) override;
  void TextChanged() override;
  bool hasForeColour_ = false;
  COLORREF foreColour_ = 0;
};

class Button : public Control {
 public:
  Button(Window& owner, Bounds bounds, std::string caption);
  std::function<void()> Click;
  // A face colour of its own: the button is then drawn by us.
  void SetBackColor(COLORREF colour);
  void PerformClick() { if (Click) Click(); }
  // Enter presses the form's default button and Esc its cancel button; a form has at
  // most one of each.
  void SetDefault(bool on);
  bool Default() const;
  void SetCancel(bool on);
  bool Cancel() const;

 protected:
  void OnCommand(WORD code) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void ShowDefault(bool on);
  bool hasBackColour_ = false;
  COLORREF backColour_ = 0;
};

class CheckBox : public Control {
 public:
  CheckBox(Window& owner, Bounds bounds, std::string caption);
  bool Value() const;
  void SetValue(bool checked);
  // A colour of its own behind the box and caption (option buttons drawn as tabs).
  void SetBackColor(COLORREF colour);
  COLORREF BackColor() const;
  std::function<void()> Click;

 protected:
  CheckBox(Window& owner, Bounds bounds, std::string caption, DWORD buttonStyle);
  void Create() override;
  void OnCommand(WORD code) override;
  HBRUSH OnCtlColor(HDC dc) override;
  bool value_ = false;

 private:
  OwnedBrush backBrush_;
  COLORREF backColour_ = 0;
};

// One choice of a group: the user's click clears the others of the group; code that
// selects one clears the others itself.
class OptionButton : public CheckBox {
 public:
  OptionButton(Window& owner, Bounds bounds, std::string caption, bool firstOfGroup = false);
};

// A multi-line box takes Enter as a new line unless the form has a default button
// (Ctrl+Enter then); Tab and Esc keep their meaning for the form.
class TextBox : public Control {
 public:
  TextBox(Window& owner, Bounds bounds, std::string text = "", DWORD extraStyle = 0);
  std::function<void()> Change;
  // Digits only: the edit refuses every other key.
  void SetNumberStyle(bool on);

 protected:
  void OnCommand(WORD code) override;
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// The button and shift values of VB's mouse events from a mouse message's wParam.
int MouseButtons(WPARAM wp);
// The button of a button message (down, up or double click): 1 left, 2 right,
// 4 middle; 0 for any other message.
int MessageButton(UINT msg);
int ShiftState(WPARAM wp);

}  // namespace ui
