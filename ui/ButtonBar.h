// A bar of keyed buttons over the common-controls toolbar: captions under masked
// pictures, tool tips, groups of which one button is pressed, a pressed state a
// caller may set on any button, and click and mouse-over events with the button's
// 1-based index and its key.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class ButtonBar : public Control {
 public:
  // A vertical bar stacks its buttons; a horizontal one lines them up.
  ButtonBar(Window& owner, Bounds bounds, bool vertical = false, SIZE button = {48, 42});
  ~ButtonBar() override;

  // Adds a button; group 0 is no group. Answers its index (1-based).
  int Add(const std::string& key, const std::string& caption, const std::string& toolTip,
          int group = 0);
  int Count() const { return static_cast<int>(buttons_.size()); }
  int IndexOf(const std::string& key) const;  // 0 when no button has the key
  std::string Key(int index) const;           // "" out of range
  std::string ToolTip(const std::string& key) const;
  std::string Caption(const std::string& key) const;

  // Pressed state. Pressing a group button releases the others of its group; a plain
  // button keeps whatever state its caller gives it, a click does not change it.
  bool Value(int index) const;
  bool Value(const std::string& key) const { return Value(IndexOf(key)); }
  void SetValue(int index, bool pressed);
  void SetValue(const std::string& key, bool pressed) { SetValue(IndexOf(key), pressed); }
  // Raises ButtonClick as a user's click does (and presses a group button); nothing
  // for a disabled or unknown button.
  void ClickButton(int index);
  void ClickButton(const std::string& key) { ClickButton(IndexOf(key)); }

  // The button's left edge in the bar's client area, in pixels; -1 when not shown.
  int ButtonLeft(const std::string& key) const;
  RECT ButtonRect(int index) const;  // empty when not shown

  // The picture stays the caller's; colour `mask` shows the bar through it.
  void SetPicture(const std::string& key, HBITMAP picture, COLORREF mask);
  HBITMAP Picture(const std::string& key) const;
  void SetButtonEnabled(const std::string& key, bool enabled);
  bool ButtonEnabled(const std::string& key) const;
  void SetButtonVisible(const std::string& key, bool visible);
  bool ButtonVisible(const std::string& key) const;

  // The strip behind the buttons, the area around it, and one button's face.
  void SetBarColor(COLORREF colour);
  void SetBackColor(COLORREF colour);
  void SetButtonColor(int index, COLORREF colour);
  COLORREF BarColor() const { return barColour_; }
  COLORREF BackColor() const { return backColour_; }

  // The room the buttons take (the bar is sized by its caller).
  SIZE ButtonsExtent() const;
  // Each button as wide as its caption needs (at least the bar's button width), rather
  // than all alike: a bar of short and long captions then shows every one whole.
  void SetFitCaptions(bool on);

  std::function<void(int index, const std::string& key)> ButtonClick, MouseOver;
  // Gives a button an arrow beside it; a click on the arrow raises DropDown instead
  // of ButtonClick.
  void SetDropDown(const std::string& key, bool on);
  bool DropDownButton(const std::string& key) const;
  std::function<void(int index, const std::string& key)> DropDown;

 protected:
  void Create() override;
  void Destroyed() override;
  void OnCommandId(WORD id, WORD code) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  struct ButtonInfo {
    std::string key, caption, toolTip;
    int group = 0;
    bool pressed = false, enabled = true, visible = true, dropDown = false;
    HBITMAP picture = nullptr;
    int image = -1;
    bool hasColour = false;
    COLORREF colour = 0;
  };
  static int CommandOf(int index) { return 100 + index; }
  int IndexOfCommand(int command) const;
  void AddToControl(int index);
  void ApplyState(int index);
  void SetToolTipText(int index);
  void Press(int index);
  void Raise(int index);
  void Layout();
  LRESULT CustomDraw(NMTBCUSTOMDRAW& draw);

  bool vertical_;
  bool fitCaptions_ = false;
  BYTE StyleOf(const ButtonInfo& b) const;
  // Gives the control the style of button `index` (1-based) as it stands now.
  void ApplyStyle(int index);
  SIZE buttonSize_;
  std::vector<ButtonInfo> buttons_;
  HIMAGELIST images_ = nullptr;
  COLORREF barColour_, backColour_;
  OwnedBrush backBrush_;
  int hot_ = 0;
};

}  // namespace ui
