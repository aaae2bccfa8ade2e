#include "DetailsModulesPage.h"

#include "DetailsFrm.h"
#include "ListColumns.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModStartupPlatform.h"

DetailsModulesPage::DetailsModulesPage(DetailsFrmForm& form, ui::Container& frame)
    : Label2(form, {0, 0, 624, 32},
             "The following is a list of all modules, executable files, or dynamic-link libraries (DLL) used by the "
             "specified program:"),
      ModsLst(form, {0, 34, 624, 294}),
      form_(form) {
  Label2.SetContainer(frame);
  ModsLst.SetContainer(frame);
  for (const ListColumn& c : ListColumns(ColumnList::kDetailsModules, IsWinNTFlag))
    ModsLst.AddColumn(c.key, c.title, kDetailsColumnWidth);
}

void DetailsModulesPage::Form_Load() { ModsLst.SetVisible(!IsNT4); }

void DetailsModulesPage::ListModules() {
  const DWORD pid = form_.Processes.SelectedOwnProcess();
  if (!pid) return;
  ui::ListView::RedrawGuard guard(ModsLst);
  DetailsRefreshing = true;
  ListProcessModules(pid, nullptr);
  DetailsRefreshing = false;
}
