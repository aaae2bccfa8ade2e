// The drives window: each drive with its type and free, used and total space in MB,
// sortable by a click on a column header.
#pragma once
#include <memory>

#include "ListSorter.h"
#include "ModelessDialog.h"

class CDrivesDlg : public CModelessDialog {
 public:
  CDrivesDlg() = default;
  // Lists the drives again, in drive-letter order.
  void Fill();
  HWND List() const;

 protected:
  void OnInitDialog() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  typedef BOOL(WINAPI* FreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  FreeSpaceExFn freeSpaceEx_ = nullptr;
  std::unique_ptr<CListSorter> sorter_;
};
