// The one performance object of the run, created by its class identifier on first use.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The nine performance figures: CPU %, page-file use %, available and total physical,
// virtual and page-file memory in KB, page faults.
using PerfInfoArray = std::vector<int32_t>;

extern IUnknown* SysInfoObj;
// Creates the object through its registration (tests replace it). When the class is
// not registered, the Pellmon.dll beside the program serves it.
extern HRESULT (*CreateSysInfoFn)(IUnknown** object);
// Where that library is looked for.
std::string PellmonBesideProgram();
extern PerfInfoArray PerfInfoData;

// Element `index` (2 to 7) of the figures in KB. The library's figures travel as
// signed 32-bit KB, so it holds anything larger at 2^31 - 1: the address space of a
// 64-bit program alone is 128 TB. Such a figure is read from the system here instead;
// any other is the library's own. 0 when the figures lack the element.
int64_t MemoryFigureKb(const PerfInfoArray& figures, size_t index);

// Fills the caller's VARIANT with the object's performance figures; false when the
// object cannot be created or answers nothing.
bool SysInfoPerfInfo(VARIANT* info);
// The figures of one PerfInfo call as integers (empty when there are none).
PerfInfoArray TakePerfInfo();
// The committed, reserved and free KB of a process's first 128 MB; false when the
// object cannot be had or cannot open the process.
bool TakeProcMem(DWORD processId, int32_t figures[3]);

// The same figures read on a worker thread with its own object. Under Wine another
// process answers a question about its memory itself: one that is stopped, or dies
// half way, may never answer, and the asker would wait for good. The caller waits at
// most `timeoutMs`, calling `whileWaiting` about every 50 ms (it lets the caller's
// events run; false ends the wait). A process whose earlier question is still
// unanswered is not asked again: it answers kTimedOut at once.
enum class MemoryRead { kRead, kUnreadable, kTimedOut, kStopped };
MemoryRead TakeProcMemBounded(DWORD processId, int32_t figures[3], DWORD timeoutMs,
                              const std::function<bool()>& whileWaiting);
// How many questions are still waiting for a process that did not answer in time.
int UnansweredMemoryQuestions();
void ReleaseSysInfo();

// Gives this module's state its start values again.
void ResetSysInfoLinkState();
