#include "StallMeter.h"

#include <algorithm>
#include <mutex>

#include "Window.h"

namespace ui {
namespace {

struct Measurement {
  DWORD start;
  DWORD excluded;  // waited for the user inside it
  DWORD charged;   // already recorded as the stalls of measurements inside it
};

struct Wait {
  DWORD start;
  size_t depth;  // measurements open when the wait began
};

// The nesting on the user-interface thread: the first thread that times anything.
// Windows a test makes on a helper thread are not the program's and go untimed.
// (No thread_local: its destructors in a static MinGW program can run after the
// runtime's heap is gone.)
struct ThreadState {
  DWORD thread = 0;
  std::vector<Measurement> open;
  std::vector<Wait> waits;
};
ThreadState& TheState() {
  static ThreadState* state = new ThreadState;
  return *state;
}

bool OnMeterThread() {
  const DWORD self = GetCurrentThreadId();
  if (!TheState().thread) TheState().thread = self;
  return TheState().thread == self;
}

// Shared by the threads; never freed, so a report printed while the process ends
// still finds it.
struct Record {
  std::mutex lock;
  std::vector<Stall> stalls;
  std::string context;
  long expecting = 0;
};
Record& TheRecord() {
  static Record* record = new Record;
  return *record;
}

// Enough for any report; a program that stalls more often keeps its longest.
const size_t kKept = 200;

const char* MessageName(UINT msg) {
  switch (msg) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_SIZE: return "WM_SIZE";
    case WM_MOVE: return "WM_MOVE";
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_PAINT: return "WM_PAINT";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_QUERYENDSESSION: return "WM_QUERYENDSESSION";
    case WM_ENDSESSION: return "WM_ENDSESSION";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP: return "WM_ACTIVATEAPP";
    case WM_WINDOWPOSCHANGING: return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED: return "WM_WINDOWPOSCHANGED";
    case WM_NOTIFY: return "WM_NOTIFY";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_TIMER: return "WM_TIMER";
    case WM_HSCROLL: return "WM_HSCROLL";
    case WM_VSCROLL: return "WM_VSCROLL";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_CONTEXTMENU: return "WM_CONTEXTMENU";
    case WM_NCLBUTTONDOWN: return "WM_NCLBUTTONDOWN";
    case WM_SIZING: return "WM_SIZING";
    case WM_EXITSIZEMOVE: return "WM_EXITSIZEMOVE";
    case WM_HOTKEY: return "WM_HOTKEY";
    case WM_DRAWITEM: return "WM_DRAWITEM";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_GETTEXT: return "WM_GETTEXT";
    default: return nullptr;
  }
}

std::string TextOf(HWND hwnd) {
  WCHAR wide[80] = L"";
  int n = InternalGetWindowText(hwnd, wide, 80);  // sends nothing: safe inside any handler
  char text[160] = "";
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
  return std::string("\"") + text + "\"";
}

std::string Describe(HWND hwnd, UINT msg, WPARAM wp) {
  std::string what;
  if (const char* name = MessageName(msg)) {
    what = name;
  } else {
    char code[40];
    if (msg >= WM_APP)
      wsprintfA(code, "WM_APP+%u", msg - WM_APP);
    else if (msg >= WM_USER)
      wsprintfA(code, "WM_USER+%u", msg - WM_USER);
    else
      wsprintfA(code, "message 0x%04X", msg);
    what = code;
  }
  if (msg == WM_COMMAND || msg == WM_TIMER || msg == WM_SYSCOMMAND) {
    char id[24];
    wsprintfA(id, " %u", static_cast<unsigned>(msg == WM_COMMAND ? LOWORD(wp) : wp));
    what += id;
  }
  if (!IsWindow(hwnd)) return what + " to a window since destroyed";
  Window* form = Window::FormOf(hwnd);
  if (form && form->hwnd() == hwnd) return what + " to form " + TextOf(hwnd);
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  what += std::string(" to ") + cls + " " + TextOf(hwnd);
  if (form && form->hwnd()) what += " in form " + TextOf(form->hwnd());
  return what;
}

void Keep(DWORD ms, std::string what) {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  if (!r.context.empty()) what += " in " + r.context;
  r.stalls.push_back({ms, std::move(what), r.expecting > 0});
  if (r.stalls.size() > kKept) {
    // The shortest goes; the order of the rest stays.
    auto shortest = std::min_element(r.stalls.begin(), r.stalls.end(),
                                     [](const Stall& a, const Stall& b) { return a.ms < b.ms; });
    r.stalls.erase(shortest);
  }
}

// The system's sizing and menu loops say when they begin and end; in between they
// wait for the user's drag or choice.
bool BeginsWait(UINT msg) { return msg == WM_ENTERSIZEMOVE || msg == WM_ENTERMENULOOP; }
bool EndsWait(UINT msg) { return msg == WM_EXITSIZEMOVE || msg == WM_EXITMENULOOP; }

// Milliseconds from a steady clock finer than the tick count's 16 ms steps.
DWORD Now() {
  static const LONGLONG perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart / 1000 > 0 ? f.QuadPart / 1000 : 1;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<DWORD>(c.QuadPart / perMs);
}

void Open() { TheState().open.push_back({Now(), 0, 0}); }

// Closes the innermost measurement; true with its own time when that is a stall.
bool Close(DWORD& own) {
  ThreadState& s = TheState();
  if (s.open.empty()) return false;
  const DWORD now = Now();
  const size_t index = s.open.size() - 1;
  Measurement m = s.open.back();
  s.open.pop_back();
  // A wait begun inside this measurement and not ended with it (an exit message that
  // never came) still counts as waiting, and belongs to the ones around it no longer.
  for (Wait& w : s.waits)
    if (w.depth > index) {
      m.excluded += now - w.start;
      break;
    }
  for (Wait& w : s.waits) w.depth = std::min(w.depth, index);
  const DWORD elapsed = now - m.start;  // survives the wrap of the tick count
  const DWORD counted = elapsed > m.excluded ? elapsed - m.excluded : 0;
  own = counted > m.charged ? counted - m.charged : 0;
  const bool stalled = own > kStallMs;
  if (!s.open.empty()) s.open.back().charged += stalled ? counted : std::min(counted, m.charged);
  return stalled;
}

}  // namespace

StallScope::StallScope(HWND hwnd, UINT msg, WPARAM wp) : hwnd_(hwnd), msg_(msg), wp_(wp) {
  active_ = OnMeterThread();
  if (!active_) return;
  if (BeginsWait(msg)) BeginUserWait();
  Open();
}

StallScope::StallScope(const char* step) : step_(step) {
  active_ = OnMeterThread();
  if (active_) Open();
}

StallScope::~StallScope() {
  if (!active_) return;
  DWORD own = 0;
  if (Close(own)) Keep(own, step_ ? std::string(step_) : Describe(hwnd_, msg_, wp_));
  if (!step_ && EndsWait(msg_)) EndUserWait();
}

void BeginUserWait() {
  if (OnMeterThread()) TheState().waits.push_back({Now(), TheState().open.size()});
}

void EndUserWait() {
  ThreadState& s = TheState();
  if (!OnMeterThread() || s.waits.empty()) return;
  const Wait w = s.waits.back();
  s.waits.pop_back();
  const DWORD waited = Now() - w.start;
  // The measurements under an enclosing wait lose this time with that wait's whole.
  const size_t from = s.waits.empty() ? 0 : std::min(s.waits.back().depth, w.depth);
  for (size_t i = from; i < w.depth && i < s.open.size(); ++i) s.open[i].excluded += waited;
}

UserWait::UserWait() { BeginUserWait(); }
UserWait::~UserWait() { EndUserWait(); }

ExpectedStalls::ExpectedStalls() {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  ++r.expecting;
}

ExpectedStalls::~ExpectedStalls() {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  --r.expecting;
}

void SetStallContext(const std::string& context) {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  r.context = context;
}

std::vector<Stall> LongestStalls(size_t count, bool expected) {
  std::vector<Stall> kind;
  for (Stall& s : RecordedStalls())
    if (s.expected == expected) kind.push_back(std::move(s));
  std::stable_sort(kind.begin(), kind.end(), [](const Stall& a, const Stall& b) { return a.ms > b.ms; });
  if (kind.size() > count) kind.resize(count);
  return kind;
}

std::vector<Stall> RecordedStalls() {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  return r.stalls;
}

void ClearStalls() {
  Record& r = TheRecord();
  std::lock_guard<std::mutex> hold(r.lock);
  r.stalls.clear();
}

void PrintStalls(FILE* out) {
  for (const Stall& s : LongestStalls(5, false)) fprintf(out, "stalls: %lu ms %s\n", s.ms, s.what.c_str());
  for (const Stall& s : LongestStalls(5, true))
    fprintf(out, "stalls (expected): %lu ms %s\n", s.ms, s.what.c_str());
  fflush(out);
}

}  // namespace ui
