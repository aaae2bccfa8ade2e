#include "PopWindows.h"

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "ModPop.h"
#include "PopUpFrm.h"
#include "Seams.h"

namespace poptest {

void PopWindowsTest::SetUp() {
  PopTest::SetUp();
  seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT style) {
    shown.push_back({text, style});
    return answer;
  };
  ASSERT_TRUE(PopUpFrm.Load());
  PopUpFrm.BlockedWndLst.Clear();
  for (ui::ListView* list : {&PopUpFrm.BlockedWndLst, &PopUpFrm.WhiteWndLst, &PopUpFrm.BrowsersLst})
    list->SetSorted(false);
  LoadPopUpSettings();
}

void PopWindowsTest::TearDown() {
  AddBrowserFrm.Unload();
  AddWhiteFrm.Unload();
  PopUpFrm.Hide();
  PopUpFrm.BlockedWndLst.Clear();
  PopTest::TearDown();
}

void PopWindowsTest::StoreWhiteItems(const std::vector<WhiteListEntry>& items) {
  WhiteLst_Total = static_cast<int16_t>(items.size());
  for (size_t i = 0; i < items.size(); ++i) WhiteLst[i] = items[i];
  SavePopUpSettings();
  LoadPopUpSettings();
}

void PopWindowsTest::StoreBrowsers(const std::vector<std::string>& paths) {
  BrowsersLst_Total = static_cast<int16_t>(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    Browsers[i] = BrowserEntry();
    Browsers[i].Path = paths[i];
  }
  SavePopUpSettings();
  LoadPopUpSettings();
}

std::vector<std::string> PopWindowsTest::Column(const ui::ListView& list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.ItemCount(); ++row) texts.push_back(list.SubItem(row, column));
  return texts;
}

int PopWindowsTest::RowWith(const ui::ListView& list, int column, const std::string& text) {
  for (int row = 0; row < list.ItemCount(); ++row)
    if (list.SubItem(row, column) == text) return row;
  return -1;
}

void PopWindowsTest::SelectRows(ui::ListView& list, const std::vector<int>& rows) {
  for (int row = 0; row < list.ItemCount(); ++row) list.SetSelected(row, false);
  for (int row : rows) list.SetSelected(row, true);
  list.SetFocusedRow(rows.empty() ? -1 : rows.back());
}

}  // namespace poptest
