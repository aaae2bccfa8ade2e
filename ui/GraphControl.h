// The usage meter beside a scrolling history graph, with an optional name label over
// the graph. The control keeps no samples: a caller hands it a history and one of its
// three series, and it draws that series and its latest sample. Each form sets its
// instances' properties in code.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Container.h"
#include "Controls.h"
#include "Menu.h"
#include "PictureBox.h"
#include "Timer.h"

class HistogramCls;

class GraphControl : public ui::Container {
 public:
  GraphControl(ui::Window& owner, ui::Bounds bounds);
  ~GraphControl() override;

  // Keeps the history and the series, then draws them.
  void Refresh(HistogramCls* history, int series);
  void SetText(const std::string& text);
  std::string Text() const { return ItemNameLbl.Text(); }
  // The latest sample drawn; 0 before the first drawing.
  int16_t PercentUsed() const { return currentValue_; }

  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour) { foreColor_ = colour; }
  COLORREF BarColor() const { return barColor_; }
  void SetBarColor(COLORREF colour) { barColor_ = colour; }
  void SetFont(const std::string& face, int points, bool bold = false);
  bool Enabled() const;
  void SetEnabled(bool on);
  // The cursor over the graph and the meter (nullptr: the arrow).
  void SetMousePointer(HCURSOR cursor);
  bool SolidGraph() const { return solidGraph_; }
  void SetSolidGraph(bool on) { solidGraph_ = on; }
  bool HideUsage() const { return hideUsage_; }
  void SetHideUsage(bool on);
  bool ShowText() const { return showText_; }
  void SetShowText(bool on);
  COLORREF FontColor() const { return fontColor_; }
  void SetFontColor(COLORREF colour);
  int32_t HideTextOnHover() const { return hideTextOnHover_; }
  void SetHideTextOnHover(int32_t on) { hideTextOnHover_ = on; }
  // The meter's text ("45%"), as its label shows it.
  const std::string& UsageText() const { return usageText_; }

  void Move(ui::Bounds bounds);
  // The pop-up menu's two commands.
  void mnuGraphToolsCopy_Click();
  void mnuGraphToolsGraph_Click();
  void Timer1_Timer();
  // Tells whether the cursor is strictly inside a window (its edge pixels count as outside).
  static bool CheckHoverLeave(HWND window);

  // The control's events. Change is declared as the others but never raised.
  std::function<void()> Change, Click, DblClick;

  // The constituent controls, public so a test can read what they show.
  ui::PictureBox picUsage;
  ui::PictureBox picGraph;
  ui::Label ItemNameLbl;
  ui::Timer Timer1;

 protected:
  void Create() override;

 private:
  void UserControl_Resize();
  void PlaceNameLabel();
  void DrawMeter(HDC dc);
  void DrawGraph(HDC dc);
  void Hover();
  void ForwardMouse(ui::Control& part, int dx, int dy);

  COLORREF barColor_ = RGB(0x80, 0x80, 0x80);
  COLORREF foreColor_ = RGB(0, 0xFF, 0);
  COLORREF backColor_ = RGB(0, 0, 0xFF);
  COLORREF fontColor_ = 0;
  bool solidGraph_ = false, hideUsage_ = false, showText_ = false;
  int32_t hideTextOnHover_ = 0;
  int16_t currentValue_ = 0;
  std::string usageText_ = "0%";
  HistogramCls* history_ = nullptr;
  int series_ = 0;
  ui::Menu menu_;
  ui::MenuItem* mnuGraphTools_ = nullptr;
};

// The colour of grey text, in which a disabled graph draws everything.
COLORREF GraphDisabledColour();
