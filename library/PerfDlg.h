// The performance window: CPU and page-file use as numbers and as history graphs,
// and the free and total memory. It changes only when it is told to update.
#pragma once
#include "HistoryGraph.h"
#include "ModelessDialog.h"

class CPerfDlg : public CModelessDialog {
 public:
  CPerfDlg() = default;
  // Refreshes every figure and adds one value to each graph.
  void Update(long cpuPercent);

  CHistoryGraph& CpuGraph() { return cpuGraph_; }
  CHistoryGraph& MemoryGraph() { return memoryGraph_; }

 protected:
  void OnInitDialog() override;

 private:
  void PlaceGraph(CHistoryGraph& graph, int placeId);

  CHistoryGraph cpuGraph_;
  CHistoryGraph memoryGraph_;
};
