#include "ListSorter.h"

#include <commctrl.h>
#include <mbstring.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// What one row is compared by while the list sorts, and the data it had before.
struct SortNode {
  std::string text;
  long number = 0;
  LPARAM previous = 0;
};

struct SortOrder {
  CListSorter::Kind kind;
  bool ascending;
};

// The integer value of the text's leading digits, as atoi reads it (12.50 is 12),
// held to the range of a long.
long LeadingNumber(const std::string& text) {
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v > LONG_MAX) return LONG_MAX;
  if (v < LONG_MIN) return LONG_MIN;
  return static_cast<long>(v);
}

int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM orderParam) {
  const auto* order = reinterpret_cast<const SortOrder*>(orderParam);
  const auto* x = reinterpret_cast<const SortNode*>(order->ascending ? a : b);
  const auto* y = reinterpret_cast<const SortNode*>(order->ascending ? b : a);
  if (order->kind == CListSorter::kText)
    return _mbsicmp(reinterpret_cast<const unsigned char*>(x->text.c_str()),
                    reinterpret_cast<const unsigned char*>(y->text.c_str()));
  if (x->number == y->number) return 0;
  return x->number > y->number ? 1 : -1;
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
  SortOrder order = {kinds_[column_], ascending_};
  // Each row's data points at its node while the list sorts; the list keeps the
  // node with the row, so afterwards every row gets its own data back.
  std::vector<std::unique_ptr<SortNode>> nodes;
  nodes.reserve(count);
  for (int i = 0; i < count; ++i) {
    auto node = std::make_unique<SortNode>();
    node->text = CellText(list_, i, column_);
    node->number = LeadingNumber(node->text);
    node->previous = ItemData(list_, i);
    SetItemData(list_, i, reinterpret_cast<LPARAM>(node.get()));
    nodes.push_back(std::move(node));
  }
  SendMessageA(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
               reinterpret_cast<LPARAM>(&Compare));
  for (int i = 0; i < count; ++i) {
    const auto* node = reinterpret_cast<const SortNode*>(ItemData(list_, i));
    if (node) SetItemData(list_, i, node->previous);
  }
}
