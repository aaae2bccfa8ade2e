// The connection probes: our dial-up library loaded the real way, the interface
// table through its seam and for real over loopback, and the simulated line.
#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "ApplyGlobalSettings.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "ModConProbe.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"

namespace {

using looptest::LoopTest;

class ProbeTest : public LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    scenario = std::string(temp) + "qp-fakeras.txt";
    SetEnvironmentVariableA("QP_FAKERAS", scenario.c_str());
    loopseams::Reset();
    conprobe::Reset();
  }
  void TearDown() override {
    TestMode = false;
    IsExiting = false;
    conprobe::Reset();
    DeleteFileA(scenario.c_str());
    SetEnvironmentVariableA("QP_FAKERAS", nullptr);
    LoopTest::TearDown();
  }
  void Play(const std::string& lines) { std::ofstream(scenario, std::ios::trunc) << lines; }
  std::string scenario;
};

TEST_F(ProbeTest, OurDialUpLibraryIsTheOneLoaded) {
  HMODULE ras = LoadLibraryA("rasapi32.dll");
  ASSERT_NE(ras, nullptr);
  char path[MAX_PATH] = "";
  GetModuleFileNameA(ras, path, sizeof path);
  char own[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, own, sizeof own);
  *std::strrchr(own, '\\') = 0;
  EXPECT_EQ(_stricmp(path, (std::string(own) + "\\rasapi32.dll").c_str()), 0)
      << path << " (run with WINEDLLOVERRIDES=...;rasapi32=n)";
}

TEST_F(ProbeTest, ScenarioAndTestModeGiveTheLineState) {
  struct Case {
    const char* scenario;
    bool testMode, available, connected;
  } cases[] = {
      {"enum-fails\n", false, false, false},
      {"enum-fails\n", true, false, false},  // the enumeration is asked first, also in test mode
      {"", false, true, false},              // no connection: the zero handle is refused
      {"", true, true, true},
      {"conn 0x2000\n", false, true, true},
      {"conn 0x2000\n", true, true, true},
      {"conn 0x1\n", false, true, false},  // still dialling
      {"conn 0x1\nconn 0x2000\n", false, true, false},  // only the first is looked at
      {"conn 0x2000\nstatus-fails\n", false, true, false},
      {"conn 0x2000\nstatus-fails\n", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.scenario) + (c.testMode ? " (test mode)" : ""));
    Play(c.scenario);
    TestMode = c.testMode;
    EXPECT_EQ(IsRasAvailable(), c.available);
    EXPECT_EQ(IsDialUpConnected(), c.connected);
  }
}

TEST_F(ProbeTest, NoDialUpSupportSwitchesToTheLeasedLine) {
  Play("enum-fails\n");
  LANCon = 0;
  SaveSettings();
  ApplyGlobalSettings();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("RAS may not be installed"), std::string::npos);
  EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(LANCon, 1);
  EXPECT_EQ(looptest::Option("Options", "LANCon"), "1");
}

// An interface table as GetIfTable lays it out: the count, then 860-byte rows.
struct Table {
  std::vector<std::pair<uint32_t, uint32_t>> rows;  // received, sent
  std::vector<BYTE> Bytes() const {
    std::vector<BYTE> b(4 + rows.size() * 860);
    const DWORD count = static_cast<DWORD>(rows.size());
    std::memcpy(b.data(), &count, 4);
    for (size_t i = 0; i < rows.size(); ++i) {
      std::memcpy(&b[4 + i * 860 + 552], &rows[i].first, 4);
      std::memcpy(&b[4 + i * 860 + 576], &rows[i].second, 4);
    }
    return b;
  }
};

void PlayTable(const Table& table, DWORD firstAnswer = ERROR_INSUFFICIENT_BUFFER, DWORD secondAnswer = NO_ERROR) {
  conprobe::GetIfTableFn = [=](void* out, ULONG* size, BOOL) -> DWORD {
    const std::vector<BYTE> bytes = table.Bytes();
    if (!out) {
      *size = static_cast<ULONG>(bytes.size());
      return firstAnswer;
    }
    if (secondAnswer != NO_ERROR) return secondAnswer;
    if (*size < bytes.size()) return ERROR_INSUFFICIENT_BUFFER;
    std::memcpy(out, bytes.data(), bytes.size());
    return NO_ERROR;
  };
}

TEST_F(ProbeTest, TheTableIsSummedByDirection) {
  struct Case {
    const char* what;
    Table table;
    long direction;
    uint32_t expected;
  } cases[] = {
      {"received at bytes 552", {{{1000, 7}}}, 1, 1000},
      {"sent at bytes 576", {{{1000, 7}}}, 0, 7},
      {"two rows", {{{1000, 7}, {24, 3}}}, 1, 1024},
      {"a counter past 2^31 counts whole", {{{3000000000u, 0}}}, 1, 3000000000u},
      {"the sum wraps past 2^32", {{{3000000000u, 0}, {2000000000u, 0}}}, 1, 705032704u},
      {"no interface", {{}}, 1, 0},
      {"direction 2", {{{1000, 7}}}, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlayTable(c.table);
    EXPECT_EQ(GetTotalNetBytes(c.direction), c.expected);
  }
  PlayTable({{{1000, 7}}}, ERROR_INSUFFICIENT_BUFFER, ERROR_NOT_SUPPORTED + 1);
  EXPECT_EQ(GetTotalNetBytes(1), 0u) << "a failed second call";
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(IsExiting);
}

// The loop asks for received then sent each sample: both come from one read of the
// table, the same read, and a sent total asked on its own is read afresh.
TEST_F(ProbeTest, TheLoopsPairOfTotalsIsOneTableRead) {
  int reads = 0;
  uint32_t received = 1000, sent = 7;
  conprobe::GetIfTableFn = [&](void* out, ULONG* size, BOOL) -> DWORD {
    const std::vector<BYTE> bytes = Table{{{received, sent}}}.Bytes();
    if (!out || *size < bytes.size()) {
      *size = static_cast<ULONG>(bytes.size());
      return ERROR_INSUFFICIENT_BUFFER;
    }
    ++reads;
    std::memcpy(out, bytes.data(), bytes.size());
    received += 100;  // the line moves between reads
    sent += 10;
    return NO_ERROR;
  };
  EXPECT_EQ(loopseams::TotalNetBytesFn(1), 1000u);
  EXPECT_EQ(loopseams::TotalNetBytesFn(0), 7u) << "the sent side of the same read";
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(loopseams::TotalNetBytesFn(0), 17u) << "asked again: a new read";
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(loopseams::TotalNetBytesFn(1), 1200u);
  Sleep(300);  // past the time a sent total is kept from its read, which the code reads off the tick count
  EXPECT_EQ(loopseams::TotalNetBytesFn(0), 37u) << "a late question is not answered from an old read";
  EXPECT_EQ(reads, 4);
}

TEST_F(ProbeTest, NoIpHelperIsSaidOnceAndEndsTheProgram) {
  for (int variant = 0; variant < 2; ++variant) {
    SCOPED_TRACE(variant ? "GetIfTable missing" : "answer 50");
    conprobe::Reset();
    shown.clear();
    IsExiting = false;
    if (variant)
      conprobe::GetIfTableFn = nullptr;
    else
      PlayTable({{{1000, 7}}}, ERROR_NOT_SUPPORTED);
    EXPECT_EQ(GetTotalNetBytes(1), 0u);
    EXPECT_EQ(GetTotalNetBytes(0), 0u);
    ASSERT_EQ(shown.size(), 1u) << "once per run";
    EXPECT_EQ(shown[0].text,
              "IP Helper is not supported by this system, You must have Win 98 , 2000 or NT4 with SP4.");
    EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_TRUE(IsExiting);
  }
}

TEST_F(ProbeTest, LoopbackTrafficRaisesTheRealTotals) {
  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  int length = sizeof at;
  getsockname(server, reinterpret_cast<sockaddr*>(&at), &length);
  listen(server, 1);
  const uint32_t recvBefore = GetTotalNetBytes(1), sentBefore = GetTotalNetBytes(0);
  const int kBytes = 1 << 20;
  std::thread reader([server] {
    SOCKET peer = accept(server, nullptr, nullptr);
    std::vector<char> buffer(65536);
    int total = 0, got = 0;
    while (total < kBytes && (got = recv(peer, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0) total += got;
    closesocket(peer);
  });
  SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  std::vector<char> data(kBytes, 'x');
  int sent = 0;
  while (sent < kBytes) {
    const int n = send(client, data.data() + sent, kBytes - sent, 0);
    ASSERT_GT(n, 0);
    sent += n;
  }
  reader.join();
  closesocket(client);
  closesocket(server);
  WSACleanup();
  EXPECT_GE(GetTotalNetBytes(1) - recvBefore, static_cast<uint32_t>(kBytes));
  EXPECT_GE(GetTotalNetBytes(0) - sentBefore, static_cast<uint32_t>(kBytes));
  EXPECT_FALSE(IsExiting);
}

TEST_F(ProbeTest, TheSimulatedLineGrowsSlowlyAndTogether) {
  TestMode = true;
  uint32_t last = GetTotalNetBytes(1);
  int grew = 0;
  for (int i = 0; i < 400; ++i) {
    const uint32_t next = GetTotalNetBytes(i % 2 ? 1 : 0);
    ASSERT_GE(next, last) << "one counter for both directions never goes back";
    EXPECT_LE(next - last, 40000u);
    if (next > last) ++grew;
    last = next;
  }
  // Half the calls move it: far from none and far from all.
  EXPECT_GT(grew, 120);
  EXPECT_LT(grew, 280);
}

}  // namespace
