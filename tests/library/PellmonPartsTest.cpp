// The library's parts driven directly: the performance-data readers, the memory
// figures, the history graph, the list sorter and the sampler.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "HistoryGraph.h"
#include "ListSorter.h"
#include "MemoryFigures.h"
#include "PerfData.h"
#include "PerfSampler.h"

namespace {

// ---- Performance data blocks, laid out as the system returns them (32-bit) ----

struct Instance {
  uint32_t pid;
  uint64_t time;
};
struct ObjectSpec {
  uint32_t titleIndex = 230;
  std::vector<Instance> instances;
  bool noInstances = false;
  uint32_t timeSize = 8;
};

class Block {
 public:
  std::vector<unsigned char> bytes;
  void Put32(size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
  void Put64(size_t at, uint64_t v) { std::memcpy(&bytes[at], &v, 8); }
  uint32_t Get32(size_t at) const {
    uint32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  }
  size_t Grow(size_t n) {
    size_t at = bytes.size();
    bytes.resize(at + n, 0);
    return at;
  }
};

const size_t kBlockHeader = 88, kObjectHeader = 64, kCounterDef = 40, kInstanceDef = 32, kCounterBlock = 24;
const uint32_t kIdIndex = 784, kTimeIndex = 6;

// Offsets of the parts of the first object, for tests that spoil them.
struct Layout {
  size_t object = 0, firstCounter = 0, firstInstance = 0;
};

Block MakeBlock(const std::vector<ObjectSpec>& objects, Layout* layout = nullptr) {
  Block b;
  b.Grow(kBlockHeader);
  const char16_t perf[] = u"PERF";
  std::memcpy(&b.bytes[0], perf, 8);
  b.Put32(24, kBlockHeader);
  b.Put32(28, static_cast<uint32_t>(objects.size()));
  for (size_t o = 0; o < objects.size(); ++o) {
    const ObjectSpec& shape = objects[o];
    size_t object = b.Grow(kObjectHeader);
    size_t definitions = b.Grow(3 * kCounterDef);
    const uint32_t titles[3] = {1, kIdIndex, kTimeIndex};
    const uint32_t sizes[3] = {4, 4, shape.timeSize};
    const uint32_t offsets[3] = {4, 8, 16};
    for (int c = 0; c < 3; ++c) {
      size_t at = definitions + c * kCounterDef;
      b.Put32(at, kCounterDef);
      b.Put32(at + 4, titles[c]);
      b.Put32(at + 32, sizes[c]);
      b.Put32(at + 36, offsets[c]);
    }
    size_t firstInstance = b.bytes.size();
    for (const Instance& i : shape.instances) {
      size_t at = b.Grow(kInstanceDef);
      b.Put32(at, kInstanceDef);
      b.Put32(at + 16, 24);  // name offset
      b.Put32(at + 20, 8);   // name length
      size_t counters = b.Grow(kCounterBlock);
      b.Put32(counters, kCounterBlock);
      b.Put32(counters + 8, i.pid);
      b.Put64(counters + 16, i.time);
    }
    b.Put32(object, static_cast<uint32_t>(b.bytes.size() - object));
    b.Put32(object + 4, static_cast<uint32_t>(firstInstance - object));
    b.Put32(object + 8, kObjectHeader);
    b.Put32(object + 12, shape.titleIndex);
    b.Put32(object + 32, 3);
    b.Put32(object + 40, shape.noInstances ? 0xFFFFFFFFu : static_cast<uint32_t>(shape.instances.size()));
    if (layout && o == 0) *layout = {object, definitions, firstInstance};
  }
  b.Put32(20, static_cast<uint32_t>(b.bytes.size()));
  return b;
}

perfdata::ProcessTime Find(const Block& b, uint32_t pid, uint32_t objectIndex = 230) {
  return perfdata::FindProcessTime(b.bytes.data(), b.bytes.size(), objectIndex, perfdata::CounterIndices(), pid);
}

ObjectSpec ThreeProcesses() {
  ObjectSpec shape;
  shape.instances = {{4, 100}, {1234, 0x123456789ull}, {77, 5}};
  return shape;
}

// ---- Windows for the graph and the sorter ----

// All the bytes of a literal, NULs inside it included.
template <size_t N>
std::string Literal(const char (&text)[N]) {
  return std::string(text, N - 1);
}

HWND MakeHost() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(PerfDataCounterNames, TakesTheIndicesBeforeTheNames) {
  const struct {
    std::string list;
    std::string process;
    uint32_t id, time;
  } cases[] = {
      {Literal("1\0" "1847\0" "230\0Process\0" "784\0ID Process\0" "6\0% Processor Time\0\0"), "230", 784, 6},
      {Literal("5\0% processor time\0" "9\0id process\0" "77\0PROCESS\0\0"), "77", 9, 5},
      // This system's list: no process object, the usual counter indices.
      {Literal("1\0" "1847\0" "1846\0End Marker\0\0"), "", 784, 6},
      // A list cut short without its final NUL still gives what it has.
      {Literal("230\0Process"), "230", 784, 6},
      {Literal("abc\0id process\0" "x\0% processor time\0"), "", 784, 6},
      {std::string(), "", 784, 6},
  };
  for (const auto& c : cases) {
    perfdata::CounterIndices got = perfdata::ReadCounterIndices(c.list.data(), c.list.size());
    EXPECT_EQ(c.process, got.processObject) << c.list;
    EXPECT_EQ(c.id, got.idProcess) << c.list;
    EXPECT_EQ(c.time, got.processorTime) << c.list;
  }
}

TEST(PerfDataBlock, FindsTheInstanceOfTheProcess) {
  Block b = MakeBlock({ThreeProcesses()});
  perfdata::ProcessTime found = Find(b, 1234);
  EXPECT_EQ(perfdata::Lookup::Found, found.lookup);
  // All 64 bits of the counter, not only its low half.
  EXPECT_EQ(0x123456789ull, found.value);
  EXPECT_EQ(5u, Find(b, 77).value);

  ObjectSpec narrow = ThreeProcesses();
  narrow.timeSize = 4;
  EXPECT_EQ(0x23456789ull, Find(MakeBlock({narrow}), 1234).value);
}

TEST(PerfDataBlock, AnAbsentProcessIsNotFound) {
  EXPECT_EQ(perfdata::Lookup::NotFound, Find(MakeBlock({ThreeProcesses()}), 999).lookup);
  ObjectSpec none = ThreeProcesses();
  none.noInstances = true;
  EXPECT_EQ(perfdata::Lookup::NotFound, Find(MakeBlock({none}), 1234).lookup);
  EXPECT_EQ(perfdata::Lookup::NotFound, Find(MakeBlock({ObjectSpec()}), 1234).lookup);
}

TEST(PerfDataBlock, PrefersTheObjectAskedForAndElseTakesTheFirst) {
  ObjectSpec threads;
  threads.titleIndex = 232;
  threads.instances = {{1234, 42}};
  Block b = MakeBlock({threads, ThreeProcesses()});
  EXPECT_EQ(0x123456789ull, Find(b, 1234, 230).value);
  EXPECT_EQ(42u, Find(b, 1234, 999).value);
}

TEST(PerfDataBlock, ABlockWithNoObjectsOrTheWrongSignatureCannotBeRead) {
  // What this system returns: a bare header.
  Block empty = MakeBlock({});
  EXPECT_EQ(perfdata::Lookup::Unreadable, Find(empty, 1234).lookup);
  Block wrong = MakeBlock({ThreeProcesses()});
  wrong.bytes[0] = 'Q';
  EXPECT_EQ(perfdata::Lookup::Unreadable, Find(wrong, 1234).lookup);
  EXPECT_EQ(perfdata::Lookup::Unreadable, perfdata::FindProcessTime(nullptr, 0, 230, {}, 1234).lookup);
}

TEST(PerfDataBlock, EveryTruncationEndsTheWalkUnread) {
  Block full = MakeBlock({ThreeProcesses()});
  for (size_t length = 0; length < full.bytes.size(); ++length) {
    // A copy of exactly that length, so reading past it is caught by the heap checks.
    std::vector<unsigned char> cut(full.bytes.begin(), full.bytes.begin() + length);
    perfdata::ProcessTime got =
        perfdata::FindProcessTime(cut.data(), cut.size(), 230, perfdata::CounterIndices(), 1234);
    EXPECT_EQ(perfdata::Lookup::Unreadable, got.lookup) << length;
  }
}

TEST(PerfDataBlock, BadLengthsAndOffsetsEndTheWalk) {
  Layout at;
  const Block good = MakeBlock({ThreeProcesses()}, &at);
  const size_t idCounter = at.firstCounter + kCounterDef, firstBlock = at.firstInstance + kInstanceDef;
  const struct {
    const char* what;
    size_t offset;
    uint32_t value;
  } spoils[] = {
      {"header length past the end", 24, 0x7FFFFFF0},
      {"object length zero", at.object, 0},
      {"object length past the end", at.object, 0x10000},
      {"definition length past the object", at.object + 4, 0x10000},
      {"counter header length past the definitions", at.object + 8, 0x1000},
      {"counter definition length zero", at.firstCounter, 0},
      {"counter definition length huge", at.firstCounter, 0xFFFFFFF0},
      {"id counter offset past its block", idCounter + 36, 0xFFFFFFF0},
      {"instance length zero", at.firstInstance, 0},
      {"instance length past the object", at.firstInstance, 0x7FFFFFFF},
      {"counter block length zero", firstBlock, 0},
      {"counter block length past the object", firstBlock, 0x1000},
  };
  for (const auto& s : spoils) {
    Block b = good;
    b.Put32(s.offset, s.value);
    perfdata::ProcessTime got = Find(b, 1234);
    EXPECT_NE(perfdata::Lookup::Found, got.lookup) << s.what;
    EXPECT_EQ(0u, got.value) << s.what;
  }
  // More objects claimed than there are: the walk ends at the end of the block.
  Block objects = good;
  objects.Put32(28, 0xFFFFFFFF);
  EXPECT_EQ(0x123456789ull, Find(objects, 1234, 230).value);
  EXPECT_EQ(0x123456789ull, Find(objects, 1234, 999).value);
  // More instances claimed than there are: the walk ends at the end of the object.
  Block many = good;
  many.Put32(at.object + 40, 1000000);
  EXPECT_EQ(perfdata::Lookup::Unreadable, Find(many, 999).lookup);
  EXPECT_EQ(perfdata::Lookup::Found, Find(many, 1234).lookup);
  // A processor-time offset past its block is not read either.
  Block pastEnd = good;
  pastEnd.Put32(at.firstCounter + 2 * kCounterDef + 36, 20);  // 8 bytes at 20 leave a 24-byte block
  EXPECT_EQ(perfdata::Lookup::Unreadable, Find(pastEnd, 1234).lookup);
}

TEST(MemoryFigures, KilobytesAreHeldToThe32BitRange) {
  const struct {
    uint64_t bytes;
    int32_t kb;
  } cases[] = {{0, 0}, {1023, 0}, {1024, 1}, {3ull << 30, 3 << 20},
               {0x7FFFFFFFull << 10, 0x7FFFFFFF}, {1ull << 41, 0x7FFFFFFF}, {~0ull, 0x7FFFFFFF}};
  for (const auto& c : cases) EXPECT_EQ(c.kb, pellmon::KbFigure(c.bytes)) << c.bytes;
}

TEST(MemoryFigures, PageFileUseStaysWithin0To100) {
  const struct {
    uint64_t total, avail;
    int32_t percent;
  } cases[] = {
      {0, 0, 0},       {0, 5, 0},         {100, 0, 100},   {100, 100, 0},
      {3, 2, 33},      {1000, 1, 99},     {1000, 999, 0},
      // The older call reports more free than total on large page files.
      {2147352576ull, 3221225472ull, 0},
      {8ull << 30, 2ull << 30, 75},       {~0ull, 0, 100}, {~0ull, ~0ull, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.percent, pellmon::PercentUsed(c.total, c.avail)) << c.total << " " << c.avail;
}

class HistoryGraphTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = MakeHost();
    ASSERT_NE(nullptr, host_);
    // A client area of exactly 200 x 100 pixels inside the sunken edges.
    RECT r = {10, 10, 210, 110};
    AdjustWindowRectEx(&r, WS_CHILD, FALSE, WS_EX_STATICEDGE | WS_EX_CLIENTEDGE);
    ASSERT_TRUE(graph_.Create(WS_CHILD | WS_VISIBLE, r, host_, 100));
    RECT client;
    GetClientRect(graph_.hwnd(), &client);
    ASSERT_EQ(200, client.right);
    ASSERT_EQ(100, client.bottom);
    graph_.SetRange(0, 100);
    ASSERT_NE(nullptr, graph_.MemoryDC());
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
  }
  bool IsBar(int x, int y) { return GetPixel(graph_.MemoryDC(), x, y) == RGB(0, 255, 0); }
  // The height of the bar drawn in pixel column x.
  int BarHeight(int x) {
    int h = 0;
    while (h < 100 && IsBar(x, 99 - h)) ++h;
    return h;
  }
  int BarPixels() {
    int n = 0;
    for (int x = 0; x < 200; ++x)
      for (int y = 0; y < 100; ++y) n += IsBar(x, y);
    return n;
  }

  HWND host_ = nullptr;
  CHistoryGraph graph_;
};

TEST_F(HistoryGraphTest, StartsAsAGridWithNoBars) {
  EXPECT_EQ(0, BarPixels());
  for (int y = 0; y < 100; ++y) {
    COLORREF c = GetPixel(graph_.MemoryDC(), 50, y);
    EXPECT_TRUE(c == RGB(0, 0, 0) || c == RGB(0, 128, 0)) << y;
  }
}

TEST_F(HistoryGraphTest, ValuesAreClampedAndDrawnAsTwoPixelBarsAtTheRight) {
  EXPECT_EQ(0, graph_.SetValue(150));
  EXPECT_EQ(100, graph_.Value());
  EXPECT_EQ(100, BarHeight(196));
  EXPECT_EQ(100, BarHeight(197));
  EXPECT_EQ(0, BarHeight(198));
  EXPECT_EQ(0, BarHeight(199));
  EXPECT_EQ(200, BarPixels());

  EXPECT_EQ(100, graph_.SetValue(-5));
  EXPECT_EQ(0, graph_.Value());
  EXPECT_EQ(0, BarHeight(196));
  EXPECT_EQ(100, BarHeight(192));  // the earlier bar moved one step left
  EXPECT_EQ(200, BarPixels());

  graph_.SetValue(50);
  EXPECT_EQ(50, BarHeight(196));
  EXPECT_FALSE(IsBar(196, 49));
}

TEST_F(HistoryGraphTest, A200PixelGraphShowsTheLast50Values) {
  graph_.SetValue(100);
  for (int i = 0; i < 49; ++i) graph_.SetValue(0);
  EXPECT_EQ(100, BarHeight(0));
  EXPECT_EQ(100, BarHeight(1));
  graph_.SetValue(0);
  EXPECT_EQ(0, BarPixels());
}

TEST_F(HistoryGraphTest, HeightIsTheShareOfTheRange) {
  graph_.SetRange(20, 60);
  graph_.SetValue(40);
  EXPECT_EQ(50, BarHeight(196));
  graph_.SetValue(10);
  EXPECT_EQ(20, graph_.Value());
  EXPECT_EQ(0, BarHeight(196));
}

class ListSorterTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = MakeHost();
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 300, 200, host_,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, list_);
    for (int c = 0; c < 2; ++c) {
      LVCOLUMNA col = {};
      col.mask = LVCF_WIDTH;
      col.cx = 100;
      SendMessageA(list_, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
  }
  // Rows of (name, size); each row's data is 1000 + its first position.
  void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMA lvi = {};
      lvi.mask = LVIF_TEXT | LVIF_PARAM;
      lvi.iItem = static_cast<int>(i);
      lvi.pszText = const_cast<char*>(rows[i].first.c_str());
      lvi.lParam = 1000 + static_cast<LPARAM>(i);
      SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
      lvi.iSubItem = 1;
      lvi.pszText = const_cast<char*>(rows[i].second.c_str());
      SendMessageA(list_, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&lvi));
      data_[rows[i].first] = 1000 + static_cast<LPARAM>(i);
    }
  }
  std::vector<std::string> Column(int column) {
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) out.push_back(CellText(list_, i, column));
    return out;
  }
  // Every row still carries the data it had before the sort.
  void ExpectDataKept() {
    std::vector<std::string> names = Column(0);
    for (size_t i = 0; i < names.size(); ++i) {
      LVITEMA lvi = {};
      lvi.mask = LVIF_PARAM;
      lvi.iItem = static_cast<int>(i);
      SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
      EXPECT_EQ(data_[names[i]], lvi.lParam) << names[i];
    }
  }

  HWND host_ = nullptr;
  HWND list_ = nullptr;
  std::map<std::string, LPARAM> data_;
};

TEST_F(ListSorterTest, TextColumnsSortWithoutRegardToCaseAndReverseOnASecondClick) {
  Fill({{"b", "1"}, {"Z:\\", "2"}, {"a", "3"}, {"C:\\", "4"}});
  CListSorter sorter(list_, {CListSorter::kText, CListSorter::kNumber});
  EXPECT_EQ(-1, sorter.SortColumn());
  sorter.ColumnClicked(0);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "C:\\", "Z:\\"}), Column(0));
  ExpectDataKept();
  sorter.ColumnClicked(0);
  EXPECT_FALSE(sorter.Ascending());
  EXPECT_EQ((std::vector<std::string>{"Z:\\", "C:\\", "b", "a"}), Column(0));
  ExpectDataKept();
}

TEST_F(ListSorterTest, NumberColumnsCompareTheLeadingDigits) {
  Fill({{"w", "10.90"}, {"x", "9.99"}, {"y", "10.20"}, {"z", "100.00"}});
  CListSorter sorter(list_, {CListSorter::kText, CListSorter::kNumber});
  sorter.ColumnClicked(0);
  sorter.ColumnClicked(0);
  // Another column starts ascending again.
  sorter.ColumnClicked(1);
  EXPECT_EQ(1, sorter.SortColumn());
  EXPECT_TRUE(sorter.Ascending());
  std::vector<std::string> up = Column(1);
  // 9.99 before 10.01-like values; 10.20 and 10.90 are both 10 and compare equal.
  EXPECT_EQ("9.99", up[0]);
  EXPECT_EQ("100.00", up[3]);
  EXPECT_EQ(10, atoi(up[1].c_str()));
  EXPECT_EQ(10, atoi(up[2].c_str()));
  ExpectDataKept();
  sorter.ColumnClicked(1);
  std::vector<std::string> down = Column(1);
  EXPECT_EQ("100.00", down[0]);
  EXPECT_EQ("9.99", down[3]);
  ExpectDataKept();
  // Clicks outside the columns change nothing.
  sorter.ColumnClicked(7);
  EXPECT_EQ(1, sorter.SortColumn());
  EXPECT_EQ(down, Column(1));
}

TEST(PerfSampler, EveryNtFromWindows2000OnIsTheSameKindAndMeasuresAllProcessors) {
  // This prefix reports Windows 7 (6.1).
  EXPECT_EQ(CPerfSampler::kOsNt5, CPerfSampler::OsKind());
  CPerfSampler sampler;
  DWORD start = GetTickCount();
  volatile unsigned counter = 0;
  while (GetTickCount() - start < 300) counter = counter + 1;
  long cpu = sampler.CpuUsage();
  EXPECT_GT(cpu, 0);
  EXPECT_LE(cpu, 100);
  // The page-fault counter cannot be added here, which reads 0.
  EXPECT_EQ(0, sampler.PageFaults());
  // This system's performance data has no process object: read, but 0.
  uint64_t time = 99;
  EXPECT_TRUE(sampler.ProcessCpuTime(GetCurrentProcessId(), time));
  EXPECT_EQ(0u, time);
}

namespace {

// The system's performance buffers played by the test: English counter names, and a
// data reader that answers "more data" until the buffer holds a block of about 2 MB
// (37,000 processes), counting its queries. Wine serves counter names of its own
// without "process", so the real ones cannot be seeded in its registry.
struct LargeProcessData {
  static std::vector<unsigned char> block;
  static int queries;
  static LONG Names(const char* value, BYTE* data, DWORD* size) {
    static const char names[] = "1\0System\0" "230\0Process\0" "784\0ID Process\0" "6\0% Processor Time\0";
    if (std::strcmp(value, "Counters") != 0) return ERROR_FILE_NOT_FOUND;
    if (data && *size >= sizeof names) std::memcpy(data, names, sizeof names);
    const bool fits = !data || *size >= sizeof names;
    *size = sizeof names;
    return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
  }
  static LONG Query(HKEY key, const char* value, BYTE* data, DWORD* size) {
    if (key != HKEY_PERFORMANCE_DATA) return Names(value, data, size);
    ++queries;
    if (std::strcmp(value, "230") != 0) return ERROR_FILE_NOT_FOUND;
    if (*size < block.size()) {
      *size = static_cast<DWORD>(block.size());
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, block.data(), block.size());
    *size = static_cast<DWORD>(block.size());
    return ERROR_SUCCESS;
  }
  static LONG NeverFits(HKEY key, const char* value, BYTE* data, DWORD* size) {
    if (key != HKEY_PERFORMANCE_DATA) return Names(value, data, size);
    ++queries;
    *size += 1;
    return ERROR_MORE_DATA;
  }
};
std::vector<unsigned char> LargeProcessData::block;
int LargeProcessData::queries = 0;

}  // namespace

TEST(PerfSampler, TheProcessDataBufferDoublesAndKeepsTheSizeThatWorked) {
  ObjectSpec shape;
  for (uint32_t pid = 8; shape.instances.size() < 37450; pid += 4) shape.instances.push_back({pid, pid * 10ull});
  shape.instances.push_back({4242, 0x1234567ull});
  LargeProcessData::block = MakeBlock({shape}).bytes;
  ASSERT_GT(LargeProcessData::block.size(), 2000000u);
  CPerfSampler sampler;
  CPerfSampler::QueryPerformanceValue = LargeProcessData::Query;
  LargeProcessData::queries = 0;
  uint64_t time = 0;
  EXPECT_TRUE(sampler.ProcessCpuTime(4242, time));
  EXPECT_EQ(time, 0x1234567ull);
  // 50 KB doubled six times holds 2 MB: seven queries, not the 78 of 25 KB steps.
  EXPECT_EQ(LargeProcessData::queries, 7);
  LargeProcessData::queries = 0;
  EXPECT_TRUE(sampler.ProcessCpuTime(8, time));
  EXPECT_EQ(time, 80u);
  EXPECT_EQ(LargeProcessData::queries, 1) << "the size that worked is kept";
  EXPECT_FALSE(sampler.ProcessCpuTime(4243, time)) << "not in the data";

  // Data that never fits stops at the ceiling with the failure answer: true and 0.
  CPerfSampler fresh;
  CPerfSampler::QueryPerformanceValue = LargeProcessData::NeverFits;
  LargeProcessData::queries = 0;
  time = 99;
  EXPECT_TRUE(fresh.ProcessCpuTime(4242, time));
  EXPECT_EQ(time, 0u);
  EXPECT_EQ(LargeProcessData::queries, 11);  // 50 KB, 100 KB ... 25.6 MB, then 32 MB
  CPerfSampler::QueryPerformanceValue = CPerfSampler::SystemPerformanceValue;
}

TEST(PerfData, GrowingReadsDoubleUpToTheCeiling) {
  struct Case {
    uint32_t start, ceiling, needed;
    bool ok;
    int queries;
    uint32_t kept;
  } cases[] = {
      {100, 1000, 50, true, 1, 100},    // fits at once
      {100, 1000, 150, true, 2, 200},   // one doubling
      {100, 1000, 1000, true, 5, 1000},  // 100, 200, 400, 800, then the ceiling itself
      {100, 1000, 1001, false, 5, 100},  // never fits: the kept size is untouched
      {0, 8, 3, true, 3, 4},             // a zero start asks for one byte first
  };
  for (const Case& c : cases) {
    int queries = 0;
    uint32_t capacity = c.start;
    std::vector<unsigned char> block;
    bool ok = perfdata::ReadGrowingBlock(
        [&](unsigned char* buffer, uint32_t& size) {
          ++queries;
          for (uint32_t i = 0; i < size; ++i) EXPECT_EQ(buffer[i], 0) << "the buffer is zeroed";
          if (size < c.needed) return perfdata::QueryAnswer::MoreData;
          size = c.needed;
          return perfdata::QueryAnswer::Ok;
        },
        capacity, c.ceiling, block);
    EXPECT_EQ(ok, c.ok) << c.needed;
    EXPECT_EQ(queries, c.queries) << c.needed;
    EXPECT_EQ(capacity, c.kept) << c.needed;
    EXPECT_EQ(block.size(), c.ok ? c.needed : 0u) << c.needed;
  }
  uint32_t capacity = 64;
  std::vector<unsigned char> block;
  EXPECT_FALSE(perfdata::ReadGrowingBlock([](unsigned char*, uint32_t&) { return perfdata::QueryAnswer::Failed; },
                                          capacity, 1024, block));
}
