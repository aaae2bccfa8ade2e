// The per-user settings store (one key per application and section under the
// user's software key, every value a text) and the option globals it keeps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// ---- The store

// HKEY_CURRENT_USER\Software\<app>\<section>, value <key>.
std::string SettingsKeyPath(const std::string& app, const std::string& section = "");
// The stored text, or the fallback when the value is missing. A value that is not text
// (or cannot be read) also gives the fallback; `readable` then says so.
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& fallback = "", bool* readable = nullptr);
// The stored text, or nothing when the value is missing or is not text.
std::optional<std::string> StoredSetting(const std::string& app, const std::string& section,
                                         const std::string& key);
bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value);
void DeleteSetting(const std::string& app, const std::string& section, const std::string& key);
void DeleteSection(const std::string& app, const std::string& section);
bool SectionExists(const std::string& app, const std::string& section);
// Names of the values of a section, in the store's order.
std::vector<std::string> SettingNames(const std::string& app, const std::string& section);

// Reads one section with a fallback per key. A value that does not convert to the
// key's type takes that key's fallback and marks the read as failed, so the caller
// can report it once and go on with the rest.
class SettingsReader {
 public:
  SettingsReader(std::string app, std::string section)
      : app_(std::move(app)), section_(std::move(section)) {}
  std::string Text(const std::string& key, const std::string& fallback);
  int16_t Int16(const std::string& key, int16_t fallback);
  int32_t Int32(const std::string& key, int32_t fallback);
  float Single(const std::string& key, float fallback);
  bool Flag(const std::string& key, bool fallback);
  bool Failed() const { return !failedKeys_.empty(); }
  const std::vector<std::string>& FailedKeys() const { return failedKeys_; }

 private:
  bool Raw(const std::string& key, std::string& text);  // false when missing or unreadable
  void Fail(const std::string& key) { failedKeys_.push_back(key); }
  std::string app_, section_;
  std::vector<std::string> failedKeys_;
};

// Value texts as the store keeps them.
std::string IntText(long value);
std::string SingleText(float value);  // the user's locale, seven significant digits

// ---- Option globals

struct HotKeyDef {
  int16_t Enabled = 0;
  int32_t Modifiers = 0;
  int32_t CharCode = 0;
};

struct CostDef {
  // Up to 216000 seconds (60 hours): more than 16 bits hold.
  int32_t EveryXSeconds = 0;
  float CostOfXSecond = 0;
  float ExtraCost = 0;
};

extern int16_t LowRes[2];
extern int32_t TrackerItems[11];       // slots 1 to 10; 0 unused
extern bool TrackerItemsShow[11];
extern CostDef CostDefinition;
extern int32_t SecLogData;
extern int16_t NumLogData;
extern int16_t IntReminder;
extern std::string IntReminderText;
extern int16_t WinReminder;
extern int16_t WinReminderIdleTime;
extern std::string WinReminderText;
extern int16_t RunAtStartUp;
extern int16_t SplashAtStartUp;
extern int16_t ProcWarn;
extern int16_t HideSysProc;
extern int16_t PopPlaySnd;
extern std::string PopPlaySndFile;
extern int16_t BlockDialog;
extern int16_t BlockMode;
// The media check at exit and before Windows exits (0/1).
extern int16_t DriveCheck;
extern HotKeyDef AppHK;
extern HotKeyDef DestHK;
extern int16_t WndDisplay;
extern int16_t HideWnd;
extern int16_t LANCon;
extern int16_t SProgCount;
extern std::string AppList;
extern std::string WndList;
extern bool BlockMessenger;
extern int16_t IntProgCount;

extern const char* const kDefaultIntReminderText;
extern const char* const kDefaultWinReminderText;

// Section "Options": load (with the per-key fallbacks), save and reset.
void LoadSettings();
void SaveSettings();
void DefaultSettings();
// Deletes the stored special programs "SProg1" ... up to SProgCount, by the names
// present in the store, so a huge count costs nothing.
void DeleteStoredSProgs();

// The program folder, without a trailing separator.
std::string AppPath();

// ---- General window and bar settings (sections "General" and "MoreTools")

extern bool BlockPopUps;
// Kept by the menus that show them: the frame's "Always On Top", its update speed
// (0 to 3) and the two lists' views (0 large icons, 1 small icons, 2 details).
extern bool AlwaysOnTop;
extern int16_t UpdateSpeed;
extern int16_t AppsLst;
extern int16_t WndsLst;
extern bool Toolbar;
extern bool AutoHide;
extern bool BarAlwaysOnTop;
extern int32_t Position;

void LoadGeneralSettings();
void SaveGeneralSettings();

// Puts the options into effect on the running system; true when the user chose to
// change a hot key that could not be registered.
bool ApplyGlobalSettings();
