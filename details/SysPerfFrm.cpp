#include "SysPerfFrm.h"

#include <windows.h>

#include <algorithm>

#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModStartup.h"
#include "PerfHistories.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "ViewBindings.h"

SysPerfFrmForm SysPerfFrm;

namespace {
int FirstChosen(ui::OptionButton* const (&options)[3]) {
  for (int i = 0; i < 3; ++i)
    if (options[i]->Value()) return i;
  return 0;
}

void SetupGraph(GraphControl& graph) {
  graph.SetBarColor(RGB(0x80, 0x80, 0x80));
  graph.SetForeColor(RGB(0, 0xFF, 0));
  graph.SetBackColor(0);
  graph.SetSolidGraph(false);
  graph.SetHideUsage(false);
  graph.SetShowText(false);
}
}  // namespace

std::string FormatMemFigure(int64_t kb) {
  if (kb == 0) return "";
  // Wine's default grouping writes 1234567 as "1234,567": the record says "3" itself.
  char thousands[8] = ",", decimal[8] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands, sizeof thousands);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
  NUMBERFMTA format = {0, 0, 3, decimal, thousands, 1};
  const std::string number = std::to_string(kb);
  char out[64] = "";
  if (!GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number.c_str(), &format, out, sizeof out)) return number;
  return out;
}

SysPerfFrmForm::SysPerfFrmForm()
    : Window({.caption = "System Performance", .style = WS_POPUP, .width = 600, .height = 400,
              .keyPreview = true}),
      Label2(*this, {12, 10, 60, 16}, "Uptime: "),
      UptimeLbl(*this, {72, 10, 120, 16}, "000:00:00"),
      Frame1(*this, {12, 32, 180, 92}, "Memory Information"),
      MemInfoOpt0(*this, {10, 20, 160, 18}, "Physical Memory (Kb)", true),
      MemInfoOpt1(*this, {10, 42, 160, 18}, "Virtual Memory (Kb)"),
      MemInfoOpt2(*this, {10, 64, 160, 18}, "Paging (Kb)"),
      MemInfoOpt{&MemInfoOpt0, &MemInfoOpt1, &MemInfoOpt2},
      // The figures get the room of the largest: a 64-bit program's address space,
      // 128 TB, is "137,438,953,344" KB. So the three frames stand in a row of their own
      // under the choices, and everything stays within the page's 569 x 400 pixels.
      Frame2_0(*this, {12, 130, 148, 60}, "Physical Memory"),
      Frame2_1(*this, {166, 130, 148, 60}, "Virtual Memory"),
      Frame2_2(*this, {320, 130, 148, 60}, "Paging File"),
      Frame2{&Frame2_0, &Frame2_1, &Frame2_2},
      Label1_0(*this, {6, 18, 38, 16}, "Free:"), Label1_1(*this, {6, 38, 38, 16}, "Total: "),
      Label1_2(*this, {6, 18, 38, 16}, "Free:"), Label1_3(*this, {6, 38, 38, 16}, "Total: "),
      Label1_4(*this, {6, 18, 38, 16}, "Free:"), Label1_5(*this, {6, 38, 38, 16}, "Total: "),
      MemDataLbl0(*this, {44, 18, 98, 16}, "", SS_RIGHT), MemDataLbl1(*this, {44, 38, 98, 16}, "", SS_RIGHT),
      MemDataLbl2(*this, {44, 18, 98, 16}, "", SS_RIGHT), MemDataLbl3(*this, {44, 38, 98, 16}, "", SS_RIGHT),
      MemDataLbl4(*this, {44, 18, 98, 16}, "", SS_RIGHT), MemDataLbl5(*this, {44, 38, 98, 16}, "", SS_RIGHT),
      MemDataLbl{&MemDataLbl0, &MemDataLbl1, &MemDataLbl2, &MemDataLbl3, &MemDataLbl4, &MemDataLbl5},
      Frame3_0(*this, {12, 196, 548, 98}, "CPU usage History"),
      Frame3_1(*this, {12, 300, 548, 98}, "Physical Memory usage history"),
      CpuUsageGrph(*this, {8, 18, 532, 72}),
      MemUsageGrph(*this, {8, 18, 532, 72}),
      IntervalFrame(*this, {200, 32, 360, 32}, ""),
      IntervalOpt0(*this, {8, 10, 108, 18}, "This minute", true),
      IntervalOpt1(*this, {120, 10, 108, 18}, "This hour"),
      IntervalOpt2(*this, {232, 10, 120, 18}, "This 24 hours"),
      IntervalOpt{&IntervalOpt0, &IntervalOpt1, &IntervalOpt2} {
  for (auto* option : MemInfoOpt) option->SetContainer(Frame1);
  ui::Label* names[6] = {&Label1_0, &Label1_1, &Label1_2, &Label1_3, &Label1_4, &Label1_5};
  for (int i = 0; i < 6; ++i) {
    names[i]->SetContainer(*Frame2[i / 2]);
    MemDataLbl[i]->SetContainer(*Frame2[i / 2]);
  }
  CpuUsageGrph.SetContainer(Frame3_0);
  MemUsageGrph.SetContainer(Frame3_1);
  for (auto* option : IntervalOpt) option->SetContainer(IntervalFrame);
  MemInfoOpt0.SetValue(true);  // physical memory at load
  IntervalOpt0.SetValue(true);
  SetupGraph(CpuUsageGrph);
  SetupGraph(MemUsageGrph);

  for (auto* option : MemInfoOpt) option->Click = [] { SysPerfFrm.RefreshMe(); };
  for (auto* option : IntervalOpt) option->Click = [] { SysPerfFrm.RefreshMe(); };
  Hint(Frame2_0, "Actual amount of hard RAM");
  Hint(Frame2_1, "Amount of Virual Memory");
  Hint(Frame2_2, "System paging file (swap file) is the means by which Windows implements virtual memory");
  Hint(MemInfoOpt0, "Click to change the memory graph to Physical Memory");
  Hint(MemInfoOpt1, "Click to change the memory graph to Virual Memory");
  Hint(MemInfoOpt2, "Click to change the memory to Paging");
  for (auto* option : IntervalOpt) Hint(*option, "Click the refresh button at the right to enable all buttons");
  Hint(Label2, "The time that has elapsed since the system was started");
  Hint(UptimeLbl, "The time that has elapsed since the system was started");

  Views.performance = {.form = this, .RefreshMe = [](bool fromLoop) { SysPerfFrm.RefreshMe(fromLoop); }};
}

void SysPerfFrmForm::Hint(ui::Control& control, const char* text) {
  control.MouseMove = [text](int, int, int, int) { SetHintText(text); };
}

void SysPerfFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  for (ui::Frame* frame : {&Frame1, &Frame2_0, &Frame2_1, &Frame2_2, &Frame3_0, &Frame3_1, &IntervalFrame})
    frame->SetBackColor(FormBackColor);
  SysPerfLoaded = true;
}

void SysPerfFrmForm::Form_Resize() {
  // The page fills the frame's page area, narrower than the page's design at the
  // frame's smallest size. The figures take a row of their own, so each has room for
  // the largest memory a 64-bit system reports; the two choices follow in rows, and
  // the graphs share the rest of the height.
  const int margin = 8, gap = 6, w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  const int width = std::max(w - 2 * margin, 3 * 120);
  const int figuresWidth = (width - 2 * gap) / 3;
  // "Total: " takes 36 pixels in Wine's dialog font.
  const int captionWidth = 40, figureLeft = 6 + captionWidth;
  ui::Label* names[6] = {&Label1_0, &Label1_1, &Label1_2, &Label1_3, &Label1_4, &Label1_5};
  for (int i = 0; i < 3; ++i) {
    Frame2[i]->Move({margin + i * (figuresWidth + gap), 32, figuresWidth, 60});
    for (int row = 0; row < 2; ++row) {
      names[2 * i + row]->Move({6, 18 + 20 * row, captionWidth, 16});
      MemDataLbl[2 * i + row]->Move({figureLeft, 18 + 20 * row, figuresWidth - figureLeft - 6, 16});
    }
  }
  const int optionWidth = (width - 16) / 3;
  Frame1.Move({margin, 98, width, 42});
  for (int i = 0; i < 3; ++i) MemInfoOpt[i]->Move({8 + i * optionWidth, 17, optionWidth - 4, 18});
  IntervalFrame.Move({margin, 146, width, 32});
  for (int i = 0; i < 3; ++i) IntervalOpt[i]->Move({8 + i * optionWidth, 10, optionWidth - 4, 18});
  const int graphsTop = 184;
  const int graphHeight = std::max((h - graphsTop - margin - gap) / 2, 60);
  Frame3_0.Move({margin, graphsTop, width, graphHeight});
  Frame3_1.Move({margin, graphsTop + graphHeight + gap, width, graphHeight});
  for (GraphControl* graph : {&CpuUsageGrph, &MemUsageGrph}) graph->Move({8, 18, width - 16, graphHeight - 26});
}

void SysPerfFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("Performance");
  if (keyCode == VK_F5) RefreshMe();
}

void SysPerfFrmForm::RefreshMe(bool /*fromLoop*/) {
  Load();
  // The tick read unsigned: the uptime stays right past 24.8 days.
  UptimeLbl.SetText(SecsToTimeStr(static_cast<int32_t>(GetTickCount() / 1000u)));
  const int m = FirstChosen(MemInfoOpt);
  const std::string caption = MemInfoOpt[m]->Text();
  Frame3_1.SetText(caption.substr(0, caption.size() >= 4 ? caption.size() - 4 : 0) + "usage history");
  const int s = FirstChosen(IntervalOpt);
  // No figures yet: the labels stay empty rather than reading past the array.
  for (int i = 0; i < 6; ++i)
    MemDataLbl[i]->SetText(PerfInfoData.size() >= 8 ? FormatMemFigure(MemoryFigureKb(PerfInfoData, 2 + i)) : "");
  UpdateSysPerf();
  if (!ViewVisible(Views.frame.form)) return;
  CpuUsageGrph.Refresh(CpuHistory.get(), s);
  MemUsageGrph.Refresh(MemHistory[m].get(), s);
}

void SysPerfFrmForm::UpdateSysPerf() { SamplePerfHistories(); }
