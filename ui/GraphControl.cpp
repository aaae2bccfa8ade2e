#include "GraphControl.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Clipboard.h"
#include "Gdi.h"
#include "HistogramCls.h"
#include "VbRules.h"
#include "Window.h"

namespace {

constexpr int kMeterWidth = 60;    // the strips run from x 5 to 55
constexpr int kMeterGapTwips = 10;  // between the meter and the graph
constexpr int kStrips = 13;
constexpr COLORREF kLitStrip = RGB(0, 0xFF, 0);  // the meter label's text colour

int Px(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// Draws with one colour for pen and brush; the DC gets its own back before they go.
class PenAndBrush {
 public:
  PenAndBrush(HDC dc, COLORREF colour, bool brush)
      : pen_(CreatePen(PS_SOLID, 1, colour)),
        brush_(brush ? CreateSolidBrush(colour) : nullptr),
        selectPen_(dc, pen_.get()),
        selectBrush_(dc, brush_.get()) {}

 private:
  ui::OwnedPen pen_;
  ui::OwnedBrush brush_;
  ui::SelectIn selectPen_, selectBrush_;
};

// The sample of a series at ring position k, or the gap marker when unreadable.
int16_t Sample(const HistogramCls& h, int series, int k) {
  const int16_t v = h.Get_Data(series, k);
  return v < 0 ? HistogramCls::kGap : v;
}

}  // namespace

COLORREF GraphDisabledColour() { return GetSysColor(COLOR_GRAYTEXT); }

GraphControl::GraphControl(ui::Window& owner, ui::Bounds bounds)
    : Container(owner, bounds),
      picUsage(owner, {0, 0, kMeterWidth, bounds.height}),
      picGraph(owner, {kMeterWidth + 1, 0, std::max(bounds.width - kMeterWidth - 1, 0), bounds.height}),
      ItemNameLbl(owner, {2, 1, 40, 14}, "item"),
      Timer1(owner, 400) {
  picUsage.SetContainer(*this);
  picGraph.SetContainer(*this);
  ItemNameLbl.SetContainer(picGraph);
  ItemNameLbl.SetVisible(false);
  ItemNameLbl.SetForeColor(fontColor_);
  Timer1.SetEnabled(false);
  Timer1.Tick = [this] { Timer1_Timer(); };
  SetBackColor(backColor_);
  picUsage.Paint = [this](HDC dc) { DrawMeter(dc); };
  picGraph.Paint = [this](HDC dc) { DrawGraph(dc); };

  auto& top = menu_.Add("GraphTools");
  top.Add("Copy Graph &Data").Click = [this] { mnuGraphToolsCopy_Click(); };
  top.Add("Copy Graph as &Image").Click = [this] { mnuGraphToolsGraph_Click(); };
  mnuGraphTools_ = &top;

  picGraph.MouseDown = [this](int button, int shift, int x, int y) {
    if (button == 2) {
      POINT at = {x, y};
      ClientToScreen(picGraph.hwnd(), &at);
      menu_.Popup(owner_, *mnuGraphTools_, at);
    }
    if (MouseDown) MouseDown(button, shift, x, y);
  };
  picGraph.MouseMove = [this](int button, int shift, int x, int y) {
    Hover();
    if (MouseMove) MouseMove(button, shift, x, y);
  };
  ItemNameLbl.MouseMove = [this](int, int, int, int) { Hover(); };
  ForwardMouse(picGraph, 0, 0);
  ForwardMouse(picUsage, 0, 0);
  picGraph.Click = picUsage.Click = ItemNameLbl.Click = [this] { if (Click) Click(); };
  picGraph.DblClick = picUsage.DblClick = [this] { if (DblClick) DblClick(); };
}

GraphControl::~GraphControl() { Timer1.SetEnabled(false); }

void GraphControl::ForwardMouse(ui::Control& part, int, int) {
  if (!part.MouseUp) part.MouseUp = [this](int b, int s, int x, int y) { if (MouseUp) MouseUp(b, s, x, y); };
  if (!part.MouseDown) part.MouseDown = [this](int b, int s, int x, int y) { if (MouseDown) MouseDown(b, s, x, y); };
  if (!part.MouseMove) part.MouseMove = [this](int b, int s, int x, int y) { if (MouseMove) MouseMove(b, s, x, y); };
}

void GraphControl::Create() {
  // A graph added after its form loaded makes its parts with it.
  Container::Create();
  if (!hwnd_) return;
  picUsage.CreateNow();
  picGraph.CreateNow();
  ItemNameLbl.CreateNow();
  UserControl_Resize();
}

void GraphControl::Move(ui::Bounds bounds) {
  // The bar places every item on each refresh: an unmoved graph is not laid out again.
  const ui::Bounds now = GetBounds();
  if (hwnd_ && now.x == bounds.x && now.y == bounds.y && now.width == bounds.width && now.height == bounds.height)
    return;
  Control::Move(bounds);
  UserControl_Resize();
}

void GraphControl::UserControl_Resize() {
  const ui::Bounds b = GetBounds();
  picUsage.SetVisible(!hideUsage_);
  picUsage.Move({0, 0, kMeterWidth, b.height});
  const int left = hideUsage_ ? 0 : kMeterWidth + Px(double(kMeterGapTwips) / vb::TwipsPerPixelX());
  picGraph.Move({left, 0, std::max(b.width - left, 0), b.height});
  PlaceNameLabel();
}

void GraphControl::PlaceNameLabel() {
  // The name runs across the graph, centred in its height.
  const ui::Bounds g = picGraph.GetBounds();
  const int height = std::min(14, g.height);
  ItemNameLbl.Move({1, std::max((g.height - height) / 2, 0), std::max(g.width - 2, 0), height});
}

void GraphControl::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  Container::SetBackColor(colour);
  picGraph.SetBackColor(colour);
  picUsage.SetBackColor(colour);
}

void GraphControl::SetFont(const std::string& face, int points, bool bold) {
  ItemNameLbl.SetFont(face, points, bold);
}

bool GraphControl::Enabled() const { return Control::Enabled(); }
void GraphControl::SetEnabled(bool on) { Control::SetEnabled(on); }

void GraphControl::SetMousePointer(HCURSOR cursor) {
  picGraph.SetMousePointer(cursor);
  picUsage.SetMousePointer(cursor);
}

void GraphControl::SetHideUsage(bool on) {
  hideUsage_ = on;
  UserControl_Resize();
}

void GraphControl::SetShowText(bool on) {
  showText_ = on;
  ItemNameLbl.SetVisible(on);
}

void GraphControl::SetFontColor(COLORREF colour) {
  fontColor_ = colour;
  ItemNameLbl.SetForeColor(colour);
}

void GraphControl::SetText(const std::string& text) {
  if (ItemNameLbl.Text() != text) ItemNameLbl.SetText(text);
}

void GraphControl::Refresh(HistogramCls* history, int series) {
  history_ = history;
  series_ = series;
  // Nothing to draw from: no history, or a series it does not have.
  if (!history_ || series_ < 0 || series_ > 2) {
    picGraph.Refresh();
    return;
  }
  currentValue_ = Sample(*history_, series_, history_->Get_Pointer(series_));
  // A missing newest sample reads as no use at all, not as "-1%".
  if (currentValue_ < 0) currentValue_ = 0;
  usageText_ = std::to_string(currentValue_) + "%";
  if (!hideUsage_) picUsage.Refresh();
  picGraph.Refresh();
}

void GraphControl::DrawMeter(HDC dc) {
  if (hideUsage_) return;
  const bool enabled = Enabled();
  const COLORREF grey = GraphDisabledColour();
  for (int i = 0; i < kStrips; ++i) {
    const bool lit = currentValue_ != 0 && currentValue_ >= 100 - 10 * i;
    const ui::OwnedBrush brush(CreateSolidBrush(!enabled ? grey : lit ? kLitStrip : barColor_));
    RECT strip = {5, 3 * i + 5, 56, 3 * i + 7};
    FillRect(dc, &strip, brush.get());
  }
  // The value sits at the bottom of the meter.
  RECT text = {0, 0, kMeterWidth, picUsage.ScaleHeight()};
  SetBkColor(dc, backColor_);
  SetTextColor(dc, kLitStrip);
  DrawTextA(dc, usageText_.c_str(), -1, &text, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

void GraphControl::DrawGraph(HDC dc) {
  if (!history_ || series_ < 0 || series_ > 2) return;
  const int W = picGraph.ScaleWidth(), H = picGraph.ScaleHeight();
  if (W <= 0 || H <= 0) return;
  const bool enabled = Enabled();
  const COLORREF lineColour = enabled ? foreColor_ : GraphDisabledColour();
  const COLORREF gridColour = enabled ? barColor_ : GraphDisabledColour();
  const int ty = vb::TwipsPerPixelY();
  // One grid cell is 15 pixels; 0 and 100 percent stay a margin inside the edges.
  const int cols = Px(W / 15.0), rows = Px(H / 15.0);
  const double m = std::max(H * ty / 200.0, 2.0);
  const double D = H - 2 * m;
  auto y = [&](int p) { return Px((D + m) - p * D / 100.0); };
  const int dataNum = history_->Get_DataNum(series_);
  const double step = dataNum > 0 ? double(W) / dataNum : 0;

  // A graph too small for one cell gets no grid rather than a division by zero.
  if (!solidGraph_ && rows > 0 && cols > 0) {
    PenAndBrush pen(dc, gridColour, false);
    for (int i = 0; i <= rows; ++i) {
      const int gy = Px((D + m) - i * D / rows);
      MoveToEx(dc, 0, gy, nullptr);
      LineTo(dc, W, gy);
    }
    for (int i = 0; i <= cols; ++i) {
      const int gx = Px(W - double(i) * W / cols);
      MoveToEx(dc, gx, 0, nullptr);
      LineTo(dc, gx, H);
    }
  }

  // Oldest first; gaps draw nothing, so the line joins the samples either side, and
  // it starts at the first real sample.
  std::vector<POINT> points;
  int k = history_->Get_Pointer(series_) + 1;
  if (k > dataNum) k = 0;
  for (int s = 0; s <= dataNum; ++s) {
    const int16_t v = Sample(*history_, series_, k);
    if (v >= 0) points.push_back({Px(s * step), y(v)});
    if (++k > dataNum) k = 0;
  }
  if (points.empty()) return;
  if (solidGraph_ && points.size() > 1) {
    // Only the area under the drawn line, between its first and last points.
    std::vector<POINT> area = points;
    area.push_back({points.back().x, H - 1});
    area.push_back({points.front().x, H - 1});
    PenAndBrush fill(dc, lineColour, true);
    Polygon(dc, area.data(), static_cast<int>(area.size()));
  }
  PenAndBrush pen(dc, lineColour, false);
  MoveToEx(dc, points[0].x, points[0].y, nullptr);
  for (const POINT& p : points) {
    LineTo(dc, p.x, p.y);
    SetPixelV(dc, p.x, p.y, lineColour);  // LineTo leaves out the end point
  }
}

void GraphControl::mnuGraphToolsCopy_Click() {
  if (!history_ || series_ < 0 || series_ > 2) return;
  const float scale = static_cast<float>(history_->Get_MaxValue(series_)) / 100.0f;
  const int dataNum = history_->Get_DataNum(series_);
  int k = history_->Get_Pointer(series_) + 1;
  if (k > dataNum) k = 0;
  std::string text;
  for (int s = 0; s <= dataNum; ++s) {
    const int16_t v = Sample(*history_, series_, k);
    text += (v < 0 ? std::string("-") : vb::StrSingle(v * scale)) + "\r\n";
    if (++k > dataNum) k = 0;
  }
  ui::SetClipboardText(hwnd_, text);
}

void GraphControl::mnuGraphToolsGraph_Click() {
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  // The clipboard owns the picture once it takes it.
  if (ui::OwnedBitmap picture{picGraph.Snapshot()})
    if (SetClipboardData(CF_BITMAP, picture.get())) picture.Release();
  CloseClipboard();
}

void GraphControl::Hover() {
  if (!hideTextOnHover_) return;
  ItemNameLbl.SetVisible(false);
  Timer1.SetEnabled(true);
}

void GraphControl::Timer1_Timer() {
  if (CheckHoverLeave(picGraph.hwnd())) return;
  ItemNameLbl.SetVisible(showText_);
  Timer1.SetEnabled(false);
}

bool GraphControl::CheckHoverLeave(HWND window) {
  POINT cursor;
  RECT r;
  if (!window || !GetCursorPos(&cursor) || !GetWindowRect(window, &r)) return false;
  return r.left < cursor.x && cursor.x < r.right && r.top < cursor.y && cursor.y < r.bottom;
}
