// Starts the fixture program, which plays another program for a test, and ends it
// again when the test is done with it.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

struct FixtureOptions {
  std::string mode = "plain";  // plain, hidden, hung
  std::string title;           // the window's caption (also how it is found)
  std::string marker;          // a file the fixture writes its working folder into
  std::string workDir;         // the folder it starts in (the test's own when empty)
  std::string exePath;         // a copy of the fixture at a chosen path
};

class Fixture {
 public:
  explicit Fixture(const FixtureOptions& options);
  ~Fixture();
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  bool Started() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }
  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }
  void End();

 private:
  PROCESS_INFORMATION pi_ = {};
  HWND hwnd_ = nullptr;
};

// A folder of fixture copies, each named after the program it plays. Ends what it
// started and removes its copies (and their quarantined "_XX" names) when it goes.
class FixtureFolder {
 public:
  explicit FixtureFolder(const std::string& prefix);
  ~FixtureFolder();
  FixtureFolder(const FixtureFolder&) = delete;
  FixtureFolder& operator=(const FixtureFolder&) = delete;

  const std::string& dir() const { return dir_; }
  std::string PathOf(const std::string& name) const { return dir_ + name; }
  // Starts the copy named `name` (made on first use), its window titled `name`.
  Fixture& Start(const std::string& name, const std::string& mode);
  void Keep(const std::string& path) { copies_.push_back(path); }  // removed at the end

 private:
  std::string dir_;
  std::vector<std::unique_ptr<Fixture>> fixtures_;
  std::vector<std::string> copies_;
};

std::string FixturePath();
extern const char kFixtureClass[];  // the window class of every fixture window

}  // namespace testsupport
