// A multi-line rich edit box of the first rich edit version, whose character
// positions count a line end as its two characters CR LF, exactly as the text read
// back with Text() has them: a position found in Text() selects that same text.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Controls.h"

namespace ui {

class RichTextBox : public Control {
 public:
  RichTextBox(Window& owner, Bounds bounds, std::string text = "",
              DWORD extraStyle = WS_VSCROLL | ES_AUTOVSCROLL);

  std::function<void()> Change;

  int TextLength() const;
  // Sets the whole text. A long text already in the box is dropped with the box's
  // window, which is made again: Wine's rich edit takes minutes to delete half a
  // megabyte of text and a few milliseconds to destroy it.
  void ReplaceAll(const std::string& text);
  bool ReadOnly() const { return (style_ & ES_READONLY) != 0; }
  void SetReadOnly(bool on);

  // The selection, as VB's SelStart, SelLength and SelText. Setting SelStart drops the
  // selection; setting SelLength extends it from SelStart; SelText replaces it.
  int SelStart() const;
  int SelLength() const;
  std::string SelText() const;
  void SetSelStart(int start);
  void SetSelLength(int length);
  void SetSelText(const std::string& text);
  // Selects a range and scrolls it into view.
  void Select(int start, int length);

  // The position of `text` in Text(), or -1. Down: the first one starting at `start` or
  // after; up: the nearest one starting before `start`. Without matchCase both are
  // compared in upper case.
  int Find(const std::string& text, int start, bool matchCase, bool down) const;

  // Where lines wrap, in twips from the left edge; 0 wraps at the window's edge.
  void SetRightMargin(int twips);
  int RightMargin() const { return rightMargin_; }

 protected:
  void Create() override;
  void OnCommand(WORD code) override;

 private:
  void ApplyRightMargin();
  int selStart_ = 0, selLength_ = 0;  // kept while there is no window
  int rightMargin_ = 0;
};

}  // namespace ui
