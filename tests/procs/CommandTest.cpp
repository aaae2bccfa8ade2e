// Reading a console command's output through a pipe: a fixture plays netstat from the
// program's folder, where the system looks first.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "Fixture.h"
#include "ModProgInfoParse.h"
#include "UiWait.h"
#include "mdlCmd.h"

namespace {

class NetstatFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = testsupport::BinDir() + "\\netstat.exe";
    ASSERT_TRUE(CopyFileA(testsupport::FixturePath().c_str(), exe_.c_str(), FALSE));
  }
  void TearDown() override {
    SetEnvironmentVariableA("QP_NETSTAT_FILE", nullptr);
    // A command cut off early may still be ending: its file is free once it has.
    EXPECT_TRUE(testsupport::PumpUntil([&] {
      return DeleteFileA(exe_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }));
    if (!file_.empty()) DeleteFileA(file_.c_str());
  }
  void UseListing(const std::string& text) {
    file_ = testsupport::BinDir() + "\\procs_netstat.txt";
    std::ofstream(file_, std::ios::binary) << text;
    SetEnvironmentVariableA("QP_NETSTAT_FILE", file_.c_str());
  }
  std::string exe_, file_;
};

TEST_F(NetstatFixture, OutputOfTheCommandIsReadAndParsed) {
  std::string out = GetNetstatOutput();
  ASSERT_NE(out.find("Active Connections"), std::string::npos) << out;
  ConnectionRecord r = ParseNetstatPorts(out, 4242);
  EXPECT_EQ(r.LocalHost, "192.0.2.5");
  EXPECT_EQ(r.LocalPort, "1031");
  EXPECT_EQ(r.RemoteHost, "198.51.100.9");
  EXPECT_EQ(r.RemotePort, "80");
  EXPECT_EQ(r.State, "TIME_WAIT");
  EXPECT_EQ(ParseNetstatPorts(out, 77).State, "LISTENING");
  EXPECT_EQ(ParseNetstatPorts(out, 5).ProcessId, 0u);
}

TEST_F(NetstatFixture, OutputIsCutAt10240Characters) {
  std::string big;
  while (big.size() < 50000) big += "  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING       77\r\n";
  UseListing(big);
  DWORD start = GetTickCount();
  std::string out = GetNetstatOutput();
  EXPECT_EQ(out.size(), 10240u);
  EXPECT_EQ(out, big.substr(0, 10240));
  EXPECT_LT(GetTickCount() - start, 10000u);
}

TEST_F(NetstatFixture, ACommandThatWritesNothingGivesNothing) {
  UseListing("");
  EXPECT_EQ(GetNetstatOutput(), "");
}

TEST(CommandOutput, AMissingCommandGivesTheErrorText) {
  std::string out = RunCommandOutput("no_such_command_q1.exe", 100);
  EXPECT_EQ(out.rfind("Error: CreateProcess failed. ", 0), 0u) << out;
  EXPECT_EQ(out, "Error: CreateProcess failed. 2");
}

}  // namespace
