#include "frmAbout.h"

#include "FramePictures.h"
#include "ModMain.h"
#include "OwnedHandle.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "version.h"

frmAboutForm frmAbout;

namespace {
const char kSysInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kSysInfoLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

frmAboutForm::frmAboutForm()
    : Window({.caption = "About", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU, .width = 380, .height = 200,
              .centred = true}),
      Image1(*this, {12, 12, 96, 32}),
      AppNameLbl(*this, {120, 16, 248, 20}, "Application Name"),
      Label2(*this, {120, 48, 40, 18}, "Web:"),
      ContactLbl(*this, {160, 48, 208, 18}, ProductWebSite),
      Label4(*this, {120, 76, 248, 36}, "A task manager, system monitor and pop-up blocker for Windows."),
      RegInfoLbl(*this, {12, 124, 356, 18}, ""),
      cmdOK(*this, {268, 160, 100, 28}, "OK"),
      cmdSysInfo(*this, {156, 160, 104, 28}, "&System Info...") {
  cmdOK.SetDefault(true);
  cmdOK.SetCancel(true);
  ContactLbl.SetForeColor(RGB(0, 0, 255));
  ContactLbl.Click = [this] { ContactLbl_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
}

void frmAboutForm::Form_Load() {
  SetCaption(std::string("About ") + ProgramTitle);
  AppNameLbl.SetText(std::string(ProgramTitle) + " ,Version " + std::to_string(QP_VERSION_MAJOR) + "." +
                     std::to_string(QP_VERSION_MINOR) + "." + std::to_string(QP_VERSION_REVISION));
  ContactLbl.SetText(ProductWebSite);
  Image1.SetPicture(LogoPicture());
}

void frmAboutForm::ContactLbl_Click() { OpenUrl(ProductWebSite); }
void frmAboutForm::cmdSysInfo_Click() { StartSysInfo(); }
void frmAboutForm::cmdOK_Click() { Unload(); }

bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal) {
  KeyVal.clear();
  OwnedKey key;
  if (RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  char buffer[1024] = {};
  DWORD size = sizeof buffer, type = 0;
  const LONG rc =
      RegQueryValueExA(key.get(), SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (rc != ERROR_SUCCESS) return false;
  if (size > sizeof buffer) size = sizeof buffer;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::string text(buffer, size);
    const size_t nul = text.find('\0');
    KeyVal = nul == std::string::npos ? text : text.substr(0, nul);
  } else if (type == REG_DWORD) {
    std::string hex = "&h";
    char pair[3];
    for (int i = static_cast<int>(size) - 1; i >= 0; --i) {
      snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(buffer[i]));
      hex += pair;
    }
    KeyVal = vb::CStr(vb::Val(hex));
  } else {
    KeyVal.assign(buffer, size);
  }
  return true;
}

void StartSysInfo() {
  std::string path;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", path)) {
    std::string folder;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoLocationKey, "MSINFO", folder) &&
        FileExists(folder + "\\MSINFO32.EXE")) {
      path = folder + "\\MSINFO32.EXE";
    } else {
      MsgBox("System Information Is Unavailable At This Time", MB_OK, frmAbout.Loaded() ? frmAbout.hwnd() : FrameHwnd());
      return;
    }
  }
  seams::ShellRequest request;
  request.verb = "open";
  request.file = path;
  request.show = SW_SHOWNORMAL;
  seams::ShellExecuteFn(request);
}
