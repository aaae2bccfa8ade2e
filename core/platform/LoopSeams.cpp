#include "LoopSeams.h"

#include "LateBinding.h"

#include <mmsystem.h>

#include "ModConProbe.h"

namespace loopseams {
namespace {

void RealPlaySound(const std::string& path) {
  using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  static const auto playSound = LateBound<PlaySoundFn>("winmm.dll", "PlaySoundA");
  if (playSound) playSound(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

}  // namespace

std::function<bool()> RasAvailableFn = IsRasAvailable;
std::function<bool()> DialUpConnectedFn = IsDialUpConnected;
std::function<uint32_t(long)> TotalNetBytesFn = GetTotalNetBytes;
std::function<void(const std::string&)> PlaySoundFn = RealPlaySound;
std::function<SHORT(int)> KeyStateFn = GetAsyncKeyState;
std::function<void(DWORD)> SleepFn = Sleep;
std::function<BOOL(DWORD, DWORD, BOOL)> AttachThreadInputFn = AttachThreadInput;
std::function<BOOL(UINT, DWORD)> ExitWindowsFn = ExitWindowsEx;

void Reset() {
  RasAvailableFn = IsRasAvailable;
  DialUpConnectedFn = IsDialUpConnected;
  TotalNetBytesFn = GetTotalNetBytes;
  PlaySoundFn = RealPlaySound;
  KeyStateFn = GetAsyncKeyState;
  SleepFn = Sleep;
  AttachThreadInputFn = AttachThreadInput;
  ExitWindowsFn = ExitWindowsEx;
}

}  // namespace loopseams
