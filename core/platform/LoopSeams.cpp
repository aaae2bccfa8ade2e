#include "LoopSeams.h"

#include "LateBinding.h"

#include <mmsystem.h>

#include "ModConProbe.h"
#include "Window.h"

namespace loopseams {
namespace {

void RealPlaySound(const std::string& path) {
  using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  static const auto playSound = LateBound<PlaySoundFn>("winmm.dll", "PlaySoundA");
  if (playSound) playSound(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

}  // namespace

void PauseLettingMessagesThrough(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    ui::DoEvents();
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, ms - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

std::function<bool()> RasAvailableFn = IsRasAvailable;
std::function<bool()> DialUpConnectedFn = IsDialUpConnected;
std::function<uint32_t(long)> TotalNetBytesFn = TotalNetBytesOfOneRead;
std::function<void(const std::string&)> PlaySoundFn = RealPlaySound;
std::function<SHORT(int)> KeyStateFn = GetAsyncKeyState;
std::function<void(DWORD)> SleepFn = Sleep;
std::function<void(DWORD)> PauseFn = PauseLettingMessagesThrough;
std::function<BOOL(DWORD, DWORD, BOOL)> AttachThreadInputFn = AttachThreadInput;
std::function<BOOL(UINT, DWORD)> ExitWindowsFn = ExitWindowsEx;

void Reset() {
  RasAvailableFn = IsRasAvailable;
  DialUpConnectedFn = IsDialUpConnected;
  TotalNetBytesFn = TotalNetBytesOfOneRead;
  PlaySoundFn = RealPlaySound;
  KeyStateFn = GetAsyncKeyState;
  SleepFn = Sleep;
  PauseFn = PauseLettingMessagesThrough;
  AttachThreadInputFn = AttachThreadInput;
  ExitWindowsFn = ExitWindowsEx;
}

}  // namespace loopseams
