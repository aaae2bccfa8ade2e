#include "SpywareSearchFrm.h"

#include "DetailsFrm.h"
#include "DrawnPicture.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "OwnedHandle.h"
#include "Seams.h"
#include "VbRules.h"
#include "Window.h"

SpywareSearchFrmForm SpywareSearchFrm;

namespace {

const int kWidth = 300, kHeight = 300, kTopHeight = 40;
const COLORREF kBackColour = RGB(255, 246, 247);
// A list file larger than this is no list of links.
const size_t kMaxListBytes = 8 * 1024 * 1024;

// The file's bytes; "" when it is missing or cannot be read. Read-only and shared:
// nothing here writes the list, and a file another program holds still lists.
std::string ReadListFile(const std::string& path) {
  const OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "";
  std::string bytes;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    bytes.resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kMaxListBytes)));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
  }
  return bytes;
}

// The title strip: a band from deep red to the window's pale rose.
HBITMAP MakeTopPicture() {
  return ui::DrawPicture(kWidth, kTopHeight, RGB(255, 246, 247), [](HDC dc) {
    for (int y = 0; y < kTopHeight; ++y) {
      const int t = y * 255 / (kTopHeight - 1);
      const ui::OwnedBrush band(
          CreateSolidBrush(RGB(150 + (255 - 150) * t / 255, 20 + (246 - 20) * t / 255, 40 + (247 - 40) * t / 255)));
      RECT line = {0, y, kWidth, y + 1};
      FillRect(dc, &line, band.get());
    }
  });
}

}  // namespace

SpywareSearchFrmForm::SpywareSearchFrmForm()
    : Window({.caption = "Spyware Search", .style = WS_POPUP | WS_BORDER, .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
              .width = kWidth, .height = kHeight}),
      TopImg(*this, {0, 0, kWidth, kTopHeight}),
      ScreenLabel(*this, {8, 10, kWidth - 48, 20}, "Spyware Search"),
      Label1(*this, {8, 48, 60, 18}, "Process"),
      ProcNameLbl(*this, {70, 48, kWidth - 78, 18}),
      LinksLV(*this, {8, 70, kWidth - 16, 110}, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL),
      DescTxt(*this, {8, 186, kWidth - 16, 70}, "Description: ", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      WaitTxt(*this, {8, 266, 150, 18}, "Please wait ..."),
      detailsBtn(*this, {kWidth - 88, 264, 80, 26}, "Details"),
      asxToolbarClose(*this, {kWidth - 30, 0, 30, 24}, false, {28, 22}),
      Timer1(*this, 250) {
  LinksLV.AddColumn("Link", "Link", kWidth - 40);
  LinksLV.ItemClick = [this](int row) {
    LinksLV_ItemClick(row);
    LinksLV_Click(row);
  };
  detailsBtn.Click = [this] { detailsBtn_Click(); };
  asxToolbarClose.Add("CloseButton", "X", "Close");
  asxToolbarClose.ButtonClick = [this](int index, const std::string&) { asxToolbarClose_ButtonClick(index); };
  Timer1.Tick = [this] { Timer1_Timer(); };
  for (ui::Control* c : {static_cast<ui::Control*>(&TopImg), static_cast<ui::Control*>(&ScreenLabel)})
    c->MouseDown = [this, c](int button, int, int x, int y) {
      if (button == 1) KeepDragPoint(x, y, c->hwnd());
    };
  TopImg.MouseMove = [this](int button, int, int, int) { TopImg_MouseMove(button); };
  TopImg.Paint = [this](HDC dc) { DrawTitle(dc); };
  // The title sits on the strip and drags like it.
  ScreenLabel.MouseMove = [this](int button, int, int, int) { TopImg_MouseMove(button); };
}

void SpywareSearchFrmForm::Form_Load() {
  SetBackColor(kBackColour);
  if (!topPicture_) topPicture_.Reset(MakeTopPicture());
  TopImg.SetPicture(topPicture_.get());
  ScreenLabel.SetFont("Arial", 12, true);
  ScreenLabel.SetForeColor(RGB(255, 255, 255));
  // The title is drawn on the strip itself (DrawTitle): the label would paint the
  // window's pale rose behind its white letters. It keeps the text and the font.
  ScreenLabel.SetVisible(false);
  // The close button lies on the strip: in front of it, and the strip never paints over it.
  SetWindowLongA(TopImg.hwnd(), GWL_STYLE, GetWindowLongA(TopImg.hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
  SetWindowPos(asxToolbarClose.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ui::Bounds close = asxToolbarClose.GetBounds();
  close.x = ScaleWidth() - close.width;
  close.y = 0;
  asxToolbarClose.Move(close);
  WaitTxt.SetVisible(false);
  // A new load starts from the design texts.
  DescTxt.SetText("Description: ");
}

void SpywareSearchFrmForm::ShowSpywareSearchFrm(const std::string& progPath) {
  Load();
  ProgPath = progPath;
  ProcNameLbl.SetText(GetFileNameFromPath(progPath));
  LinksLV.Clear();
  Links = ParseSpywareList(ReadListFile(ListFile.empty() ? AppPath() + "\\spywarelist.dat" : ListFile));
  for (const SpywareLinkRecord& link : Links) LinksLV.AddItem(vb::Trim(link.Name));
  // The bottom right of the work area a maximized window gets, computed in twips.
  RECT outer = {};
  GetWindowRect(hwnd(), &outer);
  const int tx = vb::TwipsPerPixelX(), ty = vb::TwipsPerPixelY();
  const int32_t left = GetSystemMetrics(SM_CXMAXIMIZED) * tx - (outer.right - outer.left) * tx - 400;
  const int32_t top = GetSystemMetrics(SM_CYMAXIMIZED) * ty - (outer.bottom - outer.top) * ty - 100;
  // Kept whole on the work area, clear of a docked bar: Wine's maximized size on a bare
  // display passes the screen's bottom, and the form may be shown already.
  const int x = vb::TwipsToPixelsX(left), y = vb::TwipsToPixelsY(top);
  const POINT at = ui::PlaceOnWorkArea({x, y, x + outer.right - outer.left, y + outer.bottom - outer.top});
  SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  Show();
  if (LinksLV.ItemCount() > 0) {
    LinksLV.SetSelected(0, true);
    LinksLV_ItemClick(0);
  }
}

void SpywareSearchFrmForm::DrawTitle(HDC dc) {
  const std::string title = ScreenLabel.Text();
  const ui::Bounds at = ScreenLabel.GetBounds();
  const ui::SelectIn font(dc, reinterpret_cast<HFONT>(SendMessageA(ScreenLabel.hwnd(), WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  // A dark edge under the white keeps the letters clear where the strip grows pale.
  SetTextColor(dc, RGB(90, 0, 20));
  TextOutA(dc, at.x + 1, at.y + 1, title.c_str(), static_cast<int>(title.size()));
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, at.x, at.y, title.c_str(), static_cast<int>(title.size()));
}

void SpywareSearchFrmForm::LinksLV_ItemClick(int row) {
  if (row < 0 || row >= static_cast<int>(Links.size())) return;
  DescTxt.SetText("Description: " + Links[static_cast<size_t>(row)].Description);
}

void SpywareSearchFrmForm::LinksLV_Click(int row) {
  if (row < 0 || row >= static_cast<int>(Links.size())) return;
  const std::string address = SpywareLinkAddress(Links[static_cast<size_t>(row)], ProcNameLbl.Text());
  if (address.empty()) return;
  WaitTxt.SetVisible(true);
  ui::DoEvents();
  OpenUrl(address, SW_SHOWNORMAL);
  WaitTxt.SetVisible(false);
}

void SpywareSearchFrmForm::detailsBtn_Click() {
  const std::string path = ProgPath;
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(path, false);
}

void SpywareSearchFrmForm::asxToolbarClose_ButtonClick(int index) {
  if (index == 1) Unload();
}

void SpywareSearchFrmForm::Timer1_Timer() {
  if (hwnd())
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void SpywareSearchFrmForm::KeepDragPoint(int x, int y, HWND from) {
  POINT at = {x, y};
  MapWindowPoints(from, hwnd(), &at, 1);
  // Within the whole window, its border included, since the window is placed by its outer corner.
  RECT outer = {};
  GetWindowRect(hwnd(), &outer);
  POINT origin = {0, 0};
  ClientToScreen(hwnd(), &origin);
  dragPoint_ = {at.x + origin.x - outer.left, at.y + origin.y - outer.top};
}

void SpywareSearchFrmForm::TopImg_MouseMove(int button) {
  if (button != 1) return;
  POINT cursor = {};
  if (!seams::CursorPosFn(&cursor)) return;
  SetWindowPos(hwnd(), nullptr, cursor.x - dragPoint_.x, cursor.y - dragPoint_.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
