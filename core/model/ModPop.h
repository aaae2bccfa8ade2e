// The pop-up blocker's browser list and white list, their settings in section
// "PopUp", and the browser catalogue Pop.dat shipped beside the program.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ModPopParse.h"
#include "VbRules.h"

namespace ui {
class ListView;
}

struct WhiteListEntry {
  int32_t WhiteType = 0;  // 0 the window's address, 1 its title
  std::string URL_Or_Name_text;
  int16_t ExactText = 0;  // non-zero: equal; 0: contained
};

struct BrowserEntry {
  std::string Path;
  std::string MenuName[3];
  int16_t PopDisNotf = 1;
  int16_t HidePop = 1;
  WhiteListEntry PreDefinedWhite[6];
};

// True when a record of this major version applies to the file: 0 applies to any
// version, otherwise the leading number of its FileVersion must be that number.
bool MajorVersionMatches(int16_t majorVersion, const std::string& path);
// The FileVersion text of the file's first translation; "" when it has none.
std::string FileVersionText(const std::string& path);

// Where the catalogue is read: the program folder's Pop.dat, or PopDatFile when set.
extern std::string PopDatFile;
std::string PopDatPath();

constexpr int kMaxBrowsers = 51;
constexpr int kMaxWhiteEntries = 201;
extern BrowserEntry Browsers[kMaxBrowsers];
extern int16_t BrowsersLst_Total;
extern WhiteListEntry WhiteLst[kMaxWhiteEntries];
extern int16_t WhiteLst_Total;
extern int32_t TotalBlockCnt;
extern vb::Date TotalBlockSince;

void LoadPopUpSettings();
void SavePopUpSettings();
// Appends the browser a catalogue record names; false when the list is full.
bool AddBrowserFromRecord(const PopDatRecord& record);
// The first run's seeding: every catalogue browser installed here (its App Paths entry
// names an existing file whose version the record fits) joins the list once, then the
// lists are saved and loaded. False when the catalogue could not be read; the
// rest of the first run goes on either way.
bool SeedBrowserList();
// Closes a pop-up the notice let go and records it: a row on the pop-up page's
// blocked list (tagged with the browser's path) and the counter, saved at once.
void AddBlockedPopUp(HWND window, const std::string& browserPath, const std::string& title);
// As AddBlockedPopUp for a web page dialog: its title as it is, "Internet Explorer"
// as the browser.
void AddBlockedWebDialog(HWND window, const std::string& title);
// The pop-ups closed and recorded in this run: one row each on the page's blocked
// list. Kept here so the tracker need not count the page's rows.
int BlockedPopUpCount();

// The entry a row of the page's browser or white list stands for: every load keys each
// row with its entry, so a sorted list still names the right one. -1 for a row that
// carries none.
int PopEntryOfRow(const ui::ListView& list, int row);
// Takes the entries (0-based, in any order) out of the list, keeping the others in
// order, then saves and reloads the lists.
void RemoveBrowsers(const std::vector<int>& entries);
void RemoveWhiteItems(const std::vector<int>& entries);
// Appends an entry, then saves and reloads. A changed entry (`replacing`, 0-based; -1
// for none) is taken out first, so it moves to the end. False, with nothing changed,
// when the list is full.
bool PutBrowser(const BrowserEntry& entry, int replacing);
bool PutWhiteItem(const WhiteListEntry& item, int replacing);
// The listed browser with the path, letter case aside, other than `skip`; -1 when none.
int ListedBrowser(const std::string& path, int skip);
// The listed white item with the same type, exact flag and text (letter case aside),
// other than `skip`; -1 when none.
int ListedWhiteItem(const WhiteListEntry& item, int skip);
// The counter starts again at 0 from today; both are saved.
void ResetBlockCounter();

// A catalogue browser installed here: its name, its App Paths path, and its record's
// place among the catalogue's browser records (1 for the first after the header).
struct CatalogueBrowser {
  std::string name, path;
  int record = 0;
};
std::vector<CatalogueBrowser> InstalledCatalogueBrowsers();
// Appends the browser of catalogue record `record` (as above); false when there is
// no such record or the list is full. Saves and reloads.
bool AddCatalogueBrowser(int record);

// The lists and counters back to their start values (the program start's, and tests').
void ResetPopUpLists();
