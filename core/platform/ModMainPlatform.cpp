#include "ModMainPlatform.h"

#include <cstdlib>

#include "Seams.h"
#include "VbRules.h"

const char* const ProgramTitle = "Quillon Pro";
const char* ProductWebSite = "http://www.quillonpro.example";

bool IsExiting;
bool CancelFlag;
bool SessionEnding;

std::string MsgText;
int16_t MsgStyle;
int16_t MsgResponse;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetMainFlags() {
  IsExiting = false;
  CancelFlag = false;
  SessionEnding = false;
  MsgText = std::string();
  MsgStyle = 0;
  MsgResponse = 0;
}
namespace {
const bool resetMainFlagsDone = (ResetMainFlags(), true);
}  // namespace

int16_t ShowMsg(HWND owner) {
  MsgResponse = static_cast<int16_t>(MsgBox(MsgText, static_cast<UINT>(MsgStyle), owner));
  return MsgResponse;
}

HWND DialogOwner(HWND given) {
  // A box belongs to a top-level window: a page inside the frame gives the frame.
  if (given && IsWindow(given)) return GetAncestor(given, GA_ROOT);
  // Else the window the user is working in: owned by it, the box stays above it (also
  // above an always-on-top frame) and the window waits for the answer.
  return GetActiveWindow();
}

int MsgBox(const std::string& text, UINT style, HWND owner) {
  return seams::MessageBoxFn(DialogOwner(owner), text, ProgramTitle, style);
}

void OpenUrl(const std::string& address, int showCommand) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  seams::ShellRequest request;
  request.verb = "Open";
  request.file = address;
  request.show = showCommand;
  seams::ShellExecuteFn(request);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

std::vector<COLORREF> GradientBands(int r1, int g1, int b1, int r2, int g2, int b2) {
  auto channel = [](double v) {
    double r = vb::RoundHalfEven(v);
    return static_cast<BYTE>(r > 255 ? 255 : r < 0 ? 0 : r);
  };
  const double dr = std::abs(r2 - r1) / 255.0, dg = std::abs(g2 - g1) / 255.0,
               db = std::abs(b2 - b1) / 255.0;
  double r = r1, g = g1, b = b1;
  std::vector<COLORREF> bands(256);
  for (COLORREF& band : bands) {
    band = RGB(channel(r), channel(g), channel(b));
    r += dr;
    g += dg;
    b += db;
  }
  return bands;
}

HWND WndFromCursor() {
  POINT p = {};
  seams::CursorPosFn(&p);
  return WindowFromPoint(p);
}

std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = text ? text : "error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  return reason;
}

void ShowOnlineHelp(const std::string& /*topic*/) {
  // One help page serves every topic.
  OpenUrl(std::string(ProductWebSite) + "/online_help.htm", SW_SHOWNORMAL);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string GetWinDir() {
  char buf[200];
  UINT n = GetWindowsDirectoryA(buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::string GetSysDir() {
  char buf[255];
  UINT n = GetSystemDirectoryA(buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::string GetFileNameFromPath(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SecsToTimeStr(int32_t seconds) {
  const int32_t h = seconds / 3600;
  const int32_t m = (seconds % 3600) / 60;
  const int32_t s = seconds - 3600 * h - 60 * m;
  auto two = [](int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(h) + ":" + two(m) + ":" + two(s);
}

std::string GetWndClassName(HWND hwnd) {
  char buf[256];
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::string GetShortPath(const std::string& path) {
  if (path.empty()) return "";
  // Sized from the system's answer: a fixed buffer cuts long paths, and only the
  // part the call filled is the path.
  DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
  if (needed == 0) return "";
  std::string shortPath(needed, '\0');
  DWORD n = GetShortPathNameA(path.c_str(), &shortPath[0], needed);
  if (n == 0 || n >= needed) return "";
  shortPath.resize(n);
  return shortPath;
}
