#include "SysInfoLink.h"

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "OwnedHandle.h"

IUnknown* SysInfoObj = nullptr;
PerfInfoArray PerfInfoData;
namespace {
HRESULT CreateRegistered(IUnknown** object);
}  // namespace
HRESULT (*CreateSysInfoFn)(IUnknown** object) = nullptr;

std::string PellmonBesideProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "Pellmon.dll";
}

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetSysInfoLinkState() {
  PerfInfoData.clear();
  CreateSysInfoFn = CreateRegistered;
}
namespace {
const bool resetSysInfoLinkStateDone = (ResetSysInfoLinkState(), true);
}  // namespace

// The interface's slots in their order after IUnknown's three. Declared outside the
// unnamed namespace: a type local to this file that nothing here derives from lets the
// optimiser take every call through it for a pure virtual one.
struct SysInfoSlots : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE PerfWnd(long* hWnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE RefPerfWnd() = 0;
  virtual HRESULT STDMETHODCALLTYPE DrivesWnd(long* hWnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE RefDrivesWnd() = 0;
  virtual HRESULT STDMETHODCALLTYPE PerfInfo(VARIANT* info) = 0;
  virtual HRESULT STDMETHODCALLTYPE ProcMem(long pid, VARIANT* memInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE ProcCPU(long pid, long* cpu) = 0;
};

namespace {

const CLSID kClsidSysInfo = {0xB52F1570, 0x8A88, 0x11D5, {0x87, 0xA5, 0x00, 0xC0, 0x4F, 0x5F, 0x87, 0x04}};
const IID kIidSysInfo = {0xB52F156F, 0x8A88, 0x11D5, {0x87, 0xA5, 0x00, 0xC0, 0x4F, 0x5F, 0x87, 0x04}};

HRESULT CreateRegistered(IUnknown** object) {
  return CoCreateInstance(kClsidSysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(object));
}

// A folder copied to a machine where nothing installed it: the library beside the
// program serves the object itself. Nothing is written to the registry, so a
// registered library, when there is one, keeps serving instead.
HRESULT CreateFromProgramFolder(IUnknown** object) {
  static HMODULE library = LoadLibraryA(PellmonBesideProgram().c_str());
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject = library ? reinterpret_cast<GetClassObjectFn>(
                                      reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")))
                                : nullptr;
  if (!getClassObject) return REGDB_E_CLASSNOTREG;
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject(kClsidSysInfo, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object));
  factory->Release();
  return hr;
}

// The interface of the object held in `holder`, created on first use.
SysInfoSlots* ObjectIn(IUnknown*& holder, HRESULT (*create)(IUnknown**)) {
  if (!holder) {
    HRESULT hr = create(&holder);
    if (hr == REGDB_E_CLASSNOTREG) hr = CreateFromProgramFolder(&holder);
    if (FAILED(hr)) holder = nullptr;
  }
  if (!holder) return nullptr;
  SysInfoSlots* slots = nullptr;
  if (FAILED(holder->QueryInterface(kIidSysInfo, reinterpret_cast<void**>(&slots)))) return nullptr;
  slots->Release();  // the object stays alive through the holder
  return slots;
}

SysInfoSlots* Object() { return ObjectIn(SysInfoObj, CreateSysInfoFn); }

bool ReadProcMem(SysInfoSlots* object, DWORD processId, int32_t figures[3]) {
  if (!object) return false;
  VARIANT v;
  VariantInit(&v);
  bool ok = object->ProcMem(static_cast<long>(processId), &v) == S_OK && v.vt == (VT_ARRAY | VT_I4) &&
            v.parray && SafeArrayGetDim(v.parray) == 1;
  LONG got[3] = {};
  for (LONG i = 0; ok && i < 3; ++i) ok = SUCCEEDED(SafeArrayGetElement(v.parray, &i, &got[i]));
  VariantClear(&v);
  if (ok)
    for (int i = 0; i < 3; ++i) figures[i] = got[i];
  return ok;
}

// ---- The memory worker

// One worker thread and what it shares with the asker. The worker holds its own
// object in its own apartment (the object is apartment-threaded). A worker whose
// question was not answered in time is left to itself: it keeps its share of this
// record, ends when the question returns, and is never handed another.
struct MemoryWorker {
  OwnedHandle wake;  // a question is waiting (or the worker should end)
  OwnedHandle done;  // the answer is in
  HRESULT (*create)(IUnknown**) = nullptr;
  DWORD processId = 0;
  int32_t figures[3] = {};
  bool ok = false;
  volatile LONG asked = 0;
  volatile LONG quit = 0;
};

DWORD WINAPI MemoryWorkerMain(void* param) {
  std::shared_ptr<MemoryWorker> worker = *static_cast<std::shared_ptr<MemoryWorker>*>(param);
  delete static_cast<std::shared_ptr<MemoryWorker>*>(param);
  const bool com = SUCCEEDED(CoInitialize(nullptr));  // an apartment of its own
  IUnknown* own = nullptr;
  // A question asked just before the worker was given up is still answered, so that
  // its process is known to answer again.
  while (WaitForSingleObject(worker->wake.get(), INFINITE) == WAIT_OBJECT_0) {
    if (worker->asked) {
      worker->ok = ReadProcMem(ObjectIn(own, worker->create), worker->processId, worker->figures);
      worker->asked = 0;
      SetEvent(worker->done.get());
    }
    if (worker->quit) break;
  }
  if (own) own->Release();
  if (com) CoUninitialize();
  return 0;
}

// The worker that answers the next question; none until the first.
std::shared_ptr<MemoryWorker> g_worker;
// Workers still waiting for a process that did not answer in time, with its id.
std::vector<std::shared_ptr<MemoryWorker>> g_stalled;

std::shared_ptr<MemoryWorker> StartMemoryWorker() {
  auto worker = std::make_shared<MemoryWorker>();
  worker->wake.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  worker->done.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  worker->create = CreateSysInfoFn;
  if (!worker->wake || !worker->done) return nullptr;
  auto* share = new std::shared_ptr<MemoryWorker>(worker);
  // The walk needs little stack; a small reservation keeps the idle program small.
  const OwnedHandle thread(
      CreateThread(nullptr, 64 * 1024, MemoryWorkerMain, share, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread) {
    delete share;
    return nullptr;
  }
  return worker;
}

// Forgets the stalled workers whose question came back meanwhile.
void ForgetAnsweredStalls() {
  for (auto it = g_stalled.begin(); it != g_stalled.end();)
    it = WaitForSingleObject((*it)->done.get(), 0) == WAIT_OBJECT_0 ? g_stalled.erase(it) : std::next(it);
}

// The worker waits on for its process and ends once it answers; the next question
// gets a new worker.
void Abandon(const std::shared_ptr<MemoryWorker>& worker) {
  worker->quit = 1;
  SetEvent(worker->wake.get());
  g_stalled.push_back(worker);
  g_worker.reset();
}

void StopMemoryWorker() {
  if (!g_worker) return;
  g_worker->quit = 1;
  SetEvent(g_worker->wake.get());
  g_worker.reset();
}

}  // namespace

bool SysInfoPerfInfo(VARIANT* info) {
  SysInfoSlots* object = Object();
  return object && object->PerfInfo(info) == S_OK;
}

PerfInfoArray TakePerfInfo() {
  PerfInfoArray figures;
  VARIANT v;
  VariantInit(&v);
  if (SysInfoPerfInfo(&v) && v.vt == (VT_ARRAY | VT_I4) && v.parray &&
      SafeArrayGetDim(v.parray) == 1) {
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(v.parray, 1, &lo);
    SafeArrayGetUBound(v.parray, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
      LONG value = 0;
      if (SUCCEEDED(SafeArrayGetElement(v.parray, &i, &value))) figures.push_back(value);
    }
  }
  VariantClear(&v);
  return figures;
}

int64_t MemoryFigureKb(const PerfInfoArray& figures, size_t index) {
  if (index >= figures.size()) return 0;
  if (figures[index] != 0x7FFFFFFF || index < 2 || index > 7) return figures[index];
  // Absent before Windows 2000, where no figure reaches the ceiling.
  typedef BOOL(WINAPI * StatusExFn)(LPMEMORYSTATUSEX);
  static const auto statusEx = reinterpret_cast<StatusExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx")));
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!statusEx || !statusEx(&status)) return figures[index];
  const DWORDLONG bytes[6] = {status.ullAvailPhys,    status.ullTotalPhys,     status.ullAvailVirtual,
                              status.ullTotalVirtual, status.ullAvailPageFile, status.ullTotalPageFile};
  return static_cast<int64_t>(bytes[index - 2] >> 10);
}

bool TakeProcMem(DWORD processId, int32_t figures[3]) { return ReadProcMem(Object(), processId, figures); }

MemoryRead TakeProcMemBounded(DWORD processId, int32_t figures[3], DWORD timeoutMs,
                              const std::function<bool()>& whileWaiting) {
  ForgetAnsweredStalls();
  for (const auto& stalled : g_stalled)
    if (stalled->processId == processId) return MemoryRead::kTimedOut;
  if (!g_worker) g_worker = StartMemoryWorker();
  if (!g_worker) return MemoryRead::kUnreadable;
  std::shared_ptr<MemoryWorker> worker = g_worker;
  worker->processId = processId;
  worker->asked = 1;
  ResetEvent(worker->done.get());
  SetEvent(worker->wake.get());
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) break;
    const DWORD slice = std::min<DWORD>(timeoutMs - spent, 50);
    HANDLE done = worker->done.get();
    const DWORD woke = whileWaiting ? MsgWaitForMultipleObjectsEx(1, &done, slice, QS_ALLINPUT, 0)
                                    : WaitForSingleObject(done, slice);
    if (woke == WAIT_OBJECT_0) {
      if (!worker->ok) return MemoryRead::kUnreadable;
      for (int i = 0; i < 3; ++i) figures[i] = worker->figures[i];
      return MemoryRead::kRead;
    }
    if (whileWaiting && !whileWaiting()) {
      Abandon(worker);
      return MemoryRead::kStopped;
    }
  }
  Abandon(worker);
  return MemoryRead::kTimedOut;
}

int UnansweredMemoryQuestions() {
  ForgetAnsweredStalls();
  return static_cast<int>(g_stalled.size());
}

void ReleaseSysInfo() {
  StopMemoryWorker();
  if (SysInfoObj) SysInfoObj->Release();
  SysInfoObj = nullptr;
}
