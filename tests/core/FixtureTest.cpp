// The fixture program plays the other programs the tests need; these cases make
// sure each of its modes behaves as the tests rely on.
#include <gtest/gtest.h>

#include <fstream>

#include "Fixture.h"
#include "UiWait.h"

using testsupport::Fixture;
using testsupport::FixtureOptions;

namespace {

TEST(FixtureProgram, ModesGiveTheWindowsTestsExpect) {
  struct Case {
    const char* mode;
    bool visible;
    bool answers;
  } cases[] = {{"plain", true, true}, {"hidden", false, true}, {"hung", true, false}};
  for (const Case& c : cases) {
    FixtureOptions o;
    o.mode = c.mode;
    o.title = std::string("fixture ") + c.mode;
    Fixture f(o);
    ASSERT_TRUE(f.Started()) << c.mode;
    EXPECT_EQ(testsupport::WindowText(f.hwnd()), o.title);
    EXPECT_EQ(IsWindowVisible(f.hwnd()) != 0, c.visible) << c.mode;
    // The hung fixture answers what was queued when it came up, then stops: it gives
    // no sign of that last pass, so it is given a moment.
    if (!c.answers) Sleep(100);
    DWORD_PTR result = 0;
    bool answered = SendMessageTimeoutA(f.hwnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &result) != 0;
    EXPECT_EQ(answered, c.answers) << c.mode;
  }
}

TEST(FixtureProgram, WritesItsWorkingFolderIntoTheMarker) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "quillon-fixture-dir";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string marker = std::string(temp) + "quillon-marker.txt";
  DeleteFileA(marker.c_str());
  {
    FixtureOptions o;
    o.title = "fixture marker";
    o.marker = marker;
    o.workDir = dir;
    Fixture f(o);
    ASSERT_TRUE(f.Started());
  }
  std::ifstream in(marker);
  std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(_stricmp(written.c_str(), dir.c_str()), 0) << written;
  in.close();
  DeleteFileA(marker.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST(FixtureProgram, EndingItClosesTheProcess) {
  FixtureOptions o;
  o.title = "fixture ended";
  Fixture f(o);
  ASSERT_TRUE(f.Started());
  HANDLE process = nullptr;
  DuplicateHandle(GetCurrentProcess(), f.process(), GetCurrentProcess(), &process, SYNCHRONIZE, FALSE, 0);
  f.End();
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
  CloseHandle(process);
}

}  // namespace
