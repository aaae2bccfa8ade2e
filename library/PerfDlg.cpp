#include "PerfDlg.h"

#include <cstdio>

#include "MemoryFigures.h"
#include "resource.h"

void CPerfDlg::PlaceGraph(CHistoryGraph& graph, int placeId) {
  RECT r = {};
  HWND place = GetDlgItem(hwnd(), placeId);
  GetWindowRect(place, &r);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  if (graph.Create(WS_CHILD | WS_VISIBLE, r, hwnd(), IDC_GRAPH)) graph.SetRange(0, 100);
}

void CPerfDlg::OnInitDialog() {
  PlaceGraph(cpuGraph_, IDC_CPU_GRAPH_PLACE);
  PlaceGraph(memoryGraph_, IDC_MEM_GRAPH_PLACE);
}

void CPerfDlg::Update(long cpuPercent) {
  if (!hwnd()) return;
  pellmon::MemoryFigures m = pellmon::ReadMemoryFigures();
  struct {
    int id;
    const char* label;
    long kb;
  } const texts[] = {
      {IDC_FREE_PHYS, "Free:", m.availPhysKb},       {IDC_TOTAL_PHYS, "Total:", m.totalPhysKb},
      {IDC_FREE_VIRTUAL, "Free:", m.availVirtualKb}, {IDC_TOTAL_VIRTUAL, "Total:", m.totalVirtualKb},
      {IDC_FREE_PAGE, "Free:", m.availPageKb},       {IDC_TOTAL_PAGE, "Total:", m.totalPageKb},
  };
  char text[64];
  for (const auto& t : texts) {
    std::snprintf(text, sizeof text, "%s\t%ld", t.label, t.kb);
    SetDlgItemTextA(hwnd(), t.id, text);
  }
  std::snprintf(text, sizeof text, "%ld", cpuPercent);
  SetDlgItemTextA(hwnd(), IDC_CPU_PERCENT, text);
  std::snprintf(text, sizeof text, "%d", m.pageFilePercent);
  SetDlgItemTextA(hwnd(), IDC_PAGE_PERCENT, text);
  memoryGraph_.SetValue(m.pageFilePercent);
  cpuGraph_.SetValue(static_cast<int>(cpuPercent));
}
