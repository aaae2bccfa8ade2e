#include "InetTransfer.h"

#include <wininet.h>

#include <memory>

#include "Owned.h"
#include "StallMeter.h"

namespace ui {

namespace {

const char kClass[] = "QpInetTransfer";
const UINT kArrived = WM_APP + 0x2A1;

struct Job {
  HWND target;
  unsigned request;
  std::string url;
  DWORD timeout;
};

void Fail(InetResult& result, DWORD code) {
  result.failed = true;
  result.errorCode = code;
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                GetModuleHandleA("wininet.dll"), code, 0, text, sizeof text, nullptr);
  if (length == 0)
    length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                            sizeof text, nullptr);
  std::string message(text, length);
  // The system's texts end in a line break.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  result.errorText = message;
}

// WinINet and what it pulls in (name resolution, the network providers) are loaded
// for the first request, not at start: most runs never make one.
struct WinInet {
  decltype(&InternetCrackUrlA) CrackUrl;
  decltype(&InternetOpenA) Open;
  decltype(&InternetConnectA) Connect;
  decltype(&HttpOpenRequestA) OpenRequest;
  decltype(&InternetSetOptionA) SetOption;
  decltype(&HttpSendRequestA) SendRequest;
  decltype(&HttpQueryInfoA) QueryInfo;
  decltype(&InternetReadFile) ReadFile;
  decltype(&InternetCloseHandle) CloseHandle;
  bool complete;
};

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn& fn, bool& complete) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  complete = complete && fn != nullptr;
}

const WinInet& Inet() {
  static const WinInet calls = [] {
    WinInet c = {};
    c.complete = true;
    HMODULE m = LoadLibraryA("wininet.dll");
    if (!m) {
      c.complete = false;
      return c;
    }
    Bind(m, "InternetCrackUrlA", c.CrackUrl, c.complete);
    Bind(m, "InternetOpenA", c.Open, c.complete);
    Bind(m, "InternetConnectA", c.Connect, c.complete);
    Bind(m, "HttpOpenRequestA", c.OpenRequest, c.complete);
    Bind(m, "InternetSetOptionA", c.SetOption, c.complete);
    Bind(m, "HttpSendRequestA", c.SendRequest, c.complete);
    Bind(m, "HttpQueryInfoA", c.QueryInfo, c.complete);
    Bind(m, "InternetReadFile", c.ReadFile, c.complete);
    Bind(m, "InternetCloseHandle", c.CloseHandle, c.complete);
    return c;
  }();
  return calls;
}

// Only a call that found the whole library hands out a handle to close.
struct InetClose {
  static bool Valid(HINTERNET h) { return h != nullptr; }
  static void Close(HINTERNET h) { Inet().CloseHandle(h); }
};
using OwnedInternet = owned::Owned<HINTERNET, InetClose>;

// The request itself; WinINet ignores a time-out set on the session handle, so it
// goes on the request handle.
void Fetch(const Job& job, InetResult& result) {
  URL_COMPONENTSA parts = {};
  char host[256] = {}, path[2048] = {}, extra[1024] = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = sizeof extra;
  const WinInet& inet = Inet();
  if (!inet.complete) return Fail(result, ERROR_MOD_NOT_FOUND);
  if (!inet.CrackUrl(job.url.c_str(), 0, 0, &parts)) return Fail(result, GetLastError());
  // Declared in this order so that the request closes first and the session last.
  const OwnedInternet session(inet.Open("Quillon Pro", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return Fail(result, GetLastError());
  const OwnedInternet connection(
      inet.Connect(session.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  OwnedInternet request;
  if (connection) {
    const std::string object = std::string(path) + extra;
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    request.Reset(inet.OpenRequest(connection.get(), "GET", object.empty() ? "/" : object.c_str(), nullptr, nullptr,
                                   nullptr, flags, 0));
  }
  if (!request) return Fail(result, GetLastError());
  DWORD timeout = job.timeout;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    inet.SetOption(request.get(), option, &timeout, sizeof timeout);
  if (!inet.SendRequest(request.get(), nullptr, 0, nullptr, 0)) return Fail(result, GetLastError());
  DWORD status = 0, size = sizeof status;
  if (inet.QueryInfo(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    result.status = static_cast<int>(status);
  char chunk[4096];
  DWORD read = 0;
  while (inet.ReadFile(request.get(), chunk, sizeof chunk, &read) && read > 0) result.body.append(chunk, read);
}

DWORD WINAPI Worker(LPVOID param) {
  std::unique_ptr<Job> job(static_cast<Job*>(param));
  auto result = std::make_unique<InetResult>();
  Fetch(*job, *result);
  // A window that is gone takes nothing: the answer is freed here.
  if (PostMessageA(job->target, kArrived, job->request, reinterpret_cast<LPARAM>(result.get()))) result.release();
  return 0;
}

}  // namespace

InetTransfer::~InetTransfer() {
  if (target_) DestroyWindow(target_);
}

bool InetTransfer::Execute(const std::string& url) {
  if (!target_) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &InetTransfer::ProcOf;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    target_ = CreateWindowA(kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!target_) return false;
    SetWindowLongPtrA(target_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  auto* job = new Job{target_, ++request_, url, RequestTimeout};
  HANDLE thread = CreateThread(nullptr, 0, &Worker, job, 0, nullptr);
  if (!thread) {
    delete job;
    return false;
  }
  CloseHandle(thread);
  running_ = true;
  return true;
}

void InetTransfer::Cancel() {
  ++request_;
  running_ = false;
}

void InetTransfer::Arrived(unsigned request, InetResult* result) {
  std::unique_ptr<InetResult> owned(result);
  if (request != request_ || !running_) return;
  running_ = false;
  if (StateChanged) StateChanged(*owned);
}

LRESULT CALLBACK InetTransfer::ProcOf(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kArrived) {
    StallScope timed(hwnd, msg, wp);
    auto* self = reinterpret_cast<InetTransfer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    auto* result = reinterpret_cast<InetResult*>(lp);
    if (self)
      self->Arrived(static_cast<unsigned>(wp), result);
    else
      delete result;
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace ui
