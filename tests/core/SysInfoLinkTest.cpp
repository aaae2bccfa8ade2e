#include <gtest/gtest.h>
#include <windows.h>

#include "ProgramState.h"
#include "SysInfoLink.h"

namespace {

class SysInfoLinkTest : public testing::Test {
 protected:
  void SetUp() override { ReleaseSysInfo(); }
  void TearDown() override {
    ReleaseSysInfo();
    ResetProgramState();
  }
};

// A folder copied where nothing registered the library still has its figures: the
// library beside the program serves the object.
TEST_F(SysInfoLinkTest, AnUnregisteredClassIsServedByTheLibraryBesideTheProgram) {
  CreateSysInfoFn = [](IUnknown** object) {
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
  };
  const PerfInfoArray figures = TakePerfInfo();
  ASSERT_EQ(figures.size(), 9u);
  EXPECT_GE(figures[0], 0);  // the CPU figure
  EXPECT_LE(figures[0], 100);
  EXPECT_GT(figures[3], 0);  // total physical memory
  EXPECT_GT(figures[5], 0);  // total virtual memory
  EXPECT_GT(figures[2], 0);  // available physical memory
  EXPECT_NE(GetModuleHandleA(PellmonBesideProgram().c_str()), nullptr);
  int32_t memory[3] = {};
  EXPECT_TRUE(TakeProcMem(GetCurrentProcessId(), memory));
  EXPECT_GT(memory[0], 0);
}

// Only a class that is not registered falls back: any other failure stays a failure,
// and the program goes without figures as before.
TEST_F(SysInfoLinkTest, OtherFailuresOfTheRegisteredClassGiveNoFigures) {
  CreateSysInfoFn = [](IUnknown** object) {
    *object = nullptr;
    return E_ACCESSDENIED;
  };
  EXPECT_TRUE(TakePerfInfo().empty());
  int32_t memory[3] = {7, 7, 7};
  EXPECT_FALSE(TakeProcMem(GetCurrentProcessId(), memory));
  EXPECT_EQ(memory[0], 7);
}


// The library's figures are 32-bit KB and stop at 2^31 - 1; the address space of a
// 64-bit program (128 TB) is far past that. Only such a held figure of memory is read
// from the system; every other figure is the library's own.
TEST(MemoryFigureKb, AHeldMemoryFigureIsTheSystemsOwnAndTheRestPassThrough) {
  const int32_t held = 0x7FFFFFFF;
  const PerfInfoArray figures = {held, held, 11, 12, 13, held, held, 16, held};
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_EQ(MemoryFigureKb(figures, 2), 11);
  EXPECT_EQ(MemoryFigureKb(figures, 4), 13);
  EXPECT_EQ(MemoryFigureKb(figures, 5), static_cast<int64_t>(status.ullTotalVirtual >> 10));
  EXPECT_EQ(MemoryFigureKb(figures, 6), static_cast<int64_t>(status.ullAvailPageFile >> 10));
  EXPECT_EQ(MemoryFigureKb(figures, 0), held) << "the CPU figure is no memory figure";
  EXPECT_EQ(MemoryFigureKb(figures, 1), held);
  EXPECT_EQ(MemoryFigureKb(figures, 8), held);
  EXPECT_EQ(MemoryFigureKb(figures, 9), 0) << "past the end";
  EXPECT_EQ(MemoryFigureKb({}, 3), 0);
#ifdef _WIN64
  EXPECT_GT(MemoryFigureKb(figures, 5), static_cast<int64_t>(held)) << "a 64-bit program's address space";
#endif
}

}  // namespace
