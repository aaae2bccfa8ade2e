#include "CheckUpdateFrm.h"

#include "ModMain.h"
#include "UpdateCheckParse.h"
#include "version.h"

CheckUpdateFrmForm CheckUpdateFrm;

const char kCheckFailedText[] = "The update check failed: ";

namespace {
const char kUpdateFile[] = "update_check.txt";
}  // namespace

CheckUpdateFrmForm::CheckUpdateFrmForm()
    : Window({.caption = "Quillon Auto-Update", .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, .width = 420,
              .height = 190, .centred = true}),
      statusLbl(*this, {12, 12, 396, 120}),
      CheckUpdatesBtn(*this, {12, 150, 120, 28}, "Check Updates"),
      UpdateBtn(*this, {150, 150, 120, 28}, "Download Update"),
      CloseBtn(*this, {288, 150, 120, 28}, "Close") {
  CheckUpdatesBtn.Click = [this] { CheckUpdatesBtn_Click(); };
  UpdateBtn.Click = [this] { UpdateBtn_Click(); };
  CloseBtn.Click = [this] { CloseBtn_Click(); };
  Inet1.StateChanged = [this](const ui::InetResult& result) { Inet1_StateChanged(result); };
}

void CheckUpdateFrmForm::Form_Load() {
  statusLbl.SetText("Press Check Updates to start checking new updates.");
  UpdateBtn.SetEnabled(false);
  CheckUpdatesBtn.SetEnabled(true);
}

void CheckUpdateFrmForm::CheckUpdatesBtn_Click() {
  statusLbl.SetText("Checking for updates, please wait ... ");
  // Nothing is saved beside the program: the answer stays in memory.
  if (Inet1.Execute(std::string(ProductWebSite) + "/" + kUpdateFile)) CheckUpdatesBtn.SetEnabled(false);
}

void CheckUpdateFrmForm::Inet1_StateChanged(const ui::InetResult& result) {
  CheckUpdatesBtn.SetEnabled(true);
  if (result.failed) {
    statusLbl.SetText(result.errorText + ":" + std::to_string(result.errorCode));
    return;
  }
  const updatecheck::UpdateAnswer answer = updatecheck::ParseUpdateAnswer(result.status, result.body, QP_VERSION_TEXT);
  if (!answer.failure.empty()) {
    // An error page or a cut answer says nothing about updates: "no new updates" would
    // tell the user the program is current when the check never learnt it.
    statusLbl.SetText(std::string(kCheckFailedText) + answer.failure + ".");
  } else if (answer.news) {
    statusLbl.SetText("New version number: " + answer.version + "\r\n" +
                      "New version was found. Press Download Update to go to download page" + "\r\n" + answer.notes);
    UpdateBtn.SetEnabled(true);
  } else {
    statusLbl.SetText("No new updates were found!");
  }
}

void CheckUpdateFrmForm::UpdateBtn_Click() { OpenUrl(std::string(ProductWebSite) + "/Download.htm"); }

void CheckUpdateFrmForm::CloseBtn_Click() { Unload(); }

// Closing mid-request is at once: the late answer finds no request and is dropped.
void CheckUpdateFrmForm::Form_Unload(bool& /*cancel*/) { Inet1.Cancel(); }
