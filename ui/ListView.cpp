#include "ListView.h"

namespace ui {

ListView::ListView(Window& owner, Bounds bounds, DWORD viewStyle)
    // Image lists belong to their form, which may bind one to several lists.
    : Control(owner, WC_LISTVIEWA,
              WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | viewStyle, bounds,
              "") {}

void ListView::Create() {
  Control::Create();
  if (!hwnd_) return;
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT);
  for (size_t i = 0; i < columns_.size(); ++i) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<char*>(columns_[i].text.c_str());
    col.cx = columns_[i].width;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  }
  for (int r = 0; r < ItemCount(); ++r) ShowRow(r, true);
}

int ListView::AddColumn(const std::string& key, const std::string& text, int width) {
  columns_.push_back({key, text, width});
  int index = ColumnCount() - 1;
  if (hwnd_) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<char*>(text.c_str());
    col.cx = width;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&col));
    for (int r = 0; r < ItemCount(); ++r) ShowRow(r, false);
  }
  return index;
}

void ListView::SetView(DWORD view) {
  style_ = (style_ & ~LVS_TYPEMASK) | (view & LVS_TYPEMASK);
  if (hwnd_) {
    LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    SetWindowLongA(hwnd_, GWL_STYLE, (style & ~LVS_TYPEMASK) | (view & LVS_TYPEMASK));
  }
}

void ListView::ClearColumns() {
  if (hwnd_)
    for (int i = ColumnCount() - 1; i >= 0; --i) SendMessageA(hwnd_, LVM_DELETECOLUMN, i, 0);
  columns_.clear();
}

std::string ListView::ColumnKey(int index) const {
  return index >= 0 && index < ColumnCount() ? columns_[index].key : std::string();
}

std::string ListView::ColumnText(int index) const {
  return index >= 0 && index < ColumnCount() ? columns_[index].text : std::string();
}

void ListView::ShowRow(int row, bool inserted) {
  const Row& model = rows_[row];
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | (inserted ? LVIF_PARAM : 0);
  item.iItem = row;
  item.pszText = const_cast<char*>(model.cells.empty() ? "" : model.cells[0].c_str());
  item.iImage = model.icon;
  item.lParam = row;
  SendMessageA(hwnd_, inserted ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  for (size_t c = 1; c < model.cells.size(); ++c) {
    LVITEMA sub = {};
    sub.iSubItem = static_cast<int>(c);
    sub.pszText = const_cast<char*>(model.cells[c].c_str());
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
  }
}

int ListView::AddItem(const std::string& text, int smallIcon, const std::string& key) {
  Row row;
  row.cells.push_back(text);
  row.icon = smallIcon;
  row.key = key;
  rows_.push_back(std::move(row));
  int index = ItemCount() - 1;
  if (hwnd_) ShowRow(index, true);
  return index;
}

void ListView::RemoveItem(int row) {
  if (!ValidRow(row)) return;
  rows_.erase(rows_.begin() + row);
  if (hwnd_) SendMessageA(hwnd_, LVM_DELETEITEM, row, 0);
}

void ListView::Clear() {
  rows_.clear();
  if (hwnd_) SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

std::string ListView::SubItem(int row, int column) const {
  if (!ValidRow(row) || column < 0) return "";
  const auto& cells = rows_[row].cells;
  return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
}

void ListView::SetSubItem(int row, int column, const std::string& text) {
  if (!ValidRow(row) || column < 0) return;
  auto& cells = rows_[row].cells;
  if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
  cells[column] = text;
  if (hwnd_) ShowRow(row, false);
}

int ListView::SmallIcon(int row) const { return ValidRow(row) ? rows_[row].icon : -1; }

void ListView::SetSmallIcon(int row, int icon) {
  if (!ValidRow(row)) return;
  rows_[row].icon = icon;
  if (hwnd_) ShowRow(row, false);
}

std::string ListView::Key(int row) const { return ValidRow(row) ? rows_[row].key : ""; }

int ListView::FindItem(const std::string& text) const {
  for (int r = 0; r < ItemCount(); ++r)
    if (ItemText(r) == text) return r;
  return -1;
}

int ListView::FindKey(const std::string& key) const {
  for (int r = 0; r < ItemCount(); ++r)
    if (rows_[r].key == key) return r;
  return -1;
}

// ---- TabControl

TabControl::TabControl(Window& owner, Bounds bounds, std::vector<std::string> captions)
    : Control(owner, WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, bounds, ""),
      captions_(std::move(captions)) {}

void TabControl::Create() {
  Control::Create();
  if (!hwnd_) return;
  for (size_t i = 0; i < captions_.size(); ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(captions_[i].c_str());
    SendMessageA(hwnd_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(hwnd_, TCM_SETCURSEL, tab_, 0);
}

void TabControl::SetTab(int index) {
  if (index < 0 || index >= TabCount()) return;
  tab_ = index;
  if (hwnd_) SendMessageA(hwnd_, TCM_SETCURSEL, index, 0);
}

std::string TabControl::TabCaption(int index) const {
  return index >= 0 && index < TabCount() ? captions_[index] : std::string();
}

bool TabControl::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->code != TCN_SELCHANGE) return false;
  int sel = static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
  if (sel >= 0) tab_ = sel;
  result = 0;
  return true;
}

}  // namespace ui
