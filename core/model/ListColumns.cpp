#include "ListColumns.h"

namespace {

enum class Family { kAll, kNtOnly, k9xOnly };

struct Entry {
  int field;
  const char* title;
  int width;  // times 5.6 on the lists page
  ui::SortKind sort;
  Family family;
  const char* key = nullptr;  // the place in the family's table when none
};

const ui::SortKind kText = ui::SortKind::kText;
const ui::SortKind kNumber = ui::SortKind::kNumber;

// The risk rating sorts as text on the lists page: the cell shows the rating's words.
// The fourth title differs between the families by its capital "K".
const Entry kPrograms[] = {
    {kProgColTitle, "Program Title", 15, kText, Family::kAll},
    {kProgColRisk, "Risk Rating", 41, kText, Family::kAll},
    {kProgColPath, "Full Path", 40, kText, Family::kAll},
    {kProgColCommitted, "Committed memory (K)", 11, kNumber, Family::kNtOnly},
    {kProgColCommitted, "Committed memory (k)", 11, kNumber, Family::k9xOnly},
    {kProgColReserved, "Reserved memory (k)", 11, kNumber, Family::kAll},
    {kProgColFree, "Free memory (k)", 11, kNumber, Family::kAll},
    {kProgColPriority, "Priority (Performance)", 10, kText, Family::kAll},
    {kProgColCpu, "CPU usage (%)", 5, kNumber, Family::kNtOnly},
    {kProgColInstances, "Processes", 5, kNumber, Family::kAll},
    {kProgColDescription, "Program Description", 40, kText, Family::kAll},
    {kProgColCompany, "Company Name", 22, kText, Family::kAll},
    {kProgColProduct, "Product name", 25, kText, Family::kAll},
};

const Entry kWindows[] = {
    {kWndColName, "Window Name", 20, kText, Family::kAll},
    {kWndColStatus, "Status", 14, kText, Family::kAll},
    {kWndColHandle, "Handle", 7, kNumber, Family::kAll},
    {kWndColExeFile, "Exe File", 40, kText, Family::kAll},
    {kWndColVisible, "Visible", 10, kText, Family::kAll},
    {kWndColOnTop, "Always on-Top", 14, kText, Family::kAll},
    {kWndColEnabled, "Enabled", 10, kText, Family::kAll},
    {kWndColProcessId, "Process ID", 10, kNumber, Family::kAll},
    {kWndColThreadId, "Thread ID", 10, kNumber, Family::kAll},
    {kWndColPosition, "Position", 21, kText, Family::kAll},
};

// The ports come from netstat, which only the NT family has; the thread count only
// from the 9x walk. The memory titles keep their historic spelling.
const Entry kDetailsProcesses[] = {
    {kDetProcId, "Process ID", 0, kNumber, Family::kAll, "Process ID"},
    {kDetProcThreads, "No. of threads", 0, kNumber, Family::k9xOnly, "No. of threads"},
    {kDetProcPriority, "Priority", 0, kText, Family::kAll, "Priority"},
    {kDetProcCommitted, "Commited memory (k)", 0, kNumber, Family::kAll, "Committed memory"},
    {kDetProcReserved, "Reserved memory (k)", 0, kNumber, Family::kAll, "Reserved memory"},
    {kDetProcFree, "Free memory (k)", 0, kNumber, Family::kAll, "Free memory"},
    {kDetProcLocalPort, "Local Port", 0, kNumber, Family::kNtOnly, "Local Port"},
    {kDetProcLocalHost, "Local Host", 0, kText, Family::kNtOnly, "Local Host"},
    {kDetProcRemotePort, "Remote Port", 0, kNumber, Family::kNtOnly, "Remote Port"},
    {kDetProcRemoteHost, "Remote Host", 0, kText, Family::kNtOnly, "Remote Host"},
};

// The module list reads the same on both families.
const Entry kDetailsModules[] = {
    {kDetModName, "Module Name", 0, kText, Family::kAll, "Module Name"},
    {kDetModHandle, "Handle", 0, kText, Family::kAll, "Handle"},
    {kDetModPath, "Path", 0, kText, Family::kAll, "Path"},
    {kDetModSize, "Size (in bytes)", 0, kNumber, Family::kAll, "Size (in bytes)"},
    {kDetModBase, "Base address", 0, kText, Family::kAll, "Base address"},
    {kDetModCompany, "Company Name", 0, kText, Family::kAll, "Company Name"},
    {kDetModDescription, "File Description", 0, kText, Family::kAll, "File Description"},
    {kDetModFileVersion, "File Version", 0, kText, Family::kAll, "File Version"},
    {kDetModInternalName, "Internal Name", 0, kText, Family::kAll, "Internal Name"},
    {kDetModCopyright, "Legal Copyright", 0, kText, Family::kAll, "Legal Copyright"},
    {kDetModOriginalName, "Original FileName", 0, kText, Family::kAll, "Original FileName"},
    {kDetModProductName, "Product Name", 0, kText, Family::kAll, "Product Name"},
    {kDetModProductVersion, "Product Version", 0, kText, Family::kAll, "Product Version"},
};

template <size_t N>
std::vector<ListColumn> Resolve(const Entry (&table)[N], bool windowsNT) {
  std::vector<ListColumn> columns;
  for (const Entry& e : table) {
    if (e.family == (windowsNT ? Family::k9xOnly : Family::kNtOnly)) continue;
    const std::string key = e.key ? e.key : "K" + std::to_string(columns.size());
    columns.push_back({e.field, key, e.title, e.width * 5.6, e.sort});
  }
  return columns;
}

}  // namespace

const std::vector<ListColumn>& ListColumns(ColumnList list, bool windowsNT) {
  static const std::vector<ListColumn> resolved[4][2] = {
      {Resolve(kPrograms, false), Resolve(kPrograms, true)},
      {Resolve(kWindows, false), Resolve(kWindows, true)},
      {Resolve(kDetailsProcesses, false), Resolve(kDetailsProcesses, true)},
      {Resolve(kDetailsModules, false), Resolve(kDetailsModules, true)},
  };
  return resolved[static_cast<int>(list)][windowsNT ? 1 : 0];
}

int ColumnIndexOf(ColumnList list, bool windowsNT, int field) {
  const std::vector<ListColumn>& columns = ListColumns(list, windowsNT);
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].field == field) return static_cast<int>(i);
  return -1;
}
