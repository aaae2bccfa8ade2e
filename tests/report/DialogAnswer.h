// Answers the system's dialogs of the test's own thread from another thread, as a
// user would.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace reporttest {

// Answers the system's file dialog (Save As or Open) from another thread: the name into its file-name
// box (cmb13), OK; then the replace question when one comes.
class FileDialogAnswer {
 public:
  FileDialogAnswer(std::string name, int replaceAnswer)
      : ui_(GetCurrentThreadId()), name_(std::move(name)), replace_(replaceAnswer) {
    helper_ = std::thread([this] { Run(); });
  }
  ~FileDialogAnswer() {
    done_ = true;
    helper_.join();
  }
  bool askedToReplace = false;

 private:
  struct Found {
    HWND dialog = nullptr, box = nullptr;
  };
  static BOOL CALLBACK Each(HWND hwnd, LPARAM lp) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    Found& f = *reinterpret_cast<Found*>(lp);
    (GetDlgItem(hwnd, 0x47c) ? f.dialog : f.box) = hwnd;
    return TRUE;
  }
  Found Look() const {
    Found f;
    EnumThreadWindows(ui_, Each, reinterpret_cast<LPARAM>(&f));
    return f;
  }
  void Run() {
    bool named = false;
    for (int i = 0; i < 1000 && !done_; ++i) {
      Sleep(20);
      Found f = Look();
      if (f.box && named) {
        askedToReplace = true;
        PostMessageA(f.box, WM_COMMAND, replace_, 0);
        if (replace_ == IDNO) {
          // The file dialog is back once the question has gone.
          for (int wait = 0; wait < 250 && (Look().box || !Look().dialog); ++wait) Sleep(20);
          if (HWND d = Look().dialog) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        }
        return;
      }
      if (f.dialog && !named) {
        if (name_.empty()) {
          PostMessageA(f.dialog, WM_COMMAND, IDCANCEL, 0);
          return;
        }
        SetDlgItemTextA(f.dialog, 0x47c, name_.c_str());
        PostMessageA(f.dialog, WM_COMMAND, IDOK, 0);
        named = true;
        if (replace_ == 0) return;
      }
    }
  }
  DWORD ui_;
  std::string name_;
  int replace_;
  std::atomic<bool> done_{false};
  std::thread helper_;
};

// Closes the next dialog box that is not a file dialog with a command, keeping its text.
class BoxAnswer {
 public:
  explicit BoxAnswer(int command) : ui_(GetCurrentThreadId()), command_(command) {
    helper_ = std::thread([this] { Run(); });
  }
  ~BoxAnswer() {
    done_ = true;
    helper_.join();
  }
  std::atomic<bool> seen{false};
  std::string text, caption;

 private:
  static BOOL CALLBACK Each(HWND hwnd, LPARAM lp) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(hwnd) && !GetDlgItem(hwnd, 0x47c)) {
      *reinterpret_cast<HWND*>(lp) = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  void Run() {
    for (int i = 0; i < 500 && !done_; ++i) {
      Sleep(20);
      HWND box = nullptr;
      EnumThreadWindows(ui_, Each, reinterpret_cast<LPARAM>(&box));
      if (!box) continue;
      char buffer[512] = {};
      GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
      text = buffer;
      GetWindowTextA(box, buffer, sizeof buffer);
      caption = buffer;
      seen = true;
      PostMessageA(box, WM_COMMAND, command_, 0);
      return;
    }
  }
  DWORD ui_;
  int command_;
  std::atomic<bool> done_{false};
  std::thread helper_;
};

}  // namespace reporttest
