// A list view that keeps its own row model: rows can be added and read before the
// form has a window, and the control shows the model once it is created. Each row
// carries a stable id in the control's lParam, so the model and the screen agree
// whatever order the rows are sorted in. "row" below is a row's position on screen,
// counted from 0.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Controls.h"
#include "ListSort.h"

namespace ui {

class ListView : public Control {
 public:
  // With LVS_OWNERDATA in the style the rows live in the model alone and the control
  // asks for each cell it draws: filling, clearing and destroying cost nothing per
  // row, for lists of many thousand rows. Such a list has no check boxes.
  ListView(Window& owner, Bounds bounds, DWORD viewStyle = LVS_REPORT);

  // Turns the list's drawing off for a scope and back on (with one repaint) when the
  // outermost guard ends, so a refill or a merge shows once instead of row by row. A
  // scope that sends the control no change leaves its drawing alone, and one that
  // only rewrites a few cells leaves the control to redraw just their rows.
  class RedrawGuard {
   public:
    explicit RedrawGuard(ListView& list);
    ~RedrawGuard();
    RedrawGuard(const RedrawGuard&) = delete;
    RedrawGuard& operator=(const RedrawGuard&) = delete;

   private:
    ListView& list_;
  };

  // The program's lists count rows and columns from 1; the control counts from 0.
  static int ToOneBased(int index) { return index + 1; }
  static int FromOneBased(int number) { return number - 1; }

  // Columns carry a key of their own ("K0", "K3" ...) besides their header text.
  int AddColumn(const std::string& key, const std::string& text, int width);
  void ClearColumns();
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // The width a column needs to show a header text whole, in the list's font.
  int HeaderTextWidth(const std::string& text) const;
  int ColumnWidth(int index) const { return index >= 0 && index < ColumnCount() ? columns_[index].width : 0; }
  // LVS_ICON, LVS_SMALLICON, LVS_LIST or LVS_REPORT.
  void SetView(DWORD view);
  DWORD View() const { return style_ & LVS_TYPEMASK; }
  std::string ColumnKey(int index) const;
  std::string ColumnText(int index) const;

  // Rows: the text of column 0, an icon index (-1 for none) and an optional key.
  int AddItem(const std::string& text, int smallIcon = -1, const std::string& key = "");
  void RemoveItem(int row);
  void Clear();
  int ItemCount() const { return static_cast<int>(order_.size()); }
  std::string ItemText(int row) const { return SubItem(row, 0); }
  std::string SubItem(int row, int column) const;
  // A cell is sent to the control only when its text changed.
  void SetSubItem(int row, int column, const std::string& text);
  // Writes cells from column 0 on (columns past the vector keep their text); the
  // number of cells that changed.
  int SetCells(int row, const std::vector<std::string>& cells);
  int SmallIcon(int row) const;
  void SetSmallIcon(int row, int icon);
  // Binds an image list (null unbinds) for LVSIL_NORMAL or LVSIL_SMALL. The list is
  // shared (LVS_SHAREIMAGELISTS): its owner keeps it alive while bound. Before the
  // control exists this does nothing: the caller binds again once it is shown.
  void SetImageList(int which, HIMAGELIST images);
  std::string Key(int row) const;
  void SetKey(int row, const std::string& key);
  std::string Tag(int row) const;
  void SetTag(int row, const std::string& tag);
  int FindItem(const std::string& text) const;  // first row whose text matches exactly; -1

  // Per-cell text colour and boldness, and a whole row in bold; CLR_DEFAULT keeps the
  // list's own colour. They stay with the row through sorts and merges.
  void SetCellStyle(int row, int column, COLORREF foreColour, bool bold);
  COLORREF CellForeColor(int row, int column) const;
  bool CellBold(int row, int column) const;
  void SetRowBold(int row, bool bold);
  bool RowBold(int row) const;
  int FindKey(const std::string& key) const;    // first row with the key; -1

  // A row's id stays with it until it is removed and is never given again.
  int RowId(int row) const;  // -1 when there is no such row
  int RowOfId(int id) const;  // -1 once the row is gone

  // Selection and focus are the control's while it exists (the user changes them),
  // the model's before; both are kept through sorts and merges.
  bool Selected(int row) const;
  void SetSelected(int row, bool selected);
  std::vector<int> SelectedRows() const;  // in screen order
  int FocusedRow() const;                 // -1 when no row has the focus
  void SetFocusedRow(int row);            // -1 takes the focus from every row

  // Check-box rows: a box before each row's text that the user ticks with a click or
  // Space. The mark is kept in the row model like the selection.
  void SetCheckBoxes(bool on);
  bool CheckBoxes() const { return checkBoxes_; }
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);

  // Sorting by one column. Rows added while the list is sorted go to their place by
  // the cells they have when they are added; rows changed later stay where they are.
  void SortBy(int column, SortKind kind, bool ascending);
  void Sort();  // again, by the current column, kind and order
  int SortKey() const { return sortKey_; }
  void SetSortKey(int column) { sortKey_ = column; }
  SortKind SortType() const { return sortKind_; }
  bool SortAscending() const { return ascending_; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);  // sorts at once when turned on

  // Events. Rows are positions at the time of the event; -1 when on no row. Left
  // clicks raise ItemClick, and so does a key that moves the focus to another row
  // (arrows, Home, End, Page Up, Page Down), as the user reaches a row either way.
  // Right clicks raise RightClick (at the cursor, in screen pixels) after the
  // control has selected the row under it.
  std::function<void(int row)> ItemClick, DblClick, SelectionChanged;
  std::function<void(int row, POINT screen)> RightClick;
  std::function<void(int column)> ColumnClick;
  // After the user (not code) ticked or cleared a row's box.
  std::function<void(int row)> ItemCheck;

  // The rows on screen now, by position (a row partly shown counts); none while the
  // control is hidden or not created.
  std::vector<int> ShownRows() const;
  // Raised when the control has painted with other rows on screen than at its
  // previous paint (a scroll, a resize, another view). It is raised from inside the
  // paint: a handler posts its work rather than doing it there.
  std::function<void()> ShownRowsChanged;

 protected:
  void Create() override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  struct Column {
    std::string key, text;
    int width;
  };
  struct CellStyle {
    COLORREF fore = CLR_DEFAULT;
    bool bold = false;
  };
  struct Row {
    int id = 0;
    std::vector<CellStyle> styles;  // by column; missing ones are plain
    bool bold = false;
    int position = 0;
    std::vector<std::string> cells;
    int icon = -1;
    std::string key, tag;
    bool selected = false;
    bool checked = false;
  };
  Row* At(int row);
  const Row* At(int row) const;
  const Row* ById(LPARAM id) const;
  void Renumber(int from);
  int SortedPlace(const Row& row) const;
  bool ShowsColumn(int column) const { return column == 0 || column < ColumnCount(); }
  void InsertColumn(int index);
  void InsertRow(const Row& row);
  void WriteCell(const Row& row, int column);
  void WriteIcon(const Row& row);
  void WriteState(const Row& row, UINT state, UINT mask);
  void WriteCheck(const Row& row);
  void StateChanged(const NMLISTVIEW& change);
  void Clicked(UINT code, const NMITEMACTIVATE& click);
  static int CALLBACK ByPosition(LPARAM a, LPARAM b, LPARAM list);
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
  void RedrawRow(const Row& row);
  bool OwnerData() const { return (style_ & LVS_OWNERDATA) != 0; }
  void WriteCount();
  void GetDispInfo(NMLVDISPINFOA& info, bool wide) const;
  void RangeStateChanged(const NMLVODSTATECHANGE& change);

  std::vector<Column> columns_;
  std::unordered_map<int, Row> rows_;                    // by id
  std::vector<Row*> order_;                               // on screen, top to bottom
  std::unordered_multimap<std::string, int> keys_;        // key to id
  int nextId_ = 1;
  int focusedId_ = 0;  // 0: no row
  int sortKey_ = 0;
  SortKind sortKind_ = SortKind::kText;
  bool ascending_ = true;
  bool sorted_ = false;
  bool checkBoxes_ = false;
  int redrawOff_ = 0;       // guards alive
  int cellsWritten_ = 0;    // cells sent under the guards alive
  static const int kCellsBeforeFreeze = 32;
  HWND frozen_ = nullptr;   // the control a guard's scope turned off
  bool countStale_ = false; // an owner-data control not yet told the row count
  void Freeze();            // drawing off before a guarded scope's first change
  int quiet_ = 0;           // our own removals and refills raise no selection events
  int styledRows_ = 0;      // rows with a style: only then is drawing asked per cell
  std::vector<LONG> shownAtPaint_;  // what placed the rows on screen at the last paint
  std::vector<LONG> ShownPlacement() const;
  OwnedFont boldFont_;

 public:
  ~ListView() override;
};

// A tab strip: the selected tab is kept while the form has no window.
class TabControl : public Control {
 public:
  TabControl(Window& owner, Bounds bounds, std::vector<std::string> captions);
  int Tab() const { return tab_; }
  void SetTab(int index);  // out-of-range indexes are ignored
  int TabCount() const { return static_cast<int>(captions_.size()); }
  std::string TabCaption(int index) const;

 protected:
  void Create() override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;

 private:
  std::vector<std::string> captions_;
  int tab_ = 0;
};

}  // namespace ui
