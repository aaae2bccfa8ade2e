#include "DetailsFrm.h"

#include "ModStartup.h"
#include "ViewBindings.h"

DetailsFrmForm DetailsFrm;

namespace {
// 1000 twips at 15 twips a pixel.
const int kColumnWidth = 67;
}  // namespace

DetailsFrmForm::DetailsFrmForm()
    : Window({.caption = "Program Details", .width = 640, .height = 420}),
      ProcLst(*this, {4, 4, 632, 200}),
      ModsLst(*this, {4, 210, 632, 206}) {
  const char* const modules[13] = {"Module Name",  "Handle",           "Path",          "Size (in bytes)",
                                   "Base address", "Company Name",     "File Description", "File Version",
                                   "Internal Name", "Legal Copyright", "Original FileName", "Product Name",
                                   "Product Version"};
  for (const char* title : modules) ModsLst.AddColumn(title, title, kColumnWidth);
  Views.details = {.form = this, .ProcLst = &ProcLst, .ModsLst = &ModsLst,
                   .RefreshMe = [] { DetailsFrm.RefreshMe(); }};
}

// The platform is known only once start-up has run.
void DetailsFrmForm::Form_Load() { CreateProcColumns(IsWinNTFlag); }

void DetailsFrmForm::CreateProcColumns(bool windowsNT) {
  ProcLst.ClearColumns();
  ProcLst.AddColumn("Process ID", "Process ID", kColumnWidth);
  if (!windowsNT) ProcLst.AddColumn("No. of threads", "No. of threads", kColumnWidth);
  ProcLst.AddColumn("Priority", "Priority", kColumnWidth);
  ProcLst.AddColumn("Committed memory", "Commited memory (k)", kColumnWidth);
  ProcLst.AddColumn("Reserved memory", "Reserved memory (k)", kColumnWidth);
  ProcLst.AddColumn("Free memory", "Free memory (k)", kColumnWidth);
  if (windowsNT)
    for (const char* title : {"Local Port", "Local Host", "Remote Port", "Remote Host"})
      ProcLst.AddColumn(title, title, kColumnWidth);
}

// The pages that show a program's details arrive with the window itself.
void DetailsFrmForm::RefreshMe() {}

void DetailsFrmForm::RefFrm(const std::string& path, bool) { CurrentPath = path; }

void DetailsFrmForm::ShowPage(const std::string& key) { CurrentPage = key; }
