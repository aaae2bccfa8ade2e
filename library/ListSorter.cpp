#include "ListSorter.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "ListSort.h"

namespace {

// What one row is compared by while the list sorts, and the data it had before.
struct SortNode {
  ui::SortCell cell;
  LPARAM previous = 0;
};

// Text columns, and numbers by their leading whole number (12.50 counts as 12).
ui::SortKind RuleOf(CListSorter::Kind kind) {
  return kind == CListSorter::kText ? ui::SortKind::kText : ui::SortKind::kInteger;
}

int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM ascending) {
  const auto* x = reinterpret_cast<const SortNode*>(ascending ? a : b);
  const auto* y = reinterpret_cast<const SortNode*>(ascending ? b : a);
  return ui::CompareSortCells(x->cell, y->cell);
}

LPARAM ItemData(HWND list, int item) {
  LVITEMA lvi = {};
  lvi.mask = LVIF_PARAM;
  lvi.iItem = item;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
  return lvi.lParam;
}

void SetItemData(HWND list, int item, LPARAM data) {
  LVITEMA lvi = {};
  lvi.mask = LVIF_PARAM;
  lvi.iItem = item;
  lvi.lParam = data;
  SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
}

}  // namespace

std::string CellText(HWND list, int item, int column) {
  char buffer[1024] = "";
  LVITEMA lvi = {};
  lvi.iSubItem = column;
  lvi.pszText = buffer;
  lvi.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi));
  return buffer;
}

void CListSorter::ColumnClicked(int column) {
  if (column < 0 || column >= static_cast<int>(kinds_.size())) return;
  if (column == column_) {
    ascending_ = !ascending_;
  } else {
    column_ = column;
    ascending_ = true;
  }
  Sort();
}

void CListSorter::Sort() {
  int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
  const ui::SortKind rule = RuleOf(kinds_[column_]);
  // Each row's data points at its node while the list sorts; the list keeps the
  // node with the row, so afterwards every row gets its own data back.
  std::vector<std::unique_ptr<SortNode>> nodes;
  nodes.reserve(count);
  for (int i = 0; i < count; ++i) {
    auto node = std::make_unique<SortNode>();
    node->cell = ui::MakeSortCell(rule, CellText(list_, i, column_));
    node->previous = ItemData(list_, i);
    SetItemData(list_, i, reinterpret_cast<LPARAM>(node.get()));
    nodes.push_back(std::move(node));
  }
  SendMessageA(list_, LVM_SORTITEMS, ascending_ ? 1 : 0, reinterpret_cast<LPARAM>(&Compare));
  for (int i = 0; i < count; ++i) {
    const auto* node = reinterpret_cast<const SortNode*>(ItemData(list_, i));
    if (node) SetItemData(list_, i, node->previous);
  }
}
