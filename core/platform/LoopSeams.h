// The calls of the main loop and the exit that tests must be able to answer or
// record: the dial-up and traffic probes (a dial-up line cannot be had under test),
// sound, the keyboard, pauses, attaching input queues and ending the Windows session.
// Each defaults to the real call.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace loopseams {

extern std::function<bool()> RasAvailableFn;                   // IsRasAvailable
extern std::function<bool()> DialUpConnectedFn;                // IsDialUpConnected
extern std::function<uint32_t(long direction)> TotalNetBytesFn;  // GetTotalNetBytes
// Plays a wave file asynchronously (PlaySoundA with SND_FILENAME | SND_ASYNC).
extern std::function<void(const std::string& path)> PlaySoundFn;
extern std::function<SHORT(int virtualKey)> KeyStateFn;  // GetAsyncKeyState
extern std::function<void(DWORD ms)> SleepFn;
// A pause of the program's own thread that lets messages through: the user can
// press Cancel, and the tray, hot keys and windows keep answering.
extern std::function<void(DWORD ms)> PauseFn;
extern std::function<BOOL(DWORD from, DWORD to, BOOL attach)> AttachThreadInputFn;
extern std::function<BOOL(UINT flags, DWORD reason)> ExitWindowsFn;  // ExitWindowsEx

// The real pause: waits for the period or a message, whichever comes first, runs the
// messages, and so on until the period is over.
void PauseLettingMessagesThrough(DWORD ms);

// Puts every seam back to its real call.
void Reset();

}  // namespace loopseams
