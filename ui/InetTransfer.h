// The Internet transfer control: a GET that runs on a worker thread and reports to
// the user-interface thread. The worker touches no program state: it gets its own
// copy of the address and posts what it got back. An answer for a request that was
// cancelled since (the window closed, a new request began) is dropped.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct InetResult {
  bool failed = false;    // the icError state: no HTTP answer at all
  DWORD errorCode = 0;    // the WinINet error number when failed
  std::string errorText;  // its text, without the closing line break
  int status = 0;         // the HTTP status code (0 when the server said nothing)
  std::string body;
};

class InetTransfer {
 public:
  InetTransfer() = default;
  ~InetTransfer();
  InetTransfer(const InetTransfer&) = delete;
  InetTransfer& operator=(const InetTransfer&) = delete;

  // Starts a GET of the address past every cache; false when it could not start.
  bool Execute(const std::string& url);
  // Forgets the running request: its answer, when it comes, is dropped.
  void Cancel();
  bool StillExecuting() const { return running_; }

  // Runs on the user-interface thread once the request ends.
  std::function<void(const InetResult&)> StateChanged;
  // The time a request may wait for the server, in milliseconds.
  DWORD RequestTimeout = 60000;

 private:
  static LRESULT CALLBACK ProcOf(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Arrived(unsigned request, InetResult* result);
  HWND target_ = nullptr;  // a message-only window that receives the answers
  unsigned request_ = 0;
  bool running_ = false;
};

}  // namespace ui
