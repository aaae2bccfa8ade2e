#include "ListView.h"
#include "Gdi.h"

#include <algorithm>

#include "Failure.h"

namespace ui {
namespace {

// A handler that throws loses only its own event and is reported, as at a window
// procedure's boundary.
template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args... args) {
  if (handler) Guarded([&] { handler(args...); }, "a list view handler failed");
}

// -1 would ask the form for the image on every paint (I_IMAGECALLBACK).
int ControlImage(int icon) { return icon < 0 ? I_IMAGENONE : icon; }

}  // namespace

// ---- RedrawGuard

// Drawing goes off only once the scope sends the control its first change: a timed
// merge that finds nothing new then costs no redraw at all (under Wine turning the
// drawing off and on, and the repaint after it, cost more than the merge itself).
ListView::RedrawGuard::RedrawGuard(ListView& list) : list_(list) { ++list_.redrawOff_; }

ListView::RedrawGuard::~RedrawGuard() {
  if (--list_.redrawOff_ == 0) list_.cellsWritten_ = 0;
  if (list_.redrawOff_ != 0 || !list_.frozen_) return;
  HWND frozen = list_.frozen_;
  list_.frozen_ = nullptr;
  // A control destroyed (or made again) inside the scope is not ours to wake.
  if (frozen != list_.hwnd_) return;
  if (list_.countStale_) list_.WriteCount();
  SendMessageA(frozen, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(frozen, nullptr, TRUE);
}

// ---- ListView

ListView::ListView(Window& owner, Bounds bounds, DWORD viewStyle)
    // Image lists belong to their form, which may bind one to several lists.
    : Control(owner, WC_LISTVIEWA,
              WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | viewStyle, bounds,
              "") {}

void ListView::Create() {
  Control::Create();
  if (!hwnd_) return;
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | (checkBoxes_ ? LVS_EX_CHECKBOXES : 0));
  for (int c = 0; c < ColumnCount(); ++c) InsertColumn(c);
  RedrawGuard guard(*this);
  ++quiet_;  // restoring the model's selection is no change of it
  if (OwnerData()) {
    WriteCount();
    for (const Row* row : order_)
      if (row->selected || row->id == focusedId_)
        WriteState(*row, (row->selected ? LVIS_SELECTED : 0) | (row->id == focusedId_ ? LVIS_FOCUSED : 0),
                   LVIS_SELECTED | LVIS_FOCUSED);
  } else {
    for (const Row* row : order_) InsertRow(*row);
  }
  --quiet_;
}

void ListView::SetImageList(int which, HIMAGELIST images) {
  if (hwnd_) SendMessageA(hwnd_, LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images));
}

void ListView::WriteCount() {
  countStale_ = false;
  // Rows added at the end leave the view where the user scrolled it.
  SendMessageA(hwnd_, LVM_SETITEMCOUNT, order_.size(), LVSICF_NOSCROLL);
}

ListView::Row* ListView::At(int row) {
  return row >= 0 && row < ItemCount() ? order_[row] : nullptr;
}

const ListView::Row* ListView::At(int row) const {
  return row >= 0 && row < ItemCount() ? order_[row] : nullptr;
}

const ListView::Row* ListView::ById(LPARAM id) const {
  auto it = rows_.find(static_cast<int>(id));
  return it == rows_.end() ? nullptr : &it->second;
}

void ListView::Renumber(int from) {
  for (int i = std::max(from, 0); i < ItemCount(); ++i) order_[i]->position = i;
}

// ---- columns

void ListView::InsertColumn(int index) {
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.pszText = const_cast<char*>(columns_[index].text.c_str());
  col.cx = columns_[index].width;
  Freeze();
  SendMessageA(hwnd_, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&col));
}

int ListView::AddColumn(const std::string& key, const std::string& text, int width) {
  columns_.push_back({key, text, width});
  int index = ColumnCount() - 1;
  if (hwnd_) {
    InsertColumn(index);
    // The control keeps no text for a column it did not have: the model's cells of
    // the new column are shown now.
    RedrawGuard guard(*this);
    for (const Row* row : order_)
      if (index < static_cast<int>(row->cells.size()) && !row->cells[index].empty()) WriteCell(*row, index);
  }
  return index;
}

int ListView::HeaderTextWidth(const std::string& text) const {
  const WindowDC dc(hwnd_);
  HFONT font = hwnd_ ? reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const SelectIn select(dc.get(), font);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  // The header leaves a margin of about three character widths around its text.
  return size.cx + 18;
}

void ListView::SetView(DWORD view) {
  style_ = (style_ & ~LVS_TYPEMASK) | (view & LVS_TYPEMASK);
  if (hwnd_) {
    LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    SetWindowLongA(hwnd_, GWL_STYLE, (style & ~LVS_TYPEMASK) | (view & LVS_TYPEMASK));
  }
}

void ListView::ClearColumns() {
  if (hwnd_) {
    Freeze();
    for (int i = ColumnCount() - 1; i >= 0; --i) SendMessageA(hwnd_, LVM_DELETECOLUMN, i, 0);
  }
  columns_.clear();
}

std::string ListView::ColumnKey(int index) const {
  return index >= 0 && index < ColumnCount() ? columns_[index].key : std::string();
}

std::string ListView::ColumnText(int index) const {
  return index >= 0 && index < ColumnCount() ? columns_[index].text : std::string();
}

// ---- what the control is sent

void ListView::Freeze() {
  if (redrawOff_ == 0 || frozen_ || !hwnd_) return;
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  frozen_ = hwnd_;
}

void ListView::InsertRow(const Row& row) {
  Freeze();
  if (OwnerData()) {
    // Under a guard the count is told once, when the scope ends.
    countStale_ = true;
    if (!frozen_) WriteCount();
    return;
  }
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  item.iItem = row.position;
  item.pszText = const_cast<char*>(row.cells.empty() ? "" : row.cells[0].c_str());
  item.iImage = ControlImage(row.icon);
  item.lParam = row.id;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = (row.selected ? LVIS_SELECTED : 0) | (row.id == focusedId_ ? LVIS_FOCUSED : 0);
  SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (checkBoxes_) WriteCheck(row);
  // A new row's other cells are empty in the control: only text needs sending.
  for (int c = 1; c < static_cast<int>(row.cells.size()) && ShowsColumn(c); ++c)
    if (!row.cells[c].empty()) WriteCell(row, c);
}

void ListView::WriteCell(const Row& row, int column) {
  // A few changed cells under a guard are cheaper left to the control, which redraws
  // only their rows at the next paint (no paint can come before the scope ends unless
  // it lets events run); turning drawing off and on repaints the whole list.
  if (redrawOff_ > 0 && ++cellsWritten_ > kCellsBeforeFreeze) Freeze();
  if (OwnerData()) {
    if (!frozen_) RedrawRow(row);
    return;
  }
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(row.cells[column].c_str());
  SendMessageA(hwnd_, LVM_SETITEMTEXTA, row.position, reinterpret_cast<LPARAM>(&item));
}

void ListView::WriteIcon(const Row& row) {
  Freeze();
  if (OwnerData()) {
    if (!frozen_) RedrawRow(row);
    return;
  }
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row.position;
  item.iImage = ControlImage(row.icon);
  SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void ListView::WriteState(const Row& row, UINT state, UINT mask) {
  Freeze();
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  SendMessageA(hwnd_, LVM_SETITEMSTATE, row.position, reinterpret_cast<LPARAM>(&item));
}

// The box is the row's state image: 1 clear, 2 ticked.
void ListView::WriteCheck(const Row& row) {
  if (OwnerData()) return;
  ++quiet_;
  WriteState(row, INDEXTOSTATEIMAGEMASK(row.checked ? 2 : 1), LVIS_STATEIMAGEMASK);
  --quiet_;
}

// ---- rows

int ListView::AddItem(const std::string& text, int smallIcon, const std::string& key) {
  int id = nextId_++;
  Row& row = rows_[id];
  row.id = id;
  row.cells.push_back(text);
  row.icon = smallIcon;
  row.key = key;
  if (!key.empty()) keys_.emplace(key, id);
  int place = sorted_ ? SortedPlace(row) : ItemCount();
  order_.insert(order_.begin() + place, &row);
  Renumber(place);
  if (hwnd_) InsertRow(row);
  return place;
}

int ListView::SortedPlace(const Row& row) const {
  auto cellOf = [this](const Row& r) {
    return MakeSortCell(sortKind_, sortKey_ < static_cast<int>(r.cells.size()) ? r.cells[sortKey_] : "");
  };
  const SortCell added = cellOf(row);
  // After the rows it ties with, as a stable sort would place it.
  auto place = std::upper_bound(order_.begin(), order_.end(), added, [&](const SortCell& a, const Row* b) {
    int c = CompareSortCells(a, cellOf(*b));
    return ascending_ ? c < 0 : c > 0;
  });
  return static_cast<int>(place - order_.begin());
}

void ListView::RemoveItem(int row) {
  Row* gone = At(row);
  if (!gone) return;
  if (gone->bold || !gone->styles.empty()) --styledRows_;
  if (hwnd_) {
    Freeze();
    ++quiet_;
    SendMessageA(hwnd_, LVM_DELETEITEM, row, 0);
    --quiet_;
  }
  if (!gone->key.empty()) {
    auto range = keys_.equal_range(gone->key);
    for (auto it = range.first; it != range.second; ++it)
      if (it->second == gone->id) {
        keys_.erase(it);
        break;
      }
  }
  if (focusedId_ == gone->id) focusedId_ = 0;
  order_.erase(order_.begin() + row);
  rows_.erase(gone->id);
  Renumber(row);
}

void ListView::Clear() {
  if (hwnd_) {
    Freeze();
    ++quiet_;
    // The control's own clearing walks every row (seconds for 100,000 under Wine);
    // an owner-data control is only told there are none.
    if (OwnerData()) {
      SendMessageA(hwnd_, LVM_SETITEMCOUNT, 0, 0);
      countStale_ = false;
    } else {
      SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    }
    --quiet_;
  }
  order_.clear();
  rows_.clear();
  styledRows_ = 0;
  keys_.clear();
  focusedId_ = 0;
}

std::string ListView::SubItem(int row, int column) const {
  const Row* r = At(row);
  if (!r || column < 0) return "";
  return column < static_cast<int>(r->cells.size()) ? r->cells[column] : std::string();
}

void ListView::SetSubItem(int row, int column, const std::string& text) {
  Row* r = At(row);
  if (!r || column < 0) return;
  if (column >= static_cast<int>(r->cells.size())) {
    if (text.empty()) return;  // a missing cell is already empty
    r->cells.resize(column + 1);
  }
  if (r->cells[column] == text) return;
  r->cells[column] = text;
  if (hwnd_ && ShowsColumn(column)) WriteCell(*r, column);
}

int ListView::SetCells(int row, const std::vector<std::string>& cells) {
  if (!At(row)) return 0;
  int changed = 0;
  for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
    if (SubItem(row, c) == cells[c]) continue;
    SetSubItem(row, c, cells[c]);
    ++changed;
  }
  return changed;
}

int ListView::SmallIcon(int row) const {
  const Row* r = At(row);
  return r ? r->icon : -1;
}

void ListView::SetSmallIcon(int row, int icon) {
  Row* r = At(row);
  if (!r || r->icon == icon) return;
  r->icon = icon;
  if (hwnd_) WriteIcon(*r);
}

std::string ListView::Key(int row) const {
  const Row* r = At(row);
  return r ? r->key : "";
}

void ListView::SetKey(int row, const std::string& key) {
  Row* r = At(row);
  if (!r || r->key == key) return;
  auto range = keys_.equal_range(r->key);
  for (auto it = range.first; it != range.second; ++it)
    if (it->second == r->id) {
      keys_.erase(it);
      break;
    }
  r->key = key;
  if (!key.empty()) keys_.emplace(key, r->id);
}

std::string ListView::Tag(int row) const {
  const Row* r = At(row);
  return r ? r->tag : "";
}

void ListView::SetTag(int row, const std::string& tag) {
  if (Row* r = At(row)) r->tag = tag;
}

int ListView::FindItem(const std::string& text) const {
  for (int r = 0; r < ItemCount(); ++r)
    if (ItemText(r) == text) return r;
  return -1;
}

int ListView::FindKey(const std::string& key) const {
  if (key.empty()) {
    for (int r = 0; r < ItemCount(); ++r)
      if (order_[r]->key.empty()) return r;
    return -1;
  }
  int first = -1;
  auto range = keys_.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    int position = ById(it->second)->position;
    if (first < 0 || position < first) first = position;
  }
  return first;
}

int ListView::RowId(int row) const {
  const Row* r = At(row);
  return r ? r->id : -1;
}

int ListView::RowOfId(int id) const {
  const Row* r = ById(id);
  return r ? r->position : -1;
}

// ---- check boxes

void ListView::SetCheckBoxes(bool on) {
  checkBoxes_ = on;
  if (!hwnd_) return;
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | (on ? LVS_EX_CHECKBOXES : 0));
  if (on)
    for (const Row* r : order_) WriteCheck(*r);
}

bool ListView::Checked(int row) const {
  const Row* r = At(row);
  return r && r->checked;
}

void ListView::SetChecked(int row, bool checked) {
  Row* r = At(row);
  if (!r) return;
  r->checked = checked;
  if (hwnd_ && checkBoxes_) WriteCheck(*r);
}

// ---- selection and focus

bool ListView::Selected(int row) const {
  const Row* r = At(row);
  if (!r) return false;
  if (hwnd_) return (SendMessageA(hwnd_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  return r->selected;
}

void ListView::SetSelected(int row, bool selected) {
  Row* r = At(row);
  if (!r) return;
  r->selected = selected;
  if (hwnd_) WriteState(*r, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

std::vector<int> ListView::SelectedRows() const {
  std::vector<int> rows;
  if (hwnd_) {
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
      rows.push_back(row);
    return rows;
  }
  for (const Row* r : order_)
    if (r->selected) rows.push_back(r->position);
  return rows;
}

int ListView::FocusedRow() const {
  if (hwnd_) return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return RowOfId(focusedId_);
}

void ListView::SetFocusedRow(int row) {
  Row* r = At(row);
  if (!r) {
    if (row != -1) return;
    if (hwnd_ && FocusedRow() >= 0) WriteState(*order_[FocusedRow()], 0, LVIS_FOCUSED);
    focusedId_ = 0;
    return;
  }
  focusedId_ = r->id;
  if (hwnd_) WriteState(*r, LVIS_FOCUSED, LVIS_FOCUSED);
}

// The model keeps what the control holds, so a row's state outlives the window.
void ListView::StateChanged(const NMLISTVIEW& change) {
  if (!(change.uChanged & LVIF_STATE)) return;
  if (change.iItem < 0 && OwnerData()) {  // every row at once; ask only for the selected
    for (Row* r : order_) r->selected = false;
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
      if (Row* r = At(row)) r->selected = true;
    focusedId_ = std::max(RowId(FocusedRow()), 0);
    return;
  }
  if (change.iItem < 0) {  // every row at once
    for (Row* r : order_)
      r->selected = (SendMessageA(hwnd_, LVM_GETITEMSTATE, r->position, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    focusedId_ = RowId(FocusedRow());
    if (focusedId_ < 0) focusedId_ = 0;
    return;
  }
  Row* changed = nullptr;
  if (OwnerData()) {
    changed = At(change.iItem);
  } else {
    auto it = rows_.find(static_cast<int>(change.lParam));
    if (it != rows_.end()) changed = &it->second;
  }
  if (!changed) return;
  Row& row = *changed;
  if (change.uNewState & LVIS_FOCUSED)
    focusedId_ = row.id;
  else if ((change.uOldState & LVIS_FOCUSED) && focusedId_ == row.id)
    focusedId_ = 0;
  row.selected = (change.uNewState & LVIS_SELECTED) != 0;
  // State image 0 is a row the control has not drawn a box for yet: no mark of ours.
  const UINT image = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
  if (checkBoxes_ && image != 0 && ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK)) {
    row.checked = image == 2;
    if (!quiet_) Raise(ItemCheck, row.position);
  }
  if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) && !quiet_) Raise(SelectionChanged, row.position);
}

// ---- sorting

void ListView::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted) Sort();
}

void ListView::SortBy(int column, SortKind kind, bool ascending) {
  sortKey_ = column;
  sortKind_ = kind;
  ascending_ = ascending;
  Sort();
}

void ListView::Sort() {
  std::vector<std::pair<SortCell, Row*>> cells;
  cells.reserve(order_.size());
  for (Row* r : order_)
    cells.emplace_back(MakeSortCell(sortKind_, sortKey_ >= 0 && sortKey_ < static_cast<int>(r->cells.size())
                                                  ? r->cells[sortKey_]
                                                  : std::string()),
                       r);
  std::stable_sort(cells.begin(), cells.end(), [this](const auto& a, const auto& b) {
    int c = CompareSortCells(a.first, b.first);
    return ascending_ ? c < 0 : c > 0;
  });
  for (size_t i = 0; i < cells.size(); ++i) order_[i] = cells[i].second;
  Renumber(0);
  if (!hwnd_) return;
  // The model has decided the order; the control only follows it, by each row's
  // new position. (The control's other sort message orders wrongly under Wine.)
  RedrawGuard guard(*this);
  Freeze();
  if (OwnerData()) return;  // it draws from the model's order
  SendMessageA(hwnd_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&ByPosition));
}

int CALLBACK ListView::ByPosition(LPARAM a, LPARAM b, LPARAM list) {
  const auto* self = reinterpret_cast<const ListView*>(list);
  const Row* x = self->ById(a);
  const Row* y = self->ById(b);
  if (!x || !y) return 0;
  return x->position - y->position;
}

// ---- events

void ListView::Clicked(UINT code, const NMITEMACTIVATE& click) {
  const int row = click.iItem >= 0 && click.iItem < ItemCount() ? click.iItem : -1;
  if (code == NM_CLICK) {
    if (row >= 0) Raise(ItemClick, row);
  } else if (code == NM_DBLCLK) {
    Raise(DblClick, row);
  } else {
    POINT screen = click.ptAction;
    ClientToScreen(hwnd_, &screen);
    Raise(RightClick, row, screen);
  }
}

namespace {

bool MovesFocus(WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
      return true;
    default:
      return false;
  }
}

}  // namespace

// A row reached by the keyboard is the same choice as a row clicked: forms that show
// the clicked row's facts follow the arrow keys too. The control moves the focus
// while it handles the key, so the event is raised once it has.
LRESULT ListView::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_KEYDOWN || !MovesFocus(wp)) return Control::ControlProc(msg, wp, lp);
  HWND self = hwnd_;
  const int before = RowId(FocusedRow());
  const LRESULT result = Control::ControlProc(msg, wp, lp);
  if (hwnd_ != self || !IsWindow(self)) return result;
  const int row = FocusedRow();
  if (row >= 0 && RowId(row) != before && Selected(row)) Raise(ItemClick, row);
  return result;
}

// An owner-data control's range of rows changed selection at once (a shift-click).
void ListView::RangeStateChanged(const NMLVODSTATECHANGE& change) {
  if (!((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) return;
  for (int i = std::max(change.iFrom, 0); i <= change.iTo && i < ItemCount(); ++i)
    order_[i]->selected = (change.uNewState & LVIS_SELECTED) != 0;
  if (!quiet_) Raise(SelectionChanged, change.iFrom);
}

void ListView::GetDispInfo(NMLVDISPINFOA& info, bool wide) const {
  LVITEMA& item = info.item;
  const Row* row = At(item.iItem);
  if (!row) return;
  if (item.mask & LVIF_TEXT && item.pszText && item.cchTextMax > 0) {
    const std::string text = SubItem(item.iItem, item.iSubItem);
    if (wide)
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, reinterpret_cast<LPWSTR>(item.pszText), item.cchTextMax);
    else
      item.pszText[text.copy(item.pszText, static_cast<size_t>(item.cchTextMax) - 1)] = 0;
    if (wide) reinterpret_cast<LPWSTR>(item.pszText)[item.cchTextMax - 1] = 0;
  }
  if (item.mask & LVIF_IMAGE) item.iImage = item.iSubItem == 0 ? ControlImage(row->icon) : I_IMAGENONE;
  if (item.mask & LVIF_PARAM) item.lParam = row->id;
}

bool ListView::OnNotify(NMHDR* header, LRESULT& result) {
  result = 0;
  switch (header->code) {
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
      GetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(header), header->code == LVN_GETDISPINFOW);
      return true;
    case LVN_ODSTATECHANGED:
      RangeStateChanged(*reinterpret_cast<NMLVODSTATECHANGE*>(header));
      return true;
    case LVN_ITEMCHANGED:
      StateChanged(*reinterpret_cast<NMLISTVIEW*>(header));
      return true;
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
      Clicked(header->code, *reinterpret_cast<NMITEMACTIVATE*>(header));
      return true;
    case LVN_COLUMNCLICK:
      Raise(ColumnClick, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      return true;
    case NM_CUSTOMDRAW:
      result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
      return true;
    // Its keys reach KeyDown through the subclass every control has.
    default:
      return false;
  }
}

// ---- cell styles

ListView::~ListView() = default;

void ListView::SetCellStyle(int row, int column, COLORREF foreColour, bool bold) {
  Row* r = At(row);
  if (!r || column < 0) return;
  const bool wasStyled = r->bold || !r->styles.empty();
  if (column >= static_cast<int>(r->styles.size())) r->styles.resize(column + 1);
  r->styles[column] = {foreColour, bold};
  if (!wasStyled) ++styledRows_;
  RedrawRow(*r);
}

COLORREF ListView::CellForeColor(int row, int column) const {
  const Row* r = At(row);
  if (!r || column < 0 || column >= static_cast<int>(r->styles.size())) return CLR_DEFAULT;
  return r->styles[column].fore;
}

bool ListView::CellBold(int row, int column) const {
  const Row* r = At(row);
  if (!r) return false;
  return r->bold || (column >= 0 && column < static_cast<int>(r->styles.size()) && r->styles[column].bold);
}

void ListView::SetRowBold(int row, bool bold) {
  Row* r = At(row);
  if (!r || r->bold == bold) return;
  const bool wasStyled = r->bold || !r->styles.empty();
  r->bold = bold;
  const bool styled = r->bold || !r->styles.empty();
  styledRows_ += static_cast<int>(styled) - static_cast<int>(wasStyled);
  RedrawRow(*r);
}

bool ListView::RowBold(int row) const {
  const Row* r = At(row);
  return r && r->bold;
}

void ListView::RedrawRow(const Row& row) {
  if (!hwnd_) return;
  Freeze();
  SendMessageA(hwnd_, LVM_REDRAWITEMS, row.position, row.position);
}

std::vector<int> ListView::ShownRows() const {
  std::vector<int> shown;
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return shown;
  const DWORD view = View();
  if (view == LVS_REPORT || view == LVS_LIST) {
    const int top = static_cast<int>(SendMessageA(hwnd_, LVM_GETTOPINDEX, 0, 0));
    // The count is of whole rows; the one cut by the bottom edge shows too.
    const int count = static_cast<int>(SendMessageA(hwnd_, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    for (int row = std::max(top, 0); row < std::min(top + count, ItemCount()); ++row) shown.push_back(row);
    return shown;
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  for (int row = 0; row < ItemCount(); ++row) {
    RECT item = {LVIR_BOUNDS, 0, 0, 0}, meet;
    if (SendMessageA(hwnd_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) &&
        IntersectRect(&meet, &item, &client))
      shown.push_back(row);
  }
  return shown;
}

std::vector<LONG> ListView::ShownPlacement() const {
  RECT client = {};
  GetClientRect(hwnd_, &client);
  POINT origin = {};
  SendMessageA(hwnd_, LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(&origin));
  return {static_cast<LONG>(View()), static_cast<LONG>(SendMessageA(hwnd_, LVM_GETTOPINDEX, 0, 0)),
          client.right, client.bottom, origin.x, origin.y, ItemCount()};
}

LRESULT ListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return (styledRows_ > 0 ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT) |
             (ShownRowsChanged ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT);
    case CDDS_POSTPAINT: {
      std::vector<LONG> placement = ShownPlacement();
      if (placement != shownAtPaint_) {
        shownAtPaint_ = std::move(placement);
        Raise(ShownRowsChanged);
      }
      return CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const Row* row = OwnerData() ? At(static_cast<int>(draw.nmcd.dwItemSpec)) : ById(draw.nmcd.lItemlParam);
      CellStyle style;
      if (row && draw.iSubItem >= 0 && draw.iSubItem < static_cast<int>(row->styles.size()))
        style = row->styles[draw.iSubItem];
      // Every cell sets both, or one cell's style would carry into the next.
      draw.clrText = style.fore == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : style.fore;
      HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
      if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      if (row && (row->bold || style.bold)) {
        if (!boldFont_) {
          LOGFONTA face = {};
          GetObjectA(font, sizeof face, &face);
          face.lfWeight = FW_BOLD;
          boldFont_.Reset(CreateFontIndirectA(&face));
        }
        if (boldFont_) font = boldFont_.get();
      }
      SelectObject(draw.nmcd.hdc, font);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
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
