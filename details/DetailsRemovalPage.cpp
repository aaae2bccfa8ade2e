#include "DetailsRemovalPage.h"

#include "CancelEvent.h"
#include "DetailsFrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "MoreToolsFrm.h"
#include "SpywareSearchFrm.h"
#include "StartUpEntries.h"
#include "ViewBindings.h"

namespace {
const char* const kTerminateWarning =
    "Terminating a program can cause undesired results including loss of data and system instability. "
    "Are you sure you want to terminate the selected program(s)";
}  // namespace

DetailsRemovalPage::DetailsRemovalPage(DetailsFrmForm& form, ui::Container& frame)
    : Label4(form, {0, 0, 624, 32},
             "The following are some tools that help you stop/remove running programs that you think may be "
             "harmeful:"),
      TerminateProg(form, {0, 40, 170, 26}, "Terminate Program"),
      QrtBtn(form, {0, 106, 170, 26}, "Send To the Quarantine"),
      RemStartUpBtn(form, {0, 188, 170, 26}, "Remove from Start-up"),
      SearchBtn(form, {0, 254, 170, 26}, "Search the Internet"),
      RemLbl{{form, {180, 40, 444, 62},
              "Instantly terminates the specified program. You will lose any unsaved information. The program will "
              "not have the chance to stop itself from termination."},
             {form, {180, 106, 444, 78},
              "Terminate and Isolate the specified program. This tools is important in some cases, for example the "
              "program may be using some tricks to run itself once it's terminated. When quarantined, Quillon "
              "terminates the file and instantly renames it, thus it can't be launched again. You can manage "
              "quarantined files from Quarantine list. "},
             {form, {180, 188, 444, 62},
              "Disables the specified program from start-up. This button will be disabled if the program is not "
              "already in start-up list. You can enable the program again from Start-up manager"},
             {form, {180, 254, 444, 30}, "Search top spyware databases for this program. "}},
      Label7{{form, {0, 306, 150, 18}, "Open Quarantine"}, {form, {170, 306, 200, 18}, "Open Start-up Manager"}},
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Label4, &TerminateProg, &QrtBtn, &RemStartUpBtn,
                                                            &SearchBtn, &Label7[0], &Label7[1]})
    c->SetContainer(frame);
  for (ui::Label& label : RemLbl) label.SetContainer(frame);
  for (int i = 0; i < 2; ++i) {
    Label7[i].SetForeColor(RGB(0, 0, 255));
    Label7[i].Click = [this, i] { Label7_Click(i); };
  }
  TerminateProg.Click = [this] { TerminateProg_Click(); };
  QrtBtn.Click = [this] { QrtBtn_Click(); };
  RemStartUpBtn.Click = [this] { RemStartUpBtn_Click(); };
  SearchBtn.Click = [this] { SearchBtn_Click(); };
}

void DetailsRemovalPage::TerminateProg_Click() {
  if (MsgBox(std::string(kTerminateWarning) + "?", MB_YESNO | MB_ICONQUESTION, form_.hwnd()) == IDNO) return;
  if (Views.lists.DestroyAndRes) Views.lists.DestroyAndRes(form_.CurrentPath, false);
  form_.RefFrm(form_.CurrentPath, false);
}

void DetailsRemovalPage::QrtBtn_Click() {
  if (MsgBox(std::string(kTerminateWarning) + " and move it to the quarantine?", MB_YESNO | MB_ICONQUESTION,
             form_.hwnd()) == IDNO)
    return;
  const std::string path = form_.CurrentPath;
  StatusScope status("Terminating and isolating: " + path + " ...");
  ui::PauseServingEvents(500, [&status] { return status.Cancelled(); });
  if (!status.Cancelled() && TerminateAndQuarantine(path) == 0)
    MsgBox("The program " + path + " can't be send to the quarantine.", MB_OK | MB_ICONERROR, form_.hwnd());
}

void DetailsRemovalPage::RemStartUpBtn_Click() {
  const int16_t k = MoreToolsFrm.SearchStartUpLV(form_.CurrentPath);
  if (k >= 1) {
    ui::ListView& list = MoreToolsFrm.StartUpLV;
    for (int row : list.SelectedRows()) list.SetSelected(row, false);
    list.SetSelected(ui::ListView::FromOneBased(k), true);
    MoreToolsFrm.EnableBtn_Click(1);
  }
  RemStartUpBtn.SetEnabled(IsEnabledStartUpProgram(form_.CurrentPath));
}

void DetailsRemovalPage::SearchBtn_Click() {
  // The path first: unloading empties it.
  const std::string path = form_.CurrentPath;
  SpywareSearchFrm.Load();
  form_.Unload();
  SpywareSearchFrm.ShowSpywareSearchFrm(path);
}

void DetailsRemovalPage::Label7_Click(int index) {
  if (index == 0) {
    ShowFrm(Views.quarantine.form);
    return;
  }
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("MoreTools");
  MoreToolsFrm.SSTab1.SetTab(2);
  const int16_t k = MoreToolsFrm.SearchStartUpLV(form_.CurrentPath);
  if (k < 1) return;
  ui::ListView& list = MoreToolsFrm.StartUpLV;
  const int row = ui::ListView::FromOneBased(k);
  for (int selected : list.SelectedRows()) list.SetSelected(selected, false);
  list.SetSelected(row, true);
  if (list.hwnd()) SendMessageA(list.hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}
