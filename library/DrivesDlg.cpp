#include "DrivesDlg.h"

#include <commctrl.h>

#include <cstdio>

#include "resource.h"

namespace {

const char* const kColumns[] = {"Drive", "Type", "Free Space(MB)", "Used Space(MB)",
                                "Total Space(MB)"};

const char* DriveTypeName(UINT type) {
  switch (type) {
    case DRIVE_REMOVABLE: return "Removable";
    case DRIVE_FIXED: return "Fixed";
    case DRIVE_REMOTE: return "Remote";
    case DRIVE_CDROM: return "CDRom";
    case DRIVE_RAMDISK: return "RamDisk";
    default: return nullptr;
  }
}

double Megabytes(unsigned long long bytes) { return static_cast<double>(bytes >> 10) / 1024.0; }

void SetCell(HWND list, int item, int column, const char* text) {
  LVITEMA lvi = {};
  lvi.iSubItem = column;
  lvi.pszText = const_cast<char*>(text);
  SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi));
}

}  // namespace

HWND CDrivesDlg::List() const { return GetDlgItem(hwnd(), IDC_DRIVE_LIST); }

void CDrivesDlg::OnInitDialog() {
  // Missing before Windows 95 OSR2; the older call then gives the space.
  freeSpaceEx_ = reinterpret_cast<FreeSpaceExFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA"));
  HWND list = List();
  DWORD ex = static_cast<DWORD>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  ex |= LVS_EX_HEADERDRAGDROP | LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB;
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex);
  RECT client;
  GetClientRect(list, &client);
  for (int i = 0; i < 5; ++i) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(kColumns[i]);
    col.cx = client.right / 4;
    col.iSubItem = i;
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  }
  sorter_ = std::make_unique<CListSorter>(
      list, std::vector<CListSorter::Kind>{CListSorter::kText, CListSorter::kText,
                                           CListSorter::kNumber, CListSorter::kNumber,
                                           CListSorter::kNumber});
  Fill();
}

void CDrivesDlg::Fill() {
  HWND list = List();
  if (!list) return;
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    char root[4] = {static_cast<char>('A' + letter), ':', '\\', '\0'};
    const char* typeName = DriveTypeName(GetDriveTypeA(root));
    if (!typeName) continue;
    // An empty floppy or CD drive fails here and shows 0 everywhere (the system is
    // asked not to put up its "no disk" box for it).
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    unsigned long long total = 0, free = 0;
    if (freeSpaceEx_) {
      ULARGE_INTEGER callerFree, totalBytes, totalFree;
      if (freeSpaceEx_(root, &callerFree, &totalBytes, &totalFree)) {
        total = totalBytes.QuadPart;
        free = totalFree.QuadPart;
      }
    } else {
      DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
      if (GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                            &totalClusters)) {
        unsigned long long cluster = 1ull * sectorsPerCluster * bytesPerSector;
        total = cluster * totalClusters;
        free = cluster * freeClusters;
      }
    }
    SetErrorMode(oldMode);
    unsigned long long used = total > free ? total - free : 0;

    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    lvi.pszText = root;
    int item = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
    if (item < 0) continue;
    SetCell(list, item, 1, typeName);
    char number[64];
    const unsigned long long figures[] = {free, used, total};
    for (int i = 0; i < 3; ++i) {
      std::snprintf(number, sizeof number, "%.2f", Megabytes(figures[i]));
      SetCell(list, item, 2 + i, number);
    }
  }
}

INT_PTR CDrivesDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header->idFrom == IDC_DRIVE_LIST && header->code == LVN_COLUMNCLICK) {
      if (sorter_) sorter_->ColumnClicked(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
      SetWindowLongPtrA(hwnd(), DWLP_MSGRESULT, 0);
      return TRUE;
    }
  }
  return CModelessDialog::OnMessage(msg, wp, lp);
}
