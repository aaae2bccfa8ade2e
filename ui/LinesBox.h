// A read-only box for a long text of many short lines (lines end in CR LF), such as
// the strings found in a program. It looks like a read-only multi-line text box with
// both scroll bars and answers WM_SETTEXT and WM_GETTEXT as one does, but it keeps
// the text itself and draws only the lines in view.
//
// Why not an EDIT: Wine's EDIT lays out every line of a new text at once, about
// 35 us a line (a DC and a script analysis each), and appending in pieces costs as
// much as the text already there each time; a 10,000-line result froze the window for
// 400 ms. Here a new text is split into lines in one pass and a list box that holds
// no items (LBS_NODATA) is told only their count.
//
// The user selects whole lines (click, Shift, Ctrl, Ctrl+A) and copies them with
// Ctrl+C or the context menu's Copy; a copy is the lines with CR LF after each.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class LinesBox : public Control {
 public:
  LinesBox(Window& owner, Bounds bounds);

  int LineCount() const { return static_cast<int>(starts_.size()); }
  std::string Line(int index) const;  // without its CR LF; "" out of range
  // The selected lines, each followed by CR LF; "" when none is selected.
  std::string SelectedText() const;
  void SelectAll();
  // Puts the selected lines on the clipboard; nothing when none is selected.
  void CopySelection();

 protected:
  void Create() override;
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
  HBRUSH OnCtlColor(HDC dc) override;

 private:
  struct Span {
    size_t start = 0, length = 0;  // in text_, without the CR LF
  };
  Span LineSpan(int index) const;
  HFONT Font() const;
  void TakeText(const char* text);
  void ShowLines();
  int WidestLine(HDC dc) const;
  void ShowContextMenu(LPARAM at);

  std::vector<size_t> starts_;  // where each line begins in text_
};

}  // namespace ui
