#include "ModSettings.h"
#include "ModRegistryText.h"
#include "ModMainPlatform.h"
#include "OwnedHandle.h"
#include "Menu.h"
#include "ViewBindings.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "ModConInfo.h"
#include "ModSProgs.h"
#include "VbRules.h"

// ---- The store

namespace {

OwnedKey OpenSection(const std::string& app, const std::string& section, REGSAM access, bool create) {
  HKEY key = nullptr;
  const std::string path = SettingsKeyPath(app, section);
  LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr,
                                     &key, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key);
  return OwnedKey(rc == ERROR_SUCCESS ? key : nullptr);
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
  const OwnedKey k = OpenSection(app, section, KEY_QUERY_VALUE, false);
  if (!k) return fallback;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(k.get(), key.c_str(), nullptr, &type, nullptr, &size);
  std::string result = fallback;
  if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // The size is asked first, so a value of any length is read whole.
    std::string buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(k.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buf[0]), &got) ==
        ERROR_SUCCESS) {
      result = RegValueText(type, buf.data(), got < buf.size() ? got : buf.size()).value_or(fallback);
    } else if (readable) {
      *readable = false;
    }
  } else if (rc == ERROR_SUCCESS && readable) {
    *readable = false;  // a value of another type is no setting of ours
  }
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
  const OwnedKey k = OpenSection(app, section, KEY_SET_VALUE, true);
  if (!k) return false;
  return RegSetValueExA(k.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void DeleteSetting(const std::string& app, const std::string& section, const std::string& key) {
  if (const OwnedKey k = OpenSection(app, section, KEY_SET_VALUE, false)) RegDeleteValueA(k.get(), key.c_str());
}

void DeleteSection(const std::string& app, const std::string& section) {
  RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath(app, section).c_str());
}

bool SectionExists(const std::string& app, const std::string& section) {
  return static_cast<bool>(OpenSection(app, section, KEY_QUERY_VALUE, false));
}

std::vector<std::string> SettingNames(const std::string& app, const std::string& section) {
  std::vector<std::string> names;
  const OwnedKey k = OpenSection(app, section, KEY_QUERY_VALUE, false);
  if (!k) return names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof name;
    if (RegEnumValueA(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
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

// One stored setting: its key, the variable that holds it, the value a reset gives it,
// the value a missing key gives it, and the range a stored value must lie in (a value
// outside takes the missing-key value and is written back).
struct Setting {
  enum Kind { kInt16, kInt32, kSingle, kFlag, kText, kWhole16 } kind;
  std::string key;
  void* variable;
  double reset = 0, missing = 0;
  std::string resetText, missingText;
  long low = LONG_MIN, high = LONG_MAX;
  bool read = true;  // false: written here, read from another section
};

Setting Int16Setting(std::string key, int16_t& v, double reset, double missing, long low = INT16_MIN,
                     long high = INT16_MAX) {
  return {Setting::kInt16, std::move(key), &v, reset, missing, "", "", low, high};
}
Setting Int32Setting(std::string key, int32_t& v, double reset, double missing, long low = LONG_MIN,
                     long high = LONG_MAX) {
  return {Setting::kInt32, std::move(key), &v, reset, missing, "", "", low, high};
}
Setting SingleSetting(std::string key, float& v, double reset, double missing) {
  return {Setting::kSingle, std::move(key), &v, reset, missing};
}
Setting FlagSetting(std::string key, bool& v, bool reset, bool missing) {
  return {Setting::kFlag, std::move(key), &v, reset ? 1.0 : 0.0, missing ? 1.0 : 0.0};
}
Setting TextSetting(std::string key, std::string& v, std::string reset, std::string missing) {
  return {Setting::kText, std::move(key), &v, 0, 0, std::move(reset), std::move(missing)};
}

// Section "Options", in the order the store is written.
std::vector<Setting> OptionSettings() {
  std::vector<Setting> t = {Int16Setting("LowRes(0)", LowRes[0], 80, 80, 1, 100),
                            Int16Setting("LowRes(1)", LowRes[1], 95, 95, 1, 100)};
  for (int i = 1; i <= 10; ++i) {
    // A slot's kind picks its caption and its figure: it must name one of the ten kinds.
    t.push_back(Int32Setting(Indexed("TrackerItems", i), TrackerItems[i], i, i, 1, 10));
    t.push_back(FlagSetting(Indexed("TrackerItemsShow", i), TrackerItemsShow[i], true, true));
  }
  const std::string sound = DefaultSoundFile();
  std::vector<Setting> rest = {
      SingleSetting("CostDefinition.CostOfXSecond", CostDefinition.CostOfXSecond, 0.01, 0.01),
      Int32Setting("CostDefinition.EveryXSeconds", CostDefinition.EveryXSeconds, 60, 60, 1, 216000),
      SingleSetting("CostDefinition.ExtraCost", CostDefinition.ExtraCost, 0.02, 0.02),
      Int32Setting("SecLogData", SecLogData, 5, 5),
      Int16Setting("NumLogData", NumLogData, 25, 25, 0, INT16_MAX),
      Int16Setting("IntReminder", IntReminder, 60, 60),
      TextSetting("IntReminderText", IntReminderText, kDefaultIntReminderText, ""),
      Int16Setting("WinReminder", WinReminder, 60, 60),
      Int16Setting("WinReminderIdleTime", WinReminderIdleTime, 3, 5),
      TextSetting("WinReminderText", WinReminderText, kDefaultWinReminderText, ""),
      Int16Setting("RunAtStartUp", RunAtStartUp, 1, 0),
      Int16Setting("SplashAtStartUp", SplashAtStartUp, 1, 1),
      Int16Setting("ProcWarn", ProcWarn, 1, 1),
      Int16Setting("HideSysProc", HideSysProc, 1, 1),
      Int16Setting("PopPlaySnd", PopPlaySnd, 1, 1),
      TextSetting("PopPlaySndFile", PopPlaySndFile, sound, sound),
      Int16Setting("BlockDialog", BlockDialog, 1, 1),
      Int16Setting("BlockMode", BlockMode, 1, 1, 0, 1),
      Int16Setting("AppHK.Enabled", AppHK.Enabled, 1, 1),
      Int32Setting("AppHK.Modifiers", AppHK.Modifiers, 3, 3),
      Int32Setting("AppHK.CharCode", AppHK.CharCode, 69, 69),
      Int16Setting("DestHK.Enabled", DestHK.Enabled, 1, 1),
      Int32Setting("DestHK.Modifiers", DestHK.Modifiers, 3, 3),
      Int32Setting("DestHK.CharCode", DestHK.CharCode, 68, 68),
      Int16Setting("WndDisplay", WndDisplay, 1, 1, 0, 3),
      Int16Setting("HideWnd", HideWnd, 1, 1),
      Int16Setting("LANCon", LANCon, 0, 0, 0, 1),
      // -1 until the special programs were ever stored.
      Int16Setting("SProgCount", SProgCount, -1, -1, -1, INT16_MAX),
      // The reset mask has a character more than the missing-key one.
      TextSetting("AppList", AppList, "11111111111", "1111111111"),
      TextSetting("WndList", WndList, "1111111111", "1111111111"),
      FlagSetting("BlockMessenger", BlockMessenger, true, true),
  };
  rest.back().read = false;  // read from "MoreTools"
  t.insert(t.end(), rest.begin(), rest.end());
  return t;
}

void Assign(const Setting& s, double number, const std::string& text) {
  switch (s.kind) {
    case Setting::kInt16:
    case Setting::kWhole16: *static_cast<int16_t*>(s.variable) = static_cast<int16_t>(number); break;
    case Setting::kInt32: *static_cast<int32_t*>(s.variable) = static_cast<int32_t>(number); break;
    case Setting::kSingle: *static_cast<float*>(s.variable) = static_cast<float>(number); break;
    case Setting::kFlag: *static_cast<bool*>(s.variable) = number != 0; break;
    case Setting::kText: *static_cast<std::string*>(s.variable) = text; break;
  }
}

void Reset(const Setting& s) { Assign(s, s.reset, s.resetText); }
void TakeMissing(const Setting& s) { Assign(s, s.missing, s.missingText); }

std::string StoredText(const Setting& s) {
  switch (s.kind) {
    case Setting::kInt16:
    case Setting::kWhole16: return IntText(*static_cast<int16_t*>(s.variable));
    case Setting::kInt32: return IntText(*static_cast<int32_t*>(s.variable));
    case Setting::kSingle: return SingleText(*static_cast<float*>(s.variable));
    case Setting::kFlag: return vb::BoolText(*static_cast<bool*>(s.variable));
    case Setting::kText: return *static_cast<std::string*>(s.variable);
  }
  return "";
}

// Reads one setting with its own fallback; false when the stored value lay outside
// its range (it then holds the missing-key value).
bool Read(SettingsReader& r, const Setting& s) {
  double number = 0;
  switch (s.kind) {
    case Setting::kInt16: number = r.Int16(s.key, static_cast<int16_t>(s.missing)); break;
    case Setting::kInt32: number = r.Int32(s.key, static_cast<int32_t>(s.missing)); break;
    case Setting::kSingle: number = r.Single(s.key, static_cast<float>(s.missing)); break;
    case Setting::kFlag: number = r.Flag(s.key, s.missing != 0) ? 1 : 0; break;
    case Setting::kText: Assign(s, 0, r.Text(s.key, s.missingText)); return true;
    case Setting::kWhole16: {
      // The integer part of any stored number.
      auto v = vb::ParseNumber(r.Text(s.key, IntText(static_cast<long>(s.missing))));
      number = v && std::fabs(*v) < 1e6 ? std::floor(*v) : static_cast<double>(LONG_MIN);
      break;
    }
  }
  if (number < s.low || number > s.high) {
    TakeMissing(s);
    return false;
  }
  Assign(s, number, "");
  return true;
}

// Reads a section's settings; the keys whose stored value could not be used, each now
// holding its missing-key value.
std::vector<const Setting*> ReadSection(const std::string& section, const std::vector<Setting>& table) {
  SettingsReader r(ProgramTitle, section);
  std::vector<const Setting*> unusable;
  for (const Setting& s : table)
    if (s.read && !Read(r, s)) unusable.push_back(&s);
  for (const std::string& key : r.FailedKeys())
    for (const Setting& s : table)
      if (s.key == key) unusable.push_back(&s);
  return unusable;
}

void WriteSection(const std::string& section, const std::vector<Setting>& table) {
  for (const Setting& s : table) SaveSetting(ProgramTitle, section, s.key, StoredText(s));
}

}  // namespace

void LoadSettings() {
  bool unusable = !ReadSection(kOptions, OptionSettings()).empty();
  {
    SettingsReader internet(ProgramTitle, "Internet");
    const int16_t count = internet.Int16("IntProgCount", 0);
    IntProgCount = count < 0 ? 0 : count;
    if (internet.Failed() || count < 0) {
      unusable = true;
      SaveSetting(ProgramTitle, "Internet", "IntProgCount", IntText(IntProgCount));
    }
  }
  if (SProgCount == -1) DefaultSProgs();

  if (unusable) {
    // Every key that could not be used has taken its own fallback; the store is
    // rewritten so that the next start reads clean values.
    MsgBox("Error loading settings from registry, default settings will be loaded", MB_ICONSTOP);
    SaveSettings();
  }
}

void SaveSettings() { WriteSection(kOptions, OptionSettings()); }

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
  // The entries of the current list go before the count is reset.
  DeleteStoredSProgs();
  for (const Setting& s : OptionSettings()) Reset(s);
  DefaultSProgs();
  LastCon.Duration = 0;  // the statistics shown, not the stored ones
  GeneralConInfo.Duration = 0;
  DriveCheck = 1;
}

// ---- General window and bar settings

bool BlockPopUps = true;
bool AlwaysOnTop = false;
int16_t UpdateSpeed = 0;
int16_t AppsLst = 2;
int16_t WndsLst = 2;
bool Toolbar = true;
bool AutoHide = false;
bool BarAlwaysOnTop = false;
int32_t Position = 1;

namespace {

std::vector<Setting> GeneralSettings() {
  return {FlagSetting("AlwaysOnTop", AlwaysOnTop, true, true),
          {Setting::kWhole16, "UpdateSpeed", &UpdateSpeed, 0, 0, "", "", 0, 3},
          Int16Setting("AppsLst", AppsLst, 2, 2, 0, 2),
          Int16Setting("WndsLst", WndsLst, 2, 2, 0, 2),
          FlagSetting("Toolbar", Toolbar, true, true),
          FlagSetting("AutoHide", AutoHide, false, false),
          FlagSetting("BarAlwaysOnTop", BarAlwaysOnTop, false, false),
          Int32Setting("Position", Position, 1, 1, 0, 3)};
}

std::vector<Setting> MoreToolsSettings() {
  return {FlagSetting("BlockMessenger", BlockMessenger, true, true),
          FlagSetting("BlockPopUps", BlockPopUps, true, true)};
}

// Runs a bound menu item's handler as the user's click would, so the window puts the
// loaded value into effect.
void Click(ui::MenuItem* item) {
  if (item && item->Click) item->Click();
}

}  // namespace

void LoadGeneralSettings() {
  const std::vector<Setting> more = MoreToolsSettings(), general = GeneralSettings();
  const std::vector<const Setting*> moreUnusable = ReadSection("MoreTools", more);
  const std::vector<const Setting*> generalUnusable = ReadSection("General", general);

  if (ui::MenuItem* item = Views.frame.mnuSettingsMsgBlock) item->SetChecked(BlockMessenger);
  if (ui::MenuItem* item = Views.frame.mnuSettingsPopBlock) item->SetChecked(BlockPopUps);
  // Each menu's handler puts its setting into effect and keeps its variable.
  if (AlwaysOnTop) Click(Views.frame.mnuSettingsTop);
  Click(Views.frame.mnuSettingsUpdateSpd[UpdateSpeed]);
  Click(Views.lists.mnuAppLstView[AppsLst]);
  Click(Views.lists.mnuWndLstView[WndsLst]);

  if (moreUnusable.empty() && generalUnusable.empty()) return;
  MsgBox("Error loading general settings from registry, default settings will be loaded", MB_ICONSTOP,
         FrameHwnd());
  for (const Setting* s : moreUnusable) SaveSetting(ProgramTitle, "MoreTools", s->key, StoredText(*s));
  for (const Setting* s : generalUnusable) SaveSetting(ProgramTitle, "General", s->key, StoredText(*s));
}

void SaveGeneralSettings() {
  WriteSection("General", GeneralSettings());
  // The frame's place is read from the window itself.
  RECT r = {};
  if (FrameHwnd()) GetWindowRect(FrameHwnd(), &r);
  SaveSetting(ProgramTitle, "General", "Left", IntText(vb::PixelsToTwipsX(r.left)));
  SaveSetting(ProgramTitle, "General", "Top", IntText(vb::PixelsToTwipsY(r.top)));
}
