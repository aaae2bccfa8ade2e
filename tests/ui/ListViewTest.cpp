// The list view against a real control: the row model and the screen must agree
// after every sort, merge and removal, and a merge must cost only what changed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "Failures.h"
#include "Input.h"
#include "ListSort.h"
#include "ListView.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::PumpUntil;
using ui::ListView;
using ui::SortKind;

namespace {

class ListForm : public ui::Window {
 public:
  ListForm()
      : Window({.caption = "List", .style = WS_POPUP | WS_BORDER, .x = 60, .y = 60, .width = 420, .height = 260}),
        Lst(*this, {0, 0, 420, 260}) {}
  ListView Lst;
};

std::string ControlCell(const ListView& list, int row, int column) {
  char buffer[256] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list.hwnd(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

LPARAM ControlParam(const ListView& list, int row) {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

UINT ControlState(const ListView& list, int row) {
  return static_cast<UINT>(SendMessageA(list.hwnd(), LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
}

std::string Keys(const ListView& list) {
  std::string keys;
  for (int r = 0; r < list.ItemCount(); ++r) keys += list.Key(r);
  return keys;
}

// Every row as the model has it is what the control shows, with the same id.
void ExpectControlShowsModel(const ListView& list) {
  ASSERT_EQ(SendMessageA(list.hwnd(), LVM_GETITEMCOUNT, 0, 0), list.ItemCount());
  for (int r = 0; r < list.ItemCount(); ++r) {
    for (int c = 0; c < list.ColumnCount(); ++c)
      EXPECT_EQ(ControlCell(list, r, c), list.SubItem(r, c)) << "row " << r << " column " << c;
    EXPECT_EQ(ControlParam(list, r), list.RowId(r)) << "row " << r;
    EXPECT_EQ(list.RowOfId(list.RowId(r)), r);
    if (!list.Key(r).empty()) {
      EXPECT_EQ(list.FindKey(list.Key(r)), r);
    }
  }
}

std::string LocalDate(WORD year, WORD month, WORD day) {
  SYSTEMTIME t = {year, month, 0, day, 0, 0, 0, 0};
  char text[64] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, text, sizeof text);
  return text;
}

// As the program writes a stamp: the user's short date and time.
std::string LocalDateTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME t = {year, month, 0, day, hour, minute, second, 0};
  char text[64] = "";
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, text, sizeof text);
  return LocalDate(year, month, day) + " " + text;
}

// Counts the messages the list receives, by message number.
LRESULT CALLBACK Counting(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR counts) {
  ++(*reinterpret_cast<std::map<UINT, int>*>(counts))[msg];
  return DefSubclassProc(hwnd, msg, wp, lp);
}

class ListViewTest : public testing::Test {
 protected:
  void SetUp() override {
    list.AddColumn("K0", "Name", 120);
    list.AddColumn("K1", "Size", 80);
    list.AddColumn("K2", "Started", 200);
  }
  void TearDown() override {
    if (list.hwnd()) RemoveWindowSubclass(list.hwnd(), &Counting, 1);
  }
  int Add(const std::string& key, std::vector<std::string> cells) {
    int row = list.AddItem(cells[0], -1, key);
    list.SetCells(row, cells);
    return row;
  }
  // Five rows keyed a to e: a name, a size and a start stamp each.
  void FillFive() {
    Add("a", {"beta", "10.5 MB", LocalDateTime(2026, 12, 10, 16, 5, 1)});
    Add("b", {"Alpha", "9", LocalDate(2025, 1, 2)});
    Add("c", {"gamma", "100", ""});
    Add("d", {"delta", "-3", LocalDateTime(2026, 12, 10, 9, 0, 0)});
    Add("e", {"Epsilon", "abc", "not a date"});
  }
  void CountMessages() { SetWindowSubclass(list.hwnd(), &Counting, 1, reinterpret_cast<DWORD_PTR>(&counts)); }
  std::set<std::string> SelectedKeys() {
    std::set<std::string> keys;
    for (int r : list.SelectedRows()) keys.insert(list.Key(r));
    return keys;
  }
  // Every row's selection as the control holds it is what the model reports.
  void ExpectStateAgrees() {
    for (int r = 0; r < list.ItemCount(); ++r) {
      EXPECT_EQ((ControlState(list, r) & LVIS_SELECTED) != 0, list.Selected(r)) << "row " << r;
      EXPECT_EQ((ControlState(list, r) & LVIS_FOCUSED) != 0, list.FocusedRow() == r) << "row " << r;
    }
  }

  ListForm form;
  ListView& list = form.Lst;
  std::map<UINT, int> counts;
};

TEST(ListSortRules, CellsCompareByTheirKind) {
  const std::string date = LocalDateTime(2026, 12, 10, 16, 5, 1);
  struct Case {
    SortKind kind;
    std::string a, b;
    int sign;
  } cases[] = {
      {SortKind::kText, "apple", "APPLE", 0},
      {SortKind::kText, "apple", "Banana", -1},  // case does not put capitals first
      {SortKind::kText, "", "a", -1},
      {SortKind::kNumber, "9.99", "10.01", -1},
      {SortKind::kNumber, "10.20", "10.90", -1},
      {SortKind::kNumber, "12.5 MB", "12.50", 0},
      {SortKind::kNumber, "abc", "-1", 1},  // no number is 0
      {SortKind::kInteger, "10.20", "10.90", 0},
      {SortKind::kInteger, "9.99", "10.01", -1},
      {SortKind::kDate, LocalDate(2025, 1, 2), date, -1},
      {SortKind::kDate, date, LocalDateTime(2026, 12, 10, 9, 0, 0), 1},
      {SortKind::kDate, date, "", -1},  // dates before cells that are none
      {SortKind::kDate, "", "never", -1},
  };
  for (const Case& c : cases) {
    int result = ui::CompareCells(c.kind, c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << static_cast<int>(c.kind) << " '" << c.a << "' '" << c.b << "'";
  }
}

TEST(ListSortRules, NumbersAreReadFromTheStartOfTheText) {
  const std::pair<std::string, double> cases[] = {
      {"12.5 MB", 12.5}, {" 1 000", 1000}, {"-3", -3},  {"1,234", 1},  {"abc", 0},  {"", 0},
      {"1e3x", 1000},    {"2.5.1", 2.5},   {"+.5", 0.5}, {"1e", 1},    {"-", 0},    {"7d2", 700},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ui::NumberPrefix(c.first), c.second) << "'" << c.first << "'";
  EXPECT_EQ(ui::IntegerPrefix("12.50"), 12);
  EXPECT_EQ(ui::IntegerPrefix("99999999999"), LONG_MAX);
  double day = 0;
  EXPECT_TRUE(ui::ParseDate(LocalDate(2025, 1, 2), day));
  EXPECT_DOUBLE_EQ(day, 45659);  // days from 30 Dec 1899
  EXPECT_FALSE(ui::ParseDate("not a date", day));
}

// Number columns hold texts grouped by the user's locale ("12,345", or "12.345" in
// German): they sort by value, not by the digits before the first mark.
TEST(ListSortRules, GroupedNumbersSortByTheirValueInEveryLocale) {
  struct Locale {
    const char *thousands, *decimal;
  } locales[] = {{",", "."}, {".", ","}, {"\xA0", ","}, {"'", "."}};
  for (const Locale& l : locales) {
    SCOPED_TRACE(std::string("grouping '") + l.thousands + "' decimal '" + l.decimal + "'");
    auto text = [&](const std::string& pattern) {  // "," groups, "." is the point in patterns
      std::string out;
      for (char c : pattern) out += c == ',' ? l.thousands : c == '.' ? l.decimal : std::string(1, c);
      return out;
    };
    struct Case {
      const char* pattern;
      double value;
    } cases[] = {{"12,345", 12345}, {"1,234,567", 1234567}, {"85", 85},   {"1,234.5 K", 1234.5},
                 {"-2,000", -2000},  {"7,", 7},               {"", 0},     {"abc", 0}};
    for (const Case& c : cases)
      EXPECT_DOUBLE_EQ(ui::LocaleNumberPrefix(text(c.pattern), l.thousands, l.decimal), c.value) << c.pattern;
  }
}

// The list as the user sees it after a click on a memory column: the order the issue
// measured ("1,234 2,000 12,345 85 540 999") read by value in this locale.
TEST_F(ListViewTest, AGroupedNumberColumnSortsByValue) {
  ASSERT_TRUE(form.Load());
  char thousands[8] = ",";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands, sizeof thousands);
  const int values[] = {1234, 2000, 12345, 85, 540, 999};
  for (int v : values) {
    std::string grouped = std::to_string(v);
    if (v >= 1000) grouped.insert(grouped.size() - 3, thousands);
    list.SetSubItem(list.AddItem("p" + std::to_string(v), -1, std::to_string(v)), 1, grouped);
  }
  list.SortBy(1, SortKind::kNumber, true);
  std::vector<std::string> shown;
  for (int r = 0; r < list.ItemCount(); ++r) shown.push_back(ControlCell(list, r, 0));
  EXPECT_EQ(shown, (std::vector<std::string>{"p85", "p540", "p999", "p1234", "p2000", "p12345"}))
      << "grouping mark '" << thousands << "'";
  list.SortBy(1, SortKind::kNumber, false);
  EXPECT_EQ(ControlCell(list, 0, 0), "p12345");
}

TEST_F(ListViewTest, SortsByTextNumberAndDateBothWaysAndTheControlFollows) {
  ASSERT_TRUE(form.Load());
  FillFive();
  struct Case {
    int column;
    SortKind kind;
    bool ascending;
    std::string keys;
  } cases[] = {
      {0, SortKind::kText, true, "badec"},   {0, SortKind::kText, false, "cedab"},
      {1, SortKind::kNumber, true, "debac"}, {1, SortKind::kNumber, false, "cabed"},
      {2, SortKind::kDate, true, "bdace"},   {2, SortKind::kDate, false, "ecadb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("column " + std::to_string(c.column) + (c.ascending ? " up" : " down"));
    list.SortBy(c.column, c.kind, c.ascending);
    EXPECT_EQ(Keys(list), c.keys);
    ExpectControlShowsModel(list);
    EXPECT_EQ(list.SortKey(), c.column);
  }
  // A sorted list puts a new row in its place (after the rows it ties with).
  list.SetSorted(true);
  EXPECT_EQ(list.AddItem("zeta", -1, "f"), 2);
  EXPECT_EQ(Keys(list), "ecfadb");
  ExpectControlShowsModel(list);
  list.SetSorted(false);
  EXPECT_EQ(list.AddItem("eta", -1, "g"), 6);
  ExpectControlShowsModel(list);
}

TEST_F(ListViewTest, AMergeSendsOnlyTheCellsThatChanged) {
  ASSERT_TRUE(form.Load());
  FillFive();
  list.SortBy(0, SortKind::kText, true);
  CountMessages();
  int row = list.FindKey("c");
  list.SetSubItem(row, 1, "100");
  EXPECT_EQ(list.SetCells(row, {"gamma", "100", ""}), 0);
  list.SetSmallIcon(row, -1);
  EXPECT_TRUE(counts.empty()) << "equal texts sent " << counts.size() << " kinds of message";

  EXPECT_EQ(list.SetCells(row, {"gamma", "101", ""}), 1);
  EXPECT_EQ(counts[LVM_SETITEMTEXTA], 1);
  EXPECT_EQ(counts[LVM_SETITEMA], 0);
  EXPECT_EQ(ControlCell(list, row, 1), "101");
  EXPECT_EQ(ControlCell(list, list.FindKey("a"), 1), "10.5 MB");

  list.SetSmallIcon(row, 3);
  list.SetSmallIcon(row, 3);
  EXPECT_EQ(counts[LVM_SETITEMA], 1);
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, 3);
  EXPECT_EQ(counts[LVM_SETITEMTEXTA], 1);
  ExpectControlShowsModel(list);
}

TEST_F(ListViewTest, RedrawIsOffOnceForNestedGuardsAndBackOnAtTheEndOnlyWhenSomethingChanged) {
  ASSERT_TRUE(form.Load());
  FillFive();
  CountMessages();
  // A scope that finds every cell as it was (a timed merge with nothing new) leaves
  // the drawing alone: no switch and nothing to repaint.
  ValidateRect(list.hwnd(), nullptr);
  {
    ListView::RedrawGuard unchanged(list);
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSubItem(r, 0, list.ItemText(r));
  }
  EXPECT_EQ(counts[WM_SETREDRAW], 0);
  EXPECT_FALSE(GetUpdateRect(list.hwnd(), nullptr, FALSE));
  {
    ListView::RedrawGuard outer(list);
    {
      ListView::RedrawGuard inner(list);
      list.SortBy(2, SortKind::kDate, true);  // takes a guard of its own
      list.SetSubItem(0, 0, "changed");
    }
    EXPECT_EQ(counts[WM_SETREDRAW], 1);  // only the outermost turned it off
  }
  EXPECT_EQ(counts[WM_SETREDRAW], 2);
  // A guard on a list with no window yet sends nothing and breaks nothing.
  ListForm other;
  { ListView::RedrawGuard guard(other.Lst); other.Lst.AddItem("x"); }
  ASSERT_TRUE(other.Load());
  EXPECT_EQ(ControlCell(other.Lst, 0, 0), "x");
}

TEST_F(ListViewTest, SelectionAndFocusSurviveAMergeAndASort) {
  FillFive();
  // Chosen before the window exists, shown when it is created.
  list.SetSelected(list.FindKey("b"), true);
  list.SetFocusedRow(list.FindKey("d"));
  ASSERT_TRUE(form.Load());
  list.SetSelected(list.FindKey("d"), true);
  ExpectStateAgrees();
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"b", "d"}));

  // A merge: cells rewritten, a vanished row removed, a new one appended.
  {
    ListView::RedrawGuard guard(list);
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSubItem(r, 1, std::to_string(r * 7));
    list.RemoveItem(list.FindKey("c"));
    Add("f", {"zeta", "5", ""});
  }
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"b", "d"}));
  EXPECT_EQ(list.Key(list.FocusedRow()), "d");
  ExpectStateAgrees();

  list.SortBy(0, SortKind::kText, false);
  EXPECT_EQ(Keys(list), "fedab");
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"b", "d"}));
  EXPECT_EQ(list.Key(list.FocusedRow()), "d");
  ExpectStateAgrees();

  // A change the control makes itself (as a user's click does) reaches the model
  // and raises the event for its row.
  std::vector<int> changed;
  list.SelectionChanged = [&](int row) { changed.push_back(row); };
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageA(list.hwnd(), LVM_SETITEMSTATE, list.FindKey("e"), reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(changed, std::vector<int>{list.FindKey("e")});
  EXPECT_TRUE(list.Selected(list.FindKey("e")));
  list.SetSelected(list.FindKey("b"), false);
  EXPECT_EQ(changed.size(), 2u);
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"d", "e"}));
  list.SetFocusedRow(-1);
  EXPECT_EQ(list.FocusedRow(), -1);
  ExpectStateAgrees();

  // The state outlives the window: the model kept what the control last held.
  form.Unload();
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"d", "e"}));
  EXPECT_EQ(list.FocusedRow(), -1);
}

TEST_F(ListViewTest, KeysAreFoundAfterRowsInTheMiddleAreRemoved) {
  ASSERT_TRUE(form.Load());
  std::vector<int> ids;
  for (int i = 0; i < 10; ++i) {
    Add("k" + std::to_string(i), {"row " + std::to_string(i), std::to_string(i), ""});
    ids.push_back(list.RowId(i));
  }
  list.RemoveItem(3);
  list.RemoveItem(3);  // was row 4
  list.RemoveItem(list.FindKey("k7"));
  list.RemoveItem(42);  // no such row: nothing happens
  EXPECT_EQ(list.ItemCount(), 7);
  for (std::string gone : {"k3", "k4", "k7"}) EXPECT_EQ(list.FindKey(gone), -1) << gone;
  EXPECT_EQ(list.RowOfId(ids[4]), -1);
  const char* left[] = {"k0", "k1", "k2", "k5", "k6", "k8", "k9"};
  for (int r = 0; r < 7; ++r) {
    EXPECT_EQ(list.FindKey(left[r]), r) << left[r];
    EXPECT_EQ(list.ItemText(r), "row " + std::string(left[r] + 1));
  }
  ExpectControlShowsModel(list);

  // A key given twice is found on its first row on screen, then on the other.
  list.SortBy(1, SortKind::kNumber, false);
  list.SetKey(list.FindKey("k1"), "twin");
  list.SetKey(list.FindKey("k8"), "twin");
  EXPECT_EQ(list.FindKey("twin"), 1);  // k8 sorts above k1
  list.RemoveItem(1);
  EXPECT_EQ(list.ItemText(list.FindKey("twin")), "row 1");
  EXPECT_EQ(list.FindKey("k1"), -1);  // its key was replaced
  list.Clear();
  EXPECT_EQ(list.FindKey("k0"), -1);
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(SendMessageA(list.hwnd(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, RowsAndColumnsMadeBeforeTheWindowAreShownWhenItIsCreated) {
  FillFive();
  list.SortBy(1, SortKind::kNumber, true);
  list.SetTag(0, "F");
  list.SetSmallIcon(1, 2);
  ASSERT_TRUE(form.Load());
  ExpectControlShowsModel(list);
  EXPECT_EQ(list.Tag(0), "F");
  EXPECT_EQ(list.Tag(1), "");
  // Columns set up again while rows exist still show every row's cells.
  list.ClearColumns();
  list.AddColumn("K0", "Name", 120);
  list.AddColumn("K2", "Started", 200);
  list.AddColumn("K1", "Size", 80);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list.hwnd())), 3);
  EXPECT_EQ(ControlCell(list, 0, 0), "delta");
  EXPECT_EQ(ControlCell(list, 0, 1), list.SubItem(0, 1));
  EXPECT_EQ(ListView::ToOneBased(0), 1);
  EXPECT_EQ(ListView::FromOneBased(ListView::ToOneBased(4)), 4);
}

// Real mouse and key input on a shown list.
class ListViewInputTest : public ListViewTest {
 protected:
  void SetUp() override {
    ListViewTest::SetUp();
    FillFive();
    form.Show();
    testsupport::BringToFront(form.hwnd());
  }
  POINT RowPoint(int row) {
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(list.hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    POINT p = {r.left + 10, (r.top + r.bottom) / 2};
    ClientToScreen(list.hwnd(), &p);
    return p;
  }
  void Click(POINT at, DWORD down, DWORD up, int times = 1) {
    SetCursorPos(at.x, at.y);
    for (int i = 0; i < times; ++i) {
      INPUT input[2] = {};
      input[0].type = input[1].type = INPUT_MOUSE;
      input[0].mi.dwFlags = down;
      input[1].mi.dwFlags = up;
      SendInput(2, input, sizeof(INPUT));
    }
  }
};

TEST_F(ListViewInputTest, ClicksReachTheirHandlersWithTheRowUnderTheMouse) {
  std::vector<int> clicked, doubled, columns;
  std::vector<std::pair<int, POINT>> right;
  list.ItemClick = [&](int row) { clicked.push_back(row); };
  list.DblClick = [&](int row) { doubled.push_back(row); };
  list.RightClick = [&](int row, POINT at) { right.push_back({row, at}); };
  list.ColumnClick = [&](int column) { columns.push_back(column); };

  Click(RowPoint(2), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !clicked.empty(); })) << "no click arrived";
  EXPECT_EQ(clicked, std::vector<int>{2});
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(list.FocusedRow(), 2);

  // Another row, too far from the first click to make a double click with it.
  Click(RowPoint(3), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ASSERT_TRUE(PumpUntil([&] { return !doubled.empty(); })) << "no double click arrived";
  EXPECT_EQ(doubled, std::vector<int>{3});

  POINT at = RowPoint(1);
  Click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(PumpUntil([&] { return !right.empty(); })) << "no right click arrived";
  EXPECT_EQ(right[0].first, 1);
  EXPECT_EQ(right[0].second.x, at.x);
  EXPECT_EQ(right[0].second.y, at.y);

  // Below the last row there is no row.
  RECT client;
  GetClientRect(list.hwnd(), &client);
  POINT empty = {client.right / 2, client.bottom - 10};
  ClientToScreen(list.hwnd(), &empty);
  Click(empty, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(PumpUntil([&] { return right.size() == 2; }));
  EXPECT_EQ(right[1].first, -1);

  HWND header = ListView_GetHeader(list.hwnd());
  RECT column = {};
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&column));
  POINT top = {(column.left + column.right) / 2, (column.top + column.bottom) / 2};
  ClientToScreen(header, &top);
  Click(top, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !columns.empty(); })) << "no column click arrived";
  EXPECT_EQ(columns, std::vector<int>{1});
}

// The box of a check-box row: 1 clear, 2 ticked, 0 none.
int ControlCheck(const ListView& list, int row) {
  return static_cast<int>((SendMessageA(list.hwnd(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

TEST_F(ListViewTest, CheckMarksAreKeptWithoutAWindowAndShownWithOne) {
  list.SetCheckBoxes(true);
  FillFive();
  list.SetChecked(1, true);
  list.SetChecked(3, true);
  list.SortBy(0, SortKind::kText, true);  // Alpha beta delta Epsilon gamma
  ASSERT_TRUE(form.Load());
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(list.hwnd()) & LVS_EX_CHECKBOXES);
  const int expected[] = {2, 1, 2, 1, 1};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(ControlCheck(list, r), expected[r]) << "row " << r;
    EXPECT_EQ(list.Checked(r), expected[r] == 2) << "row " << r;
  }
  int events = 0;
  list.ItemCheck = [&](int) { ++events; };
  list.SetChecked(4, true);
  EXPECT_EQ(ControlCheck(list, 4), 2);
  EXPECT_EQ(events, 0) << "code's own changes raise no event";
  list.RemoveItem(0);
  EXPECT_TRUE(list.Checked(3));
  // Gone with the window, kept by the model, shown again.
  form.Unload();
  EXPECT_TRUE(list.Checked(0) == false && list.Checked(1) && list.Checked(3));
  ASSERT_TRUE(form.Load());
  EXPECT_EQ(ControlCheck(list, 1), 2);
  EXPECT_EQ(ControlCheck(list, 0), 1);
}

TEST_F(ListViewInputTest, SpaceTicksTheFocusedRowAndRaisesItemCheck) {
  std::vector<int> ticked;
  list.SetCheckBoxes(true);
  list.ItemCheck = [&](int row) { ticked.push_back(row); };
  list.SetFocus();
  list.SetSelected(2, true);
  list.SetFocusedRow(2);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = VK_SPACE;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return !ticked.empty(); })) << "no tick arrived";
  EXPECT_EQ(ticked, std::vector<int>{2});
  EXPECT_TRUE(list.Checked(2));
  EXPECT_FALSE(list.Checked(1));
}

// A row reached with the keyboard is chosen as a clicked one is: every key that moves
// the focus to another row raises ItemClick with that row; a key that moves nothing
// raises nothing.
TEST_F(ListViewInputTest, KeysThatMoveTheFocusRaiseTheItemClickOfTheNewRow) {
  std::vector<int> clicked;
  list.ItemClick = [&](int row) { clicked.push_back(row); };
  list.SetFocus();
  list.SetSelected(0, true);
  list.SetFocusedRow(0);
  struct Case {
    WORD key;
    int row;  // the row that is focused and reported after the key; -1 no event
  } cases[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_UP, 1}, {VK_END, 4}, {VK_DOWN, -1},
               {VK_HOME, 0}, {VK_UP, -1},  {VK_NEXT, 4}, {VK_PRIOR, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("key " + std::to_string(c.key));
    clicked.clear();
    testsupport::PressKey(c.key);
    if (c.row < 0) {
      testsupport::PumpUntilIdle();
      EXPECT_TRUE(clicked.empty());
      continue;
    }
    ASSERT_TRUE(PumpUntil([&] { return !clicked.empty(); })) << "no item event";
    EXPECT_EQ(clicked, std::vector<int>{c.row});
    EXPECT_EQ(list.FocusedRow(), c.row);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{c.row}) << "what the user sees chosen";
  }
}

TEST_F(ListViewInputTest, KeysReachKeyDownAndAFailingHandlerIsReported) {
  std::vector<std::pair<int, int>> keys;
  list.KeyDown = [&](int key, int shift) { keys.push_back({key, shift}); };
  list.SetFocus();
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = VK_F5;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return !keys.empty(); })) << "no key arrived";
  EXPECT_EQ(keys[0], std::make_pair(static_cast<int>(VK_F5), 0));

  {
    testsupport::ExpectFailures failures(1);
    list.KeyDown = [](int, int) { throw std::runtime_error("key handler failed"); };
    SendMessageA(list.hwnd(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(failures.seen(), std::vector<std::string>{"key handler failed"});
  }
  EXPECT_TRUE(IsWindow(list.hwnd()));
}

}  // namespace

namespace {

// The control's count and cells are the model's (an owner-data control keeps no
// row ids of its own).
void ExpectControlShowsCells(const ListView& list) {
  ASSERT_EQ(SendMessageA(list.hwnd(), LVM_GETITEMCOUNT, 0, 0), list.ItemCount());
  for (int r = 0; r < list.ItemCount(); ++r)
    for (int c = 0; c < list.ColumnCount(); ++c)
      ASSERT_EQ(ControlCell(list, r, c), list.SubItem(r, c)) << "row " << r << " column " << c;
}

class OwnerDataForm : public ui::Window {
 public:
  OwnerDataForm()
      : Window({.caption = "Rows", .style = WS_POPUP | WS_BORDER, .x = 60, .y = 60, .width = 420, .height = 260}),
        Lst(*this, {0, 0, 420, 260}, LVS_REPORT | LVS_OWNERDATA) {}
  ListView Lst;
};

}  // namespace

// A list whose rows live in the model alone shows the same rows, follows changes,
// sorts and clicks as any other, and clearing leaves the control with none.
TEST(OwnerDataListTest, TheControlShowsTheModelAndFollowsIt) {
  OwnerDataForm form;
  ListView& list = form.Lst;
  list.AddColumn("K0", "Time", 80);
  list.AddColumn("K1", "Text", 200);
  auto add = [&](const std::string& time, const std::string& text) {
    const int row = list.AddItem(time);
    list.SetSubItem(row, 1, text);
  };
  add("10:00:02", "made before the window");
  form.Show();
  SetWindowPos(form.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(form.hwnd());
  add("10:00:01", "made with it");
  {
    ListView::RedrawGuard guard(list);
    for (int i = 0; i < 3000; ++i) add("11:" + std::to_string(1000 + i), "line " + std::to_string(i));
  }
  EXPECT_EQ(list.ItemCount(), 3002);
  ExpectControlShowsCells(list);
  list.SetSubItem(1, 1, "changed");
  EXPECT_EQ(ControlCell(list, 1, 1), "changed");
  list.SortBy(0, SortKind::kText, true);
  EXPECT_EQ(ControlCell(list, 0, 0), "10:00:01");
  EXPECT_EQ(ControlCell(list, 0, 1), "changed");
  ExpectControlShowsCells(list);

  std::vector<int> clicked;
  list.ItemClick = [&](int row) { clicked.push_back(row); };
  RECT r = {};
  r.left = LVIR_LABEL;
  SendMessageA(list.hwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT at = {r.left + 10, (r.top + r.bottom) / 2};
  ClientToScreen(list.hwnd(), &at);
  SetCursorPos(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return !clicked.empty(); })) << "no click arrived";
  EXPECT_EQ(clicked, std::vector<int>{1});
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(list.ItemText(1), "10:00:02");

  list.Clear();
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(SendMessageA(list.hwnd(), LVM_GETITEMCOUNT, 0, 0), 0);
  add("12:00:00", "after the clearing");
  ExpectControlShowsCells(list);
}
