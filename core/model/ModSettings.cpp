#include "ModSettings.h"
#include "ModRegistryText.h"
#include "ModMainPlatform.h"
#include "Menu.h"
#include "ViewBindings.h"

#include <cmath>
#include <cstdio>

#include "ModConInfo.h"
#include "ModSProgs.h"
#include "VbRules.h"

// ---- The store

namespace {

HKEY OpenSection(const std::string& app, const std::string& section, REGSAM access, bool create) {
  HKEY key = nullptr;
  const std::string path = SettingsKeyPath(app, section);
  LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr,
                                     &key, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

std::string SettingsKeyPath(const std::string& app, const std::string& section) {
  std::string path = "Software\\" + app;
  if (!section.empty()) path += "\\" + section;
  return path;
}

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& fallback, bool* readable) {
  if (readable) *readable = true;
  HKEY k = OpenSection(app, section, KEY_QUERY_VALUE, false);
  if (!k) return fallback;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(k, key.c_str(), nullptr, &type, nullptr, &size);
  std::string result = fallback;
  if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // The size is asked first, so a value of any length is read whole.
    std::string buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(k, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buf[0]), &got) ==
        ERROR_SUCCESS) {
      result = RegValueText(type, buf.data(), got < buf.size() ? got : buf.size()).value_or(fallback);
    } else if (readable) {
      *readable = false;
    }
  } else if (rc == ERROR_SUCCESS && readable) {
    *readable = false;  // a value of another type is no setting of ours
  }
  RegCloseKey(k);
  return result;
}

std::optional<std::string> StoredSetting(const std::string& app, const std::string& section,
                                         const std::string& key) {
  // A stored text ends at its first NUL, so it can never be this one.
  static const std::string kMissing(1, '\0');
  std::string text = GetSetting(app, section, key, kMissing);
  if (text == kMissing) return std::nullopt;
  return text;
}

bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value) {
  HKEY k = OpenSection(app, section, KEY_SET_VALUE, true);
  if (!k) return false;
  LONG rc = RegSetValueExA(k, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

void DeleteSetting(const std::string& app, const std::string& section, const std::string& key) {
  HKEY k = OpenSection(app, section, KEY_SET_VALUE, false);
  if (!k) return;
  RegDeleteValueA(k, key.c_str());
  RegCloseKey(k);
}

void DeleteSection(const std::string& app, const std::string& section) {
  RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath(app, section).c_str());
}

bool SectionExists(const std::string& app, const std::string& section) {
  HKEY k = OpenSection(app, section, KEY_QUERY_VALUE, false);
  if (k) RegCloseKey(k);
  return k != nullptr;
}

std::vector<std::string> SettingNames(const std::string& app, const std::string& section) {
  std::vector<std::string> names;
  HKEY k = OpenSection(app, section, KEY_QUERY_VALUE, false);
  if (!k) return names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof name;
    if (RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  RegCloseKey(k);
  return names;
}

// ---- Typed reads

bool SettingsReader::Raw(const std::string& key, std::string& text) {
  bool readable = true;
  const std::string kMissing = std::string(1, '\0') + "missing";
  text = GetSetting(app_, section_, key, kMissing, &readable);
  if (!readable) {
    Fail(key);
    return false;
  }
  return text != kMissing;
}

std::string SettingsReader::Text(const std::string& key, const std::string& fallback) {
  std::string text;
  return Raw(key, text) ? text : fallback;
}

int16_t SettingsReader::Int16(const std::string& key, int16_t fallback) {
  std::string text;
  if (!Raw(key, text)) return fallback;
  if (auto v = vb::ParseInt16(text)) return *v;
  Fail(key);
  return fallback;
}

int32_t SettingsReader::Int32(const std::string& key, int32_t fallback) {
  std::string text;
  if (!Raw(key, text)) return fallback;
  if (auto v = vb::ParseInt32(text)) return *v;
  Fail(key);
  return fallback;
}

float SettingsReader::Single(const std::string& key, float fallback) {
  std::string text;
  if (!Raw(key, text)) return fallback;
  auto v = vb::CDbl(text);
  if (v && std::isfinite(*v) && std::fabs(*v) <= 3.4e38) return static_cast<float>(*v);
  Fail(key);
  return fallback;
}

bool SettingsReader::Flag(const std::string& key, bool fallback) {
  std::string text;
  if (!Raw(key, text)) return fallback;
  if (auto v = vb::ParseBool(text)) return *v;
  Fail(key);
  return fallback;
}

std::string IntText(long value) { return std::to_string(value); }

std::string SingleText(float value) {
  // A single keeps seven significant digits: 0.01f is written "0.01", not the
  // double it widens to.
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
  return vb::CStr(std::strtod(buf, nullptr));
}

// ---- Option globals

int16_t LowRes[2];
int32_t TrackerItems[11];
bool TrackerItemsShow[11];
CostDef CostDefinition;
int32_t SecLogData;
int16_t NumLogData;
int16_t IntReminder;
std::string IntReminderText;
int16_t WinReminder;
int16_t WinReminderIdleTime;
std::string WinReminderText;
int16_t RunAtStartUp;
int16_t SplashAtStartUp;
int16_t ProcWarn;
int16_t HideSysProc;
int16_t PopPlaySnd;
std::string PopPlaySndFile;
int16_t BlockDialog;
int16_t BlockMode;
int16_t DriveCheck = 1;
HotKeyDef AppHK;
HotKeyDef DestHK;
int16_t WndDisplay;
int16_t HideWnd;
int16_t LANCon;
int16_t SProgCount;
std::string AppList;
std::string WndList;
bool BlockMessenger;
int16_t IntProgCount;

const char* const kDefaultIntReminderText =
    "You have asked Quillon to remind you that you have been working on the Internet every "
    "specified interval.";
const char* const kDefaultWinReminderText =
    "'Long hours on the computer can be rewarding, even fun, but they can also lead to aches and "
    "pains in your neck, shoulders, arms and hands.' This is one of the several warning signs of "
    "using computers for long time. Do you know that few minutes every hour can save you from all "
    "these dangers? Let Quillon Pro reminds you kindly every specified active interval to walk "
    "around for a few minutes, stretch, and relax to protect your invaluable health.";

std::string AppPath() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string path(buf, n);
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(0, slash);
}

namespace {

const char kOptions[] = "Options";

std::string Indexed(const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; }

std::string DefaultSoundFile() { return AppPath() + "\\" + "\\sounds\\bloop.wav"; }

}  // namespace

void LoadSettings() {
  SettingsReader r(ProgramTitle, kOptions);
  bool outOfRange = false;
  auto ranged = [&](auto value, long low, long high, auto fallback) {
    if (value >= low && value <= high) return value;
    outOfRange = true;
    return static_cast<decltype(value)>(fallback);
  };

  LowRes[0] = ranged(r.Int16("LowRes(0)", 80), 1, 100, 80);
  LowRes[1] = ranged(r.Int16("LowRes(1)", 95), 1, 100, 95);
  for (int i = 1; i <= 10; ++i) {
    // A slot's kind picks its caption and its figure: it must name one of the ten kinds.
    TrackerItems[i] = ranged(r.Int32(Indexed("TrackerItems", i), i), 1, 10, i);
    TrackerItemsShow[i] = r.Flag(Indexed("TrackerItemsShow", i), true);
  }
  CostDefinition.CostOfXSecond = r.Single("CostDefinition.CostOfXSecond", 0.01f);
  CostDefinition.EveryXSeconds = ranged(r.Int32("CostDefinition.EveryXSeconds", 60), 1, 216000, 60);
  CostDefinition.ExtraCost = r.Single("CostDefinition.ExtraCost", 0.02f);
  SecLogData = r.Int32("SecLogData", 5);
  NumLogData = ranged(r.Int16("NumLogData", 25), 0, 32767, 25);
  IntReminder = r.Int16("IntReminder", 60);
  WinReminder = r.Int16("WinReminder", 60);
  WinReminderIdleTime = r.Int16("WinReminderIdleTime", 5);
  IntReminderText = r.Text("IntReminderText", "");
  WinReminderText = r.Text("WinReminderText", "");
  {
    SettingsReader internet(ProgramTitle, "Internet");
    const int16_t count = internet.Int16("IntProgCount", 0);
    IntProgCount = count < 0 ? 0 : count;
    if (internet.Failed() || count < 0) {
      outOfRange = true;
      SaveSetting(ProgramTitle, "Internet", "IntProgCount", IntText(IntProgCount));
    }
  }
  RunAtStartUp = r.Int16("RunAtStartUp", 0);
  SplashAtStartUp = r.Int16("SplashAtStartUp", 1);
  ProcWarn = r.Int16("ProcWarn", 1);
  HideSysProc = r.Int16("HideSysProc", 1);
  AppHK.Enabled = r.Int16("AppHK.Enabled", 1);
  AppHK.Modifiers = r.Int32("AppHK.Modifiers", 3);
  AppHK.CharCode = r.Int32("AppHK.CharCode", 69);
  DestHK.Enabled = r.Int16("DestHK.Enabled", 1);
  DestHK.Modifiers = r.Int32("DestHK.Modifiers", 3);
  DestHK.CharCode = r.Int32("DestHK.CharCode", 68);
  PopPlaySnd = r.Int16("PopPlaySnd", 1);
  PopPlaySndFile = r.Text("PopPlaySndFile", DefaultSoundFile());
  BlockDialog = r.Int16("BlockDialog", 1);
  BlockMode = ranged(r.Int16("BlockMode", 1), 0, 1, 1);
  LANCon = ranged(r.Int16("LANCon", 0), 0, 1, 0);
  AppList = r.Text("AppList", "1111111111");
  WndList = r.Text("WndList", "1111111111");
  WndDisplay = ranged(r.Int16("WndDisplay", 1), 0, 3, 1);
  HideWnd = r.Int16("HideWnd", 1);
  SProgCount = ranged(r.Int16("SProgCount", -1), -1, 32767, -1);

  if (SProgCount == -1) DefaultSProgs();

  if (r.Failed() || outOfRange) {
    // Every key that could not be used has taken its own fallback; the store is
    // rewritten so that the next start reads clean values.
    MsgBox("Error loading settings from registry, default settings will be loaded", MB_ICONSTOP);
    SaveSettings();
  }
}

void SaveSettings() {
  auto put = [](const std::string& key, const std::string& value) {
    SaveSetting(ProgramTitle, kOptions, key, value);
  };
  put("LowRes(0)", IntText(LowRes[0]));
  put("LowRes(1)", IntText(LowRes[1]));
  for (int i = 1; i <= 10; ++i) {
    put(Indexed("TrackerItems", i), IntText(TrackerItems[i]));
    put(Indexed("TrackerItemsShow", i), vb::BoolText(TrackerItemsShow[i]));
  }
  put("CostDefinition.CostOfXSecond", SingleText(CostDefinition.CostOfXSecond));
  put("CostDefinition.EveryXSeconds", IntText(CostDefinition.EveryXSeconds));
  put("CostDefinition.ExtraCost", SingleText(CostDefinition.ExtraCost));
  put("SecLogData", IntText(SecLogData));
  put("NumLogData", IntText(NumLogData));
  put("IntReminder", IntText(IntReminder));
  put("IntReminderText", IntReminderText);
  put("WinReminder", IntText(WinReminder));
  put("WinReminderIdleTime", IntText(WinReminderIdleTime));
  put("WinReminderText", WinReminderText);
  put("RunAtStartUp", IntText(RunAtStartUp));
  put("SplashAtStartUp", IntText(SplashAtStartUp));
  put("ProcWarn", IntText(ProcWarn));
  put("HideSysProc", IntText(HideSysProc));
  put("PopPlaySnd", IntText(PopPlaySnd));
  put("PopPlaySndFile", PopPlaySndFile);
  put("BlockDialog", IntText(BlockDialog));
  put("BlockMode", IntText(BlockMode));
  put("AppHK.Enabled", IntText(AppHK.Enabled));
  put("AppHK.Modifiers", IntText(AppHK.Modifiers));
  put("AppHK.CharCode", IntText(AppHK.CharCode));
  put("DestHK.Enabled", IntText(DestHK.Enabled));
  put("DestHK.Modifiers", IntText(DestHK.Modifiers));
  put("DestHK.CharCode", IntText(DestHK.CharCode));
  put("WndDisplay", IntText(WndDisplay));
  put("HideWnd", IntText(HideWnd));
  put("LANCon", IntText(LANCon));
  put("SProgCount", IntText(SProgCount));
  put("AppList", AppList);
  put("WndList", WndList);
  put("BlockMessenger", vb::BoolText(BlockMessenger));
}

void DeleteStoredSProgs() {
  for (const std::string& name : SettingNames(ProgramTitle, kOptions)) {
    if (name.size() <= 5 || name.compare(0, 5, "SProg") != 0) continue;
    const std::string digits = name.substr(5);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 5) continue;
    long n = std::stol(digits);
    if (n >= 1 && n <= SProgCount && std::to_string(n) == digits)
      DeleteSetting(ProgramTitle, kOptions, name);
  }
}

void DefaultSettings() {
  RunAtStartUp = 1;
  SplashAtStartUp = 1;
  SecLogData = 5;
  NumLogData = 25;
  AppHK = {1, 3, 69};
  DestHK = {1, 3, 68};
  for (int i = 1; i <= 10; ++i) {
    TrackerItems[i] = i;
    TrackerItemsShow[i] = true;
  }
  // The entries of the current list go before the defaults are stored.
  DeleteStoredSProgs();
  SProgCount = -1;
  DefaultSProgs();
  ProcWarn = 1;
  HideSysProc = 1;
  WndDisplay = 1;
  HideWnd = 1;
  LANCon = 0;
  CostDefinition.EveryXSeconds = 60;
  CostDefinition.CostOfXSecond = 0.01f;
  CostDefinition.ExtraCost = 0.02f;
  AppList = "11111111111";
  WndList = "1111111111";
  LowRes[0] = 80;
  LowRes[1] = 95;
  PopPlaySnd = 1;
  PopPlaySndFile = DefaultSoundFile();
  LastCon.Duration = 0;  // the statistics shown, not the stored ones
  GeneralConInfo.Duration = 0;
  BlockDialog = 1;
  BlockMode = 1;
  DriveCheck = 1;
  IntReminder = 60;
  IntReminderText = kDefaultIntReminderText;
  WinReminder = 60;
  WinReminderIdleTime = 3;
  WinReminderText = kDefaultWinReminderText;
  BlockMessenger = true;
}

// ---- General window and bar settings

bool BlockPopUps = true;
int16_t UpdateSpeed = 0;
bool Toolbar = true;
bool AutoHide = false;
bool BarAlwaysOnTop = false;
int32_t Position = 1;

namespace {

// Runs a bound menu item's handler as the user's click would.
void Click(ui::MenuItem* item) {
  if (item && item->Click) item->Click();
}

int CheckedIndex(ui::MenuItem* const* items, int count) {
  for (int i = 0; i < count; ++i)
    if (items[i] && items[i]->Checked()) return i;
  return -1;
}

}  // namespace

void LoadGeneralSettings() {
  SettingsReader more(ProgramTitle, "MoreTools");
  SettingsReader general(ProgramTitle, "General");
  std::vector<std::pair<std::string, std::string>> repair;  // key, value now in effect
  auto ranged = [&](int value, int low, int high, int fallback, const char* key) {
    if (value >= low && value <= high) return value;
    repair.emplace_back(key, std::to_string(fallback));
    return fallback;
  };

  BlockMessenger = more.Flag("BlockMessenger", true);
  if (ui::MenuItem* item = Views.frame.mnuSettingsMsgBlock) item->SetChecked(BlockMessenger);
  BlockPopUps = more.Flag("BlockPopUps", true);
  if (ui::MenuItem* item = Views.frame.mnuSettingsPopBlock) item->SetChecked(BlockPopUps);

  if (general.Flag("AlwaysOnTop", true)) Click(Views.frame.mnuSettingsTop);
  {
    // The integer part of the stored number picks one of the four speeds.
    std::string text = general.Text("UpdateSpeed", "0");
    auto v = vb::ParseNumber(text);
    int speed = v && std::fabs(*v) < 1e6 ? static_cast<int>(std::floor(*v)) : -1;
    UpdateSpeed = static_cast<int16_t>(ranged(speed, 0, 3, 0, "UpdateSpeed"));
    Click(Views.frame.mnuSettingsUpdateSpd[UpdateSpeed]);
  }
  Click(Views.lists.mnuAppLstView[ranged(general.Int16("AppsLst", 2), 0, 2, 2, "AppsLst")]);
  Click(Views.lists.mnuWndLstView[ranged(general.Int16("WndsLst", 2), 0, 2, 2, "WndsLst")]);
  Toolbar = general.Flag("Toolbar", true);
  AutoHide = general.Flag("AutoHide", false);
  BarAlwaysOnTop = general.Flag("BarAlwaysOnTop", false);
  Position = ranged(general.Int32("Position", 1), 0, 3, 1, "Position");

  for (const std::string& key : general.FailedKeys()) {
    if (key == "AlwaysOnTop") repair.emplace_back(key, "True");
    if (key == "AppsLst" || key == "WndsLst") repair.emplace_back(key, "2");
    if (key == "Toolbar") repair.emplace_back(key, vb::BoolText(Toolbar));
    if (key == "AutoHide") repair.emplace_back(key, vb::BoolText(AutoHide));
    if (key == "BarAlwaysOnTop") repair.emplace_back(key, vb::BoolText(BarAlwaysOnTop));
    if (key == "Position") repair.emplace_back(key, "1");
  }
  for (const std::string& key : more.FailedKeys()) {
    if (key == "BlockMessenger") SaveSetting(ProgramTitle, "MoreTools", key, vb::BoolText(BlockMessenger));
    if (key == "BlockPopUps") SaveSetting(ProgramTitle, "MoreTools", key, vb::BoolText(BlockPopUps));
  }
  if (!repair.empty() || more.Failed()) {
    MsgBox("Error loading general settings from registry, default settings will be loaded",
           MB_ICONSTOP, FrameHwnd());
    for (const auto& entry : repair) SaveSetting(ProgramTitle, "General", entry.first, entry.second);
  }
}

void SaveGeneralSettings() {
  auto put = [](const std::string& key, const std::string& value) {
    SaveSetting(ProgramTitle, "General", key, value);
  };
  put("AlwaysOnTop", vb::BoolText(Views.frame.mnuSettingsTop && Views.frame.mnuSettingsTop->Checked()));
  put("UpdateSpeed", IntText(CheckedIndex(Views.frame.mnuSettingsUpdateSpd, 4)));
  RECT r = {};
  if (FrameHwnd()) GetWindowRect(FrameHwnd(), &r);
  put("Left", IntText(vb::PixelsToTwipsX(r.left)));
  put("Top", IntText(vb::PixelsToTwipsY(r.top)));
  put("AppsLst", IntText(CheckedIndex(Views.lists.mnuAppLstView, 3)));
  put("WndsLst", IntText(CheckedIndex(Views.lists.mnuWndLstView, 3)));
  put("Toolbar", vb::BoolText(Toolbar));
  put("AutoHide", vb::BoolText(AutoHide));
  put("BarAlwaysOnTop", vb::BoolText(BarAlwaysOnTop));
  put("Position", IntText(Position));
}
