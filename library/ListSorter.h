// Sorts a report list view by a clicked column, as text or as numbers; a second
// click on the same column reverses the order.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CListSorter {
 public:
  enum Kind { kText, kNumber };

  CListSorter(HWND list, std::vector<Kind> kinds) : list_(list), kinds_(std::move(kinds)) {}

  // What a click on a column header does.
  void ColumnClicked(int column);
  int SortColumn() const { return column_; }  // -1 before the first click
  bool Ascending() const { return ascending_; }

 private:
  void Sort();

  HWND list_;
  std::vector<Kind> kinds_;
  int column_ = -1;
  bool ascending_ = true;
};

// The text of one cell of a report list view.
std::string CellText(HWND list, int item, int column);
