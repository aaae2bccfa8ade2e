// A list view that keeps its own row model: rows can be added and read before the
// form has a window, and the control shows the model once it is created. Rows stay
// in the order they were added.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class ListView : public Control {
 public:
  ListView(Window& owner, Bounds bounds, DWORD viewStyle = LVS_REPORT);

  // Columns carry a key of their own ("K0", "K3" ...) besides their header text.
  int AddColumn(const std::string& key, const std::string& text, int width);
  void ClearColumns();
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // LVS_ICON, LVS_SMALLICON, LVS_LIST or LVS_REPORT.
  void SetView(DWORD view);
  DWORD View() const { return style_ & LVS_TYPEMASK; }
  std::string ColumnKey(int index) const;
  std::string ColumnText(int index) const;
  // The column the list sorts by (0 the first); the form's sorting reads it.
  int SortKey() const { return sortKey_; }
  void SetSortKey(int column) { sortKey_ = column; }

  // Rows: the text of column 0, an icon index (-1 for none) and an optional key.
  int AddItem(const std::string& text, int smallIcon = -1, const std::string& key = "");
  void RemoveItem(int row);
  void Clear();
  int ItemCount() const { return static_cast<int>(rows_.size()); }
  std::string ItemText(int row) const { return SubItem(row, 0); }
  std::string SubItem(int row, int column) const;
  void SetSubItem(int row, int column, const std::string& text);
  int SmallIcon(int row) const;
  void SetSmallIcon(int row, int icon);
  std::string Key(int row) const;
  int FindItem(const std::string& text) const;  // first row whose text matches exactly; -1
  int FindKey(const std::string& key) const;

 protected:
  void Create() override;

 private:
  struct Column {
    std::string key, text;
    int width;
  };
  struct Row {
    std::vector<std::string> cells;
    int icon = -1;
    std::string key;
  };
  bool ValidRow(int row) const { return row >= 0 && row < ItemCount(); }
  void ShowRow(int row, bool inserted);
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int sortKey_ = 0;
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
