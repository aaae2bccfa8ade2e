// The update check against an HTTP server of the test's own on 127.0.0.1.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "CheckUpdateFrm.h"
#include "ModMain.h"
#include "ShellTestSupport.h"
#include "UiWait.h"
#include "UpdateCheckParse.h"
#include "version.h"

using shelltest::FrameTest;
using testsupport::PumpUntil;

namespace {

// Answers every request with the canned reply; an empty reply closes the connection
// without a word, `hang` holds it open unanswered.
class LoopbackServer {
 public:
  LoopbackServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // the system picks
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = CreateThread(nullptr, 0, &LoopbackServer::Run, this, 0, nullptr);
  }
  ~LoopbackServer() {
    stopping_ = true;
    closesocket(listener_);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    for (SOCKET s : held_) closesocket(s);
    WSACleanup();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  void Reply(const std::string& reply, bool hang = false) {
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = reply;
    hang_ = hang;
  }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }
  static std::string Http(int status, const std::string& reason, const std::string& body) {
    return "HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  }

 private:
  static DWORD WINAPI Run(LPVOID param) {
    auto* self = static_cast<LoopbackServer*>(param);
    while (!self->stopping_) {
      SOCKET client = accept(self->listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) break;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
      }
      std::string reply;
      bool hang;
      {
        std::lock_guard<std::mutex> lock(self->mutex_);
        const size_t first = request.find(' '), second = request.find(' ', first + 1);
        if (first != std::string::npos && second != std::string::npos)
          self->paths_.push_back(request.substr(first + 1, second - first - 1));
        reply = self->reply_;
        hang = self->hang_;
      }
      if (hang) {
        self->held_.push_back(client);
        continue;
      }
      if (!reply.empty()) send(client, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
    return 0;
  }
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  HANDLE thread_ = nullptr;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::string reply_;
  bool hang_ = false;
  std::vector<std::string> paths_;
  std::vector<SOCKET> held_;
};

class UpdateCheckTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    savedSite_ = ProductWebSite;
    site_ = server.Base();
    ProductWebSite = site_.c_str();
    CheckUpdateFrm.Inet1.RequestTimeout = 60000;
  }
  void TearDown() override {
    if (CheckUpdateFrm.Loaded()) CheckUpdateFrm.Unload();
    ProductWebSite = savedSite_;
    FrameTest::TearDown();
  }
  // Opens the window, presses Check Updates and waits for the answer.
  std::string Check() {
    ShowFrm(CheckUpdateFrm);
    CheckUpdateFrm.CheckUpdatesBtn_Click();
    EXPECT_FALSE(IsWindowEnabled(CheckUpdateFrm.CheckUpdatesBtn.hwnd())) << "disabled while the request runs";
    EXPECT_TRUE(PumpUntil([] { return !CheckUpdateFrm.Inet1.StillExecuting(); }, 20000));
    return testsupport::WindowText(CheckUpdateFrm.statusLbl.hwnd());
  }
  LoopbackServer server;
  std::string site_;
  const char* savedSite_ = nullptr;
};

const char kNoNews[] = "No new updates were found!";

}  // namespace

TEST_F(UpdateCheckTest, AnswersOfTheServer) {
  ShowFrm(CheckUpdateFrm);
  EXPECT_EQ(testsupport::WindowText(CheckUpdateFrm.hwnd()), "Quillon Auto-Update");
  EXPECT_EQ(testsupport::WindowText(CheckUpdateFrm.statusLbl.hwnd()),
            "Press Check Updates to start checking new updates.");
  EXPECT_FALSE(IsWindowEnabled(CheckUpdateFrm.UpdateBtn.hwnd()));
  struct Case {
    std::string reply, status;
    bool news;
  };
  const std::string own = QP_VERSION_TEXT;
  const Case cases[] = {
      {LoopbackServer::Http(200, "OK", own + " notes"), kNoNews, false},
      {LoopbackServer::Http(200, "OK", "3.1.0 Fixes"),
       "New version number: 3.1.0\r\nNew version was found. Press Download Update to go to download page\r\nFixes",
       true},
      {LoopbackServer::Http(200, "OK", own + "\r\n"), kNoNews, false},
      // No answer is not "no news": the user learns that the check failed, and why.
      {LoopbackServer::Http(404, "Not Found", "<html><body>Not Found</body></html>"),
       std::string(kCheckFailedText) + "the server answered HTTP 404.", false},
      {LoopbackServer::Http(500, "Server Error", ""), std::string(kCheckFailedText) + "the server answered HTTP 500.",
       false},
      {LoopbackServer::Http(200, "OK", "<html><body>Welcome</body></html>"),
       std::string(kCheckFailedText) + "the answer was not a version number.", false},
      {LoopbackServer::Http(200, "OK", " \r\n"), std::string(kCheckFailedText) + "the answer was empty.", false},
      // Dropped without an answer: status 0.
      {"", std::string(kCheckFailedText) + "the server closed the connection without an answer.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    CheckUpdateFrm.Unload();
    server.Reply(c.reply);
    EXPECT_EQ(Check(), c.status);
    EXPECT_TRUE(IsWindowEnabled(CheckUpdateFrm.CheckUpdatesBtn.hwnd()));
    EXPECT_EQ(IsWindowEnabled(CheckUpdateFrm.UpdateBtn.hwnd()) != FALSE, c.news);
  }
  for (const std::string& path : server.Paths()) EXPECT_EQ(path, "/update_check.txt");
  EXPECT_EQ(server.Paths().size(), std::size(cases));

  // Download Update opens the site's page.
  launched.clear();
  CheckUpdateFrm.UpdateBtn_Click();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, site_ + "/Download.htm");
  CheckUpdateFrm.CloseBtn_Click();
  EXPECT_FALSE(CheckUpdateFrm.Loaded());
}

TEST_F(UpdateCheckTest, NoCacheBetweenChecks) {
  server.Reply(LoopbackServer::Http(200, "OK", "3.2.0 first"));
  EXPECT_NE(Check().find("3.2.0"), std::string::npos);
  server.Reply(LoopbackServer::Http(200, "OK", "3.3.0 second"));
  CheckUpdateFrm.CheckUpdatesBtn_Click();
  ASSERT_TRUE(PumpUntil([] { return !CheckUpdateFrm.Inet1.StillExecuting(); }, 20000));
  EXPECT_NE(testsupport::WindowText(CheckUpdateFrm.statusLbl.hwnd()).find("3.3.0"), std::string::npos);
  EXPECT_EQ(server.Paths().size(), 2u);
}

TEST_F(UpdateCheckTest, ClosedPortGivesTheErrorAndItsNumber) {
  // A port the system gave and took back: nothing listens there.
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(probe);
  site_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  ProductWebSite = site_.c_str();
  const std::string status = Check();
  EXPECT_GT(status.size(), 6u);
  EXPECT_EQ(status.substr(status.size() - 6), ":12029") << status;
  EXPECT_EQ(status.find('\r'), std::string::npos) << "the system's line break is not shown";
  EXPECT_FALSE(IsWindowEnabled(CheckUpdateFrm.UpdateBtn.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(CheckUpdateFrm.CheckUpdatesBtn.hwnd()));
}

TEST_F(UpdateCheckTest, ServerThatNeverAnswers) {
  server.Reply("", true);
  CheckUpdateFrm.Inet1.RequestTimeout = 1500;
  ShowFrm(CheckUpdateFrm);
  CheckUpdateFrm.CheckUpdatesBtn_Click();
  EXPECT_TRUE(CheckUpdateFrm.Inet1.StillExecuting());
  // The interface answers meanwhile.
  HWND probe = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const DWORD posted = GetTickCount();
  PostMessageA(probe, WM_NULL, 0, 0);
  MSG msg;
  bool handled = false;
  while (GetTickCount() - posted < 1000 && !handled) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == probe && msg.message == WM_NULL) handled = true;
      DispatchMessageA(&msg);
    }
    if (!handled) Sleep(5);
  }
  EXPECT_TRUE(handled);
  EXPECT_LT(GetTickCount() - posted, 100u);
  DestroyWindow(probe);
  // The time-out arrives as an error.
  ASSERT_TRUE(PumpUntil([] { return !CheckUpdateFrm.Inet1.StillExecuting(); }, 20000));
  const std::string status = testsupport::WindowText(CheckUpdateFrm.statusLbl.hwnd());
  EXPECT_TRUE(status.find(":12002") != std::string::npos || status.find(":12030") != std::string::npos) << status;

  // Closed mid-request: at once, and the late answer leaves a reopened window alone.
  CheckUpdateFrm.CheckUpdatesBtn_Click();
  const DWORD closing = GetTickCount();
  CheckUpdateFrm.CloseBtn_Click();
  EXPECT_FALSE(CheckUpdateFrm.Loaded());
  EXPECT_LT(GetTickCount() - closing, 500u);
  ShowFrm(CheckUpdateFrm);
  // The late answer arrives meanwhile, at the request's time-out; dropped, it leaves
  // no sign to wait for.
  testsupport::PumpUntil([] { return false; }, 3000);
  EXPECT_EQ(testsupport::WindowText(CheckUpdateFrm.statusLbl.hwnd()),
            "Press Check Updates to start checking new updates.");
  EXPECT_TRUE(IsWindowEnabled(CheckUpdateFrm.CheckUpdatesBtn.hwnd()));
}
