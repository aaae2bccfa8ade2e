// The columns of the lists page's two lists and of the details window's process and
// module lists,
// each described once: what the column shows, its key, its header, its width, how it
// sorts and on which family of Windows it is shown. The lists page, the column
// settings ("AppList", "WndList": one flag a column, in table order), the options
// dialog's column boxes and the details window all read their columns here.
#pragma once
#include <string>
#include <vector>

#include "ListSort.h"

enum class ColumnList { kPrograms, kWindows, kDetailsProcesses, kDetailsModules };

// What a program row's column shows.
enum ProgColumnField {
  kProgColTitle,
  kProgColRisk,
  kProgColPath,
  kProgColCommitted,
  kProgColReserved,
  kProgColFree,
  kProgColPriority,
  kProgColCpu,
  kProgColInstances,
  kProgColDescription,
  kProgColCompany,
  kProgColProduct,
};

// What a window row's column shows; the window list is the same on every family, so a
// field is also its column's place in the table.
enum WndColumnField {
  kWndColName,
  kWndColStatus,
  kWndColHandle,
  kWndColExeFile,
  kWndColVisible,
  kWndColOnTop,
  kWndColEnabled,
  kWndColProcessId,
  kWndColThreadId,
  kWndColPosition,
};

// What a row of the details window's process list shows.
enum DetailsProcColumnField {
  kDetProcId,
  kDetProcThreads,
  kDetProcPriority,
  kDetProcCommitted,
  kDetProcReserved,
  kDetProcFree,
  kDetProcLocalPort,
  kDetProcLocalHost,
  kDetProcRemotePort,
  kDetProcRemoteHost,
};

// What a row of the details window's module list shows.
enum DetailsModColumnField {
  kDetModName,
  kDetModHandle,
  kDetModPath,
  kDetModSize,
  kDetModBase,
  kDetModCompany,
  kDetModDescription,
  kDetModFileVersion,
  kDetModInternalName,
  kDetModCopyright,
  kDetModOriginalName,
  kDetModProductName,
  kDetModProductVersion,
};

struct ListColumn {
  int field;
  // The lists page's columns are keyed by their place in the family's table ("K0",
  // "K3" ...): the column settings are a flag a place, so the place is what a column
  // is known by.
  std::string key;
  std::string title;
  // The lists page's widths: the table's number times 5.6. The details window's
  // columns all take that window's one width, and carry 0 here.
  double width;
  ui::SortKind sort;
};

// The list's columns on the given family of Windows, in table order.
const std::vector<ListColumn>& ListColumns(ColumnList list, bool windowsNT);

// The place in the family's table of the column that shows `field`; -1 when the
// family shows no such column.
int ColumnIndexOf(ColumnList list, bool windowsNT, int field);
