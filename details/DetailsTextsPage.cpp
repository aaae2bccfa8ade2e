#include "DetailsTextsPage.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "DetailsFrm.h"
#include "ModMain.h"
#include "OwnedHandle.h"

namespace {

// Memory is read in pieces of at most this size: a whole region can exceed what a
// 32-bit program can allocate.
const size_t kReadPiece = 1024 * 1024;
// Events run during a search at most this often: a pump per chunk costs far more
// than the scan itself.
const DWORD kPumpEveryMs = 30;
// The bar is a few hundred pixels wide: finer steps only cost redraws (about 1 ms each here).
const int kProgressSteps = 1000;
// How long the process may leave one question unanswered before the walk is given up.
const DWORD kMemoryAnswerMs = 3000;

int Scaled(unsigned long long done, unsigned long long total) {
  if (total == 0) return 0;
  if (done >= total) return kProgressSteps;
  return static_cast<int>(done * kProgressSteps / total);
}

// A walk of another process's memory runs on a thread of its own: a process that
// is stopped (suspended, or held by a debugger) answers neither VirtualQueryEx nor
// ReadProcessMemory, and the thread that asks waits as long as it stays so. The
// walk's state is shared, so a walk given up can finish (or stay stuck) alone.
struct MemoryTextWalk {
  OwnedHandle process;
  OwnedHandle done;
  uintptr_t low = 0, high = 0;
  TextScanState scan;
  std::atomic<uintptr_t> address{0};
  std::atomic<unsigned> calls{0};  // answered questions to the process: it still moves
  std::atomic<bool> stop{false};
  std::mutex lock;  // over texts
  std::string texts;
};

void WalkMemoryTexts(MemoryTextWalk& walk) {
  std::vector<uint8_t> buffer;
  uintptr_t address = walk.low;
  while (address < walk.high && !walk.stop) {
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQueryEx(walk.process.get(), reinterpret_cast<LPCVOID>(address), &region, sizeof region) != sizeof region)
      break;
    ++walk.calls;
    const auto base = reinterpret_cast<uintptr_t>(region.BaseAddress);
    const size_t size = region.RegionSize;
    if (region.Type == MEM_PRIVATE && region.State == MEM_COMMIT && size > 0) {
      for (size_t offset = 0; offset < size && !walk.stop; offset += kReadPiece) {
        const size_t piece = std::min(kReadPiece, size - offset);
        buffer.resize(piece);
        SIZE_T read = 0;
        const BOOL ok =
            ReadProcessMemory(walk.process.get(), reinterpret_cast<LPCVOID>(base + offset), buffer.data(), piece, &read);
        ++walk.calls;
        if (!ok && read == 0) break;
        // One region is one run of bytes: only its first piece may start the scan afresh.
        {
          std::lock_guard<std::mutex> hold(walk.lock);
          if (offset == 0)
            ScanBytes(walk.scan, buffer.data(), read, walk.texts);
          else
            ScanMoreBytes(walk.scan, buffer.data(), read, walk.texts);
        }
        if (read < piece) break;
      }
    }
    const uintptr_t next = base + size;
    if (next <= address) break;  // a walk that does not move forward would never end
    address = next;
    walk.address = address;
  }
}

}  // namespace

DetailsTextsPage::DetailsTextsPage(DetailsFrmForm& form, ui::Container& frame)
    : textsOpt{{form, {0, 0, 320, 20}, "Find readable text in the program memory", true},
               {form, {0, 22, 320, 20}, "Find readable text in the program exe file"}},
      FileTextTxt(form, {0, 46, 624, 250}),
      StopBtn(form, {0, 302, 80, 24}, "Stop"),
      Label5(form, {90, 306, 110, 18}, "Loading progress:"),
      ProgressBar1(form, {204, 304, 420, 20}),
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&textsOpt[0], &textsOpt[1], &FileTextTxt, &StopBtn,
                                                            &Label5, &ProgressBar1})
    c->SetContainer(frame);
  // Memory is the source until the user picks the file.
  textsOpt[0].SetValue(true);
  for (ui::OptionButton& option : textsOpt) option.Click = [this] { textsOpt_Click(); };
  StopBtn.Click = [this] { StopBtn_Click(); };
}

void DetailsTextsPage::Form_Load() {
  StopBtn.SetEnabled(false);
  ProgressBar1.SetValue(0);
}

void DetailsTextsPage::StopBtn_Click() { form_.StopRequested = true; }

void DetailsTextsPage::textsOpt_Click() {
  ui::DoEvents();
  form_.RefFrm(form_.CurrentPath, false);
}

void DetailsTextsPage::LetEventsRun() {
  // The real clock: tests move the program's tick seam, not the time the pump costs.
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - lastPump_) < kPumpEveryMs) return;
  ui::DoEvents();
  lastPump_ = GetTickCount();
}

void DetailsTextsPage::RunTextSearch() {
  form_.StopRequested = false;
  FileTextTxt.SetEnabled(false);
  StopBtn.SetEnabled(true);
  ProgressBar1.SetValue(0);
  ui::DoEvents();
  const bool memory = textsOpt[0].Value();
  FileTextTxt.SetText(memory ? "Reading memory ... This may take few moments, please wait ..."
                             : "Reading exe file... This may take few moments, please wait ...");
  ui::DoEvents();
  lastPump_ = GetTickCount();
  std::string result = memory ? FindTexts(form_.Processes.SelectedOwnProcess()) : FindTextsInExe();
  // Stopped for another program or a close: its strings belong to no page.
  if (form_.FillSuperseded() || !form_.hwnd()) return;
  FileTextTxt.SetText(result);
  form_.StopRequested = false;
  StopBtn.SetEnabled(false);
  if (result.empty()) {
    FileTextTxt.SetText(memoryUnanswered_ ? "The program's memory can't be read: the program does not answer."
                                          : "No strings were found!");
    FileTextTxt.SetEnabled(false);
  } else {
    FileTextTxt.SetEnabled(true);
  }
}

std::string DetailsTextsPage::FindTexts(DWORD processId) {
  memoryUnanswered_ = false;
  // Query information, memory read and memory operation: nothing here writes.
  OwnedHandle process(processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_OPERATION,
                                              FALSE, processId)
                                : nullptr);
  if (!process) return {};
  auto walk = std::make_shared<MemoryTextWalk>();
  walk->process = std::move(process);
  walk->done.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  walk->low = reinterpret_cast<uintptr_t>(info.lpMinimumApplicationAddress);
  walk->high = reinterpret_cast<uintptr_t>(info.lpMaximumApplicationAddress);
  walk->address = walk->low;
  walk->scan = Scan;
  ProgressBar1.SetMax(kProgressSteps);
  if (!walk->done) return {};
  try {
    std::thread([walk] {
      WalkMemoryTexts(*walk);
      SetEvent(walk->done.get());
    }).detach();
  } catch (const std::system_error&) {
    return {};
  }
  unsigned answered = 0;
  DWORD lastAnswer = GetTickCount();
  int shown = -1;
  for (;;) {
    if (ui::WaitServingEvents(walk->done.get(), 50, [this] { return form_.StopRequested; })) break;
    const int value = Scaled(walk->address - walk->low, walk->high - walk->low);
    if (value != shown) ProgressBar1.SetValue(shown = value);
    if (form_.StopRequested || !form_.hwnd()) break;
    if (walk->calls != answered) {
      answered = walk->calls;
      lastAnswer = GetTickCount();
    } else if (GetTickCount() - lastAnswer >= kMemoryAnswerMs) {
      memoryUnanswered_ = true;
      break;
    }
  }
  walk->stop = true;
  std::lock_guard<std::mutex> hold(walk->lock);
  Scan = walk->scan;
  return walk->texts;
}

std::string DetailsTextsPage::FindTextsInExe() {
  const OwnedHandle file(CreateFileA(form_.CurrentPath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return {};
  LARGE_INTEGER length = {};
  GetFileSizeEx(file.get(), &length);
  ProgressBar1.SetMax(kProgressSteps);
  struct Progress {
    DetailsTextsPage* page;
    unsigned long long length;
    int shown;  // asking the bar its value is a message too: the last one set is kept here
  } progress{this, static_cast<unsigned long long>(length.QuadPart), -1};
  auto read = [](void* source, uint8_t* into, size_t most) -> size_t {
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(source), into, static_cast<DWORD>(most), &got, nullptr)) return 0;
    return got;
  };
  auto chunkDone = [](void* context, unsigned long long scanned) {
    auto& p = *static_cast<Progress*>(context);
    const int value = Scaled(scanned, p.length);
    if (value != p.shown) p.page->ProgressBar1.SetValue(p.shown = value);
    p.page->LetEventsRun();
    return !p.page->form_.StopRequested;
  };
  std::string result =
      form_.StopRequested ? std::string() : ScanInChunks(Scan, kReadPiece, read, file.get(), chunkDone, &progress);
  return result;
}
