#include "LinesBox.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "Clipboard.h"
#include "Failure.h"
#include "Gdi.h"
#include "StallMeter.h"
#include "Window.h"

namespace ui {

namespace {

// The space a read-only text box leaves before its text with the default font.
const int kLeftMargin = 4;
// A read-only text box is drawn in the face colour (it asks for a static control's
// colours), not in the window colour of an editable one.
const int kBackColour = COLOR_3DFACE;
enum MenuCommand { kCopy = 1, kSelectAll = 2 };

// Lines of text_: each ends at a CR LF, and a last line without one counts too.
std::vector<size_t> LineStarts(const std::string& text) {
  std::vector<size_t> starts;
  if (text.empty()) return starts;
  size_t at = 0;
  for (;;) {
    starts.push_back(at);
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos || end + 2 >= text.size()) break;
    at = end + 2;
  }
  return starts;
}

}  // namespace

// No item data and owner-drawn rows: the rows are the text's lines, drawn from the text.
LinesBox::LinesBox(Window& owner, Bounds bounds)
    : Control(owner, "LISTBOX",
              WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED |
                  LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | LBS_DISABLENOSCROLL,
              bounds, "", WS_EX_CLIENTEDGE) {}

void LinesBox::Create() {
  Control::Create();
  if (!hwnd_) return;
  // A fixed owner-drawn row keeps the height it was measured with before the font
  // came: rows as high as the font's lines, as in a text box.
  TEXTMETRICA metrics = {};
  {
    WindowDC dc(hwnd_);
    SelectIn font(dc.get(), Font());
    GetTextMetricsA(dc.get(), &metrics);
  }
  SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, std::max<LONG>(1, metrics.tmHeight));
  ShowLines();
}

LinesBox::Span LinesBox::LineSpan(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  const size_t start = starts_[static_cast<size_t>(index)];
  if (index + 1 < LineCount()) return {start, starts_[static_cast<size_t>(index) + 1] - 2 - start};
  // The last line may end in a CR LF of its own.
  size_t end = text_.size();
  if (end - start >= 2 && text_.compare(end - 2, 2, "\r\n") == 0) end -= 2;
  return {start, end - start};
}

std::string LinesBox::Line(int index) const {
  const Span span = LineSpan(index);
  return text_.substr(span.start, span.length);
}

std::string LinesBox::SelectedText() const {
  if (!hwnd_) return {};
  const int count = static_cast<int>(SendMessageA(hwnd_, LB_GETSELCOUNT, 0, 0));
  if (count <= 0) return {};
  std::vector<int> rows(static_cast<size_t>(count));
  SendMessageA(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
  std::string text;
  for (int row : rows) text += Line(row) + "\r\n";
  return text;
}

void LinesBox::SelectAll() {
  if (hwnd_ && LineCount() > 0) SendMessageA(hwnd_, LB_SETSEL, TRUE, -1);
}

void LinesBox::CopySelection() {
  const std::string text = SelectedText();
  if (!text.empty()) SetClipboardText(hwnd_, text);
}

HFONT LinesBox::Font() const { return reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)); }

void LinesBox::TakeText(const char* text) {
  if (!text) text = "";
  // SetText has already kept this very text: a long one is not copied twice.
  if (text_.size() != std::strlen(text) || text_.compare(text) != 0) text_ = text;
  ShowLines();
}

void LinesBox::ShowLines() {
  starts_ = LineStarts(text_);
  if (!hwnd_) return;
  // A new text shows from its top with nothing selected, as in a text box: the
  // count is emptied first, which resets the view and the selection.
  SendMessageA(hwnd_, LB_SETCOUNT, 0, 0);
  SendMessageA(hwnd_, LB_SETCOUNT, starts_.size(), 0);
  int widest = 0;
  {
    WindowDC dc(hwnd_);
    SelectIn font(dc.get(), Font());
    widest = WidestLine(dc.get());
  }
  SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 2 * kLeftMargin), 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// The width of the widest line, from the widths of single characters: a line of
// plain characters is as wide as theirs added up (no kerning applies), so millions of
// lines cost one pass over the text. A line with other bytes is measured whole.
int LinesBox::WidestLine(HDC dc) const {
  int widths[128] = {};
  for (int c = 32; c < 127; ++c) {
    const char one = static_cast<char>(c);
    SIZE size = {};
    GetTextExtentPoint32A(dc, &one, 1, &size);
    widths[c] = size.cx;
  }
  int widest = 0;
  for (int row = 0; row < LineCount(); ++row) {
    const Span span = LineSpan(row);
    const char* line = text_.data() + span.start;
    int width = 0;
    bool plain = true;
    for (size_t i = 0; i < span.length && plain; ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      plain = c >= 32 && c < 127;
      width += plain ? widths[c] : 0;
    }
    if (!plain) {
      SIZE size = {};
      GetTextExtentPoint32A(dc, line, static_cast<int>(span.length), &size);
      width = size.cx;
    }
    widest = std::max(widest, width);
  }
  return widest;
}

bool LinesBox::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = 13;  // replaced once the font is known (Create)
  return true;
}

bool LinesBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  // A text box shows whole lines only: a row cut by the bottom edge stays blank.
  RECT client = {};
  GetClientRect(hwnd_, &client);
  const bool whole = item.rcItem.bottom <= client.bottom;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected && whole ? COLOR_HIGHLIGHT : kBackColour));
  if (item.itemID != static_cast<UINT>(-1) && whole) {
    const Span span = LineSpan(static_cast<int>(item.itemID));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    TextOutA(item.hDC, item.rcItem.left + kLeftMargin, item.rcItem.top, text_.data() + span.start,
             static_cast<int>(span.length));
  }
  if ((item.itemState & ODS_FOCUS) && whole) DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

HBRUSH LinesBox::OnCtlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(kBackColour));
  return GetSysColorBrush(kBackColour);
}

void LinesBox::ShowContextMenu(LPARAM at) {
  POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {  // from the keyboard: at the box's corner
    point = {0, 0};
    ClientToScreen(hwnd_, &point);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING | (SendMessageA(hwnd_, LB_GETSELCOUNT, 0, 0) > 0 ? 0u : MF_GRAYED), kCopy, "&Copy");
  AppendMenuA(menu, MF_STRING | (LineCount() > 0 ? 0u : MF_GRAYED), kSelectAll, "Select &All");
  int command = 0;
  {
    UserWait waiting;
    command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd_, nullptr);
  }
  DestroyMenu(menu);
  if (command == kCopy) CopySelection();
  if (command == kSelectAll) SelectAll();
}

LRESULT LinesBox::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETTEXT:
      Guarded([&] { TakeText(reinterpret_cast<const char*>(lp)); });
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      const size_t n = std::min(text_.size(), static_cast<size_t>(wp) - 1);
      std::memcpy(reinterpret_cast<char*>(lp), text_.data(), n);
      reinterpret_cast<char*>(lp)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_KEYDOWN:
      if (GetKeyState(VK_CONTROL) < 0 && (wp == 'C' || wp == VK_INSERT)) {
        Guarded([&] { CopySelection(); });
        return 0;
      }
      if (GetKeyState(VK_CONTROL) < 0 && wp == 'A') {
        SelectAll();
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      Guarded([&] { ShowContextMenu(lp); });
      return 0;
    default:
      break;
  }
  return Control::ControlProc(msg, wp, lp);
}

}  // namespace ui
