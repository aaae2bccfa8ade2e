// The readers of netstat output and of the system-file list, on canned text.
#include <gtest/gtest.h>

#include "ModProgInfoParse.h"

namespace {

const char kListing[] =
    "\r\n"
    "Active Connections\r\n"
    "\r\n"
    "  Proto  Local Address          Foreign Address        State           PID\r\n"
    "  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING       884\r\n"
    "  TCP    127.0.0.1:1028         127.0.0.1:8080         ESTABLISHED     1500\r\n"
    "  TCP    192.0.2.5:1031         198.51.100.9:80        CLOSE_WAIT      1500\r\n"
    "  TCP    [::1]:49670            [fe80::1%4]:445        ESTABLISHED     2020\r\n"
    "  UDP    0.0.0.0:500            *:*                                    3030\r\n"
    "  TCP    0.0.0.0:99             0.0.0.0:0              LISTENING       12ab\r\n";

TEST(NetstatParse, LastLineOfTheProcessWins) {
  ConnectionRecord r = ParseNetstatPorts(kListing, 1500);
  EXPECT_EQ(r.LocalHost, "192.0.2.5");
  EXPECT_EQ(r.LocalPort, "1031");
  EXPECT_EQ(r.RemoteHost, "198.51.100.9");
  EXPECT_EQ(r.RemotePort, "80");
  EXPECT_EQ(r.State, "CLOSE_WAIT");
  EXPECT_EQ(r.ProcessId, 1500u);
}

TEST(NetstatParse, Ipv6AddressesSplitAtTheirLastColon) {
  ConnectionRecord r = ParseNetstatPorts(kListing, 2020);
  EXPECT_EQ(r.LocalHost, "[::1]");
  EXPECT_EQ(r.LocalPort, "49670");
  EXPECT_EQ(r.RemoteHost, "[fe80::1%4]");
  EXPECT_EQ(r.RemotePort, "445");
}

TEST(NetstatParse, LinesThatNeverMatch) {
  struct Case {
    const char* text;
    uint32_t pid;
  } cases[] = {
      {kListing, 3030},                 // UDP: no state, so no id column
      {kListing, 7},                    // no line of the process
      {kListing, 0},                    // "12ab" is no number, the header's "PID" neither
      {"", 884},                        // nothing read
      {"  TCP 0.0.0.0:1 0.0.0.0:0 LISTENING 884\r\n", 884},  // the first line is skipped
      {"Error: CreateProcess failed. 2", 2},
  };
  for (const Case& c : cases) {
    ConnectionRecord r = ParseNetstatPorts(c.text, c.pid);
    EXPECT_TRUE(r.LocalHost.empty() && r.LocalPort.empty() && r.RemoteHost.empty() && r.State.empty())
        << c.pid;
    EXPECT_EQ(r.ProcessId, 0u);
  }
}

TEST(NetstatParse, AListingCutAtTheReadersLimitIgnoresItsUnendedLastLine) {
  // The reader keeps 10240 characters; here the cut falls inside the id 15040 of the
  // last line, which would otherwise read as process 1504.
  std::string listing = "\r\n  Proto  Local Address  Foreign Address  State  PID\r\n";
  while (listing.size() < 10240 - 80)
    listing += "  TCP    127.0.0.1:1028         127.0.0.1:8080         ESTABLISHED     884\r\n";
  listing += "  TCP    10.0.0.7:2048          203.0.113.4:443        ESTABLISHED     1504\r\n";
  const std::string cutLine = "  TCP    192.0.2.5:1031         198.51.100.9:80        CLOSE_WAIT      15040\r\n";
  const std::string full = listing + cutLine;
  const std::string cut = full.substr(0, full.size() - 3);  // "...1504" without its "0\r\n"

  ConnectionRecord r = ParseNetstatPorts(cut, 1504);
  EXPECT_EQ(r.LocalHost, "10.0.0.7");  // the complete line of 1504, not the cut one
  EXPECT_EQ(r.RemotePort, "443");
  EXPECT_EQ(ParseNetstatPorts(cut, 15040).ProcessId, 0u);
  EXPECT_EQ(ParseNetstatPorts(full, 15040).LocalPort, "1031");  // whole, it reads
  // A cut that leaves only a line end still reads every line before it.
  EXPECT_EQ(ParseNetstatPorts(listing, 884).ProcessId, 884u);
}

TEST(NetstatParse, BareLineFeedsAndTabsAreRead) {
  ConnectionRecord r = ParseNetstatPorts("header\n\tTCP\t1.2.3.4:5\t6.7.8.9:10\tSYN_SENT\t42\n", 42);
  EXPECT_EQ(r.LocalHost, "1.2.3.4");
  EXPECT_EQ(r.RemotePort, "10");
  EXPECT_EQ(r.State, "SYN_SENT");
}

TEST(NetstatParse, SplitHostPort) {
  struct Case {
    const char *in, *host, *port;
  } cases[] = {
      {"0.0.0.0:135", "0.0.0.0", "135"}, {"[::]:0", "[::]", "0"}, {"*:*", "*", "*"},
      {"nohost", "nohost", ""},          {":80", "", "80"},       {"a:", "a", ""},
  };
  for (const Case& c : cases) {
    std::string host, port;
    SplitHostPort(c.in, host, port);
    EXPECT_EQ(host, c.host) << c.in;
    EXPECT_EQ(port, c.port) << c.in;
  }
}

TEST(SystemFilesParse, FlagsByFamily) {
  const char text[] =
      "s kernel32.dll\r\n"
      "w explorer.exe\r\n"
      "s9 msgsrv32.exe\r\n"
      "w9 Exit To Dos.pif\r\n"
      "\r\n"
      "x other.exe\r\n"
      "S upper.exe\r\n"
      "nameonly\r\n"
      "s \r\n"
      "s wbem\\wmiprvse.exe   \r\n"
      "s mixed.exe\t\t\r\t\n"  // leftovers of two editors
      "w last.exe";
  struct Expect {
    SystemFileLine::Folder folder;
    const char* name;
  };
  const Expect nt[] = {{SystemFileLine::System, "kernel32.dll"},
                       {SystemFileLine::Windows, "explorer.exe"},
                       {SystemFileLine::System, "wbem\\wmiprvse.exe"},
                       {SystemFileLine::System, "mixed.exe"},
                       {SystemFileLine::Windows, "last.exe"}};
  const Expect w9x[] = {{SystemFileLine::System, "kernel32.dll"},
                        {SystemFileLine::Windows, "explorer.exe"},
                        {SystemFileLine::System, "msgsrv32.exe"},
                        {SystemFileLine::Windows, "Exit To Dos.pif"},
                        {SystemFileLine::System, "wbem\\wmiprvse.exe"},
                        {SystemFileLine::System, "mixed.exe"},
                        {SystemFileLine::Windows, "last.exe"}};
  for (bool is9x : {false, true}) {
    std::vector<SystemFileLine> got = ParseSystemFiles(text, is9x);
    const Expect* want = is9x ? w9x : nt;
    size_t count = is9x ? 7 : 5;
    ASSERT_EQ(got.size(), count) << is9x;
    for (size_t i = 0; i < count; ++i) {
      EXPECT_EQ(got[i].folder, want[i].folder) << i;
      EXPECT_EQ(got[i].name, want[i].name) << i;
    }
  }
}

}  // namespace
