// The pop-up page and its two dialogs under test: the program's own windows, with
// their message boxes recorded and answered by the test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ListView.h"
#include "ModPop.h"
#include "PopSupport.h"
#include "UiWait.h"

namespace poptest {

struct Shown {
  std::string text;
  UINT style;
};

class PopWindowsTest : public PopTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The white list's entries as stored and reloaded (type, text, exact).
  void StoreWhiteItems(const std::vector<WhiteListEntry>& items);
  void StoreBrowsers(const std::vector<std::string>& paths);
  // The texts of a list's rows (column), top to bottom.
  static std::vector<std::string> Column(const ui::ListView& list, int column);
  // The first row with the text in the column; -1 when none.
  static int RowWith(const ui::ListView& list, int column, const std::string& text);
  // Selects exactly these rows, the focus on the last.
  static void SelectRows(ui::ListView& list, const std::vector<int>& rows);

  std::vector<Shown> shown;  // message boxes, in order
  int answer = IDYES;
};

using testsupport::ClipboardText;

}  // namespace poptest
