// The program's own message loop and the timed tasks it runs on every pass: the page
// refresh and the performance samples, the connection's start and end, its traffic
// rates and reminders, the two global hot keys and the terminate-and-restart pick mode.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "HistogramCls.h"
#include "ModStartupPlatform.h"

// Seconds between automatic refreshes; 0 = none (the update-speed menu sets it).
extern int16_t RefreshInterval;
extern DWORD LastRefreshTick;
// The performance page has been loaded: its histories need samples even when hidden.
extern bool SysPerfLoaded;
// A dial-up connection start has not been handled yet.
extern bool ConnectionPending;
// The leased-line start has not been handled yet.
extern bool LanStartPending;
extern DWORD ConnectStartTick;
// Internet reminders already given for the current connection.
extern int16_t IntReminderCount;
// The traffic-rate state: when the rates were last computed and the counters then.
extern DWORD LastRateTick;
extern uint32_t LastRecvBytes;
extern uint32_t LastSentBytes;
extern DWORD TrafficActiveTick;  // last computation that saw traffic; 0 = none
extern int16_t ActiveSampleCount;
extern float RecSpdSum;
extern float SndSpdSum;
// The terminate-and-restart pick mode.
extern bool TermRestartMode;
extern std::string DestHKText;
extern HWND LastHoverWnd;

struct WinReminderRec {
  long LastCursorX = 0, LastCursorY = 0;
  long CurCursorX = 0, CurCursorY = 0;
  long ActiveMinutes = 0, IdleMinutes = 0;
  DWORD LastMinuteTick = 0;  // 0 = not counting yet
};
extern WinReminderRec WinReminderState;

// Traffic-rate histories, self-scaling: receive, send, total and their averages.
extern std::unique_ptr<HistogramCls> NetSpeedHist[6];

// Both global hot keys carry this identifier; the window they belong to tells them apart.
constexpr int kHotKeyId = 0xBFFF;

// Runs the program until IsExiting is set, then ends it (EndProgram).
void MainLoop();
// One pass of the loop. With `wait` it first sleeps until a message arrives or a
// timed task falls due.
void MainLoopPass(bool wait = true);
// How long the loop may sleep before the next timed task falls due, in milliseconds.
DWORD NextTaskDelay();
// The timed tasks of one pass.
void DoLoopTasks();
// Turns the pick mode on: the status window then names the window under the cursor.
void StartTermRestartMode();
// "Shift+", "CTRL+", "ALT+" as the modifier mask has them, then the key in quotes.
std::string HotKeyText(int32_t modifiers, int32_t charCode);
void OnInternetConnected(DWORD tick);
void OnInternetDisconnected();
// The once-a-minute activity count of the Windows reminder; 0 restarts the count.
void CheckWindowsReminder(DWORD tick);
// The cursor moved or a key was pressed since the last call.
bool UserWasActive();
// The next automatic refresh waits a full interval from now.
void ResetPerfTimer();
// A window of ours received WM_HOTKEY: the loop serves it on its next pass. Both
// frames hand theirs here, so a hot key that an event pump dispatches is not lost.
void NoteHotKey(HWND window, WPARAM id);

// Gives this module's state its start values again.
void ResetMainLoopState();
