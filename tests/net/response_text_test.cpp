// The "错误信息" form needs a server that answers with a text of its own:
// WinINet keeps the last response line of an FTP server, so a one-shot FTP
// greeter that refuses the login stands in for it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "net/http_client.h"
#include "tests/net/net_test_support.h"

using namespace nettest;

namespace {

class RefusingFtpServer {
 public:
  explicit RefusingFtpServer(std::string reply) : reply_(std::move(reply)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener_, 4);
    int len = sizeof addr;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RefusingFtpServer() {
    closesocket(listener_);
    thread_.join();
    WSACleanup();
  }
  std::string Url() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/list.txt"; }

 private:
  void Serve() {
    SOCKET s = accept(listener_, nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    Send(s, "220 ready\r\n");
    char buf[512];
    recv(s, buf, sizeof buf, 0);  // USER
    Send(s, reply_.c_str());
    shutdown(s, SD_BOTH);
    closesocket(s);
  }
  static void Send(SOCKET s, const char* text) { send(s, text, static_cast<int>(strlen(text)), 0); }

  std::string reply_;
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
};

TEST(ResponseText, AServerTextGivesTheMessageFormCutToTheErrorText) {
  struct Case {
    std::string reply;
    std::string text;
    bool cut;
  } cases[] = {
      {"530 Login incorrect.\r\n", "530 Login incorrect.", false},
      {"530 " + std::string(900, 'r') + "\r\n", "530 rrrr", true},
  };
  for (const Case& c : cases) {
    RefusingFtpServer ftp(c.reply);
    RecordingHost host;
    InstallTask task;
    task.host = &host;
    std::string path;
    // WinINet keeps the last response per thread; another thread keeps it
    // away from the tests that follow on this one.
    int result = -1;
    std::thread([&] { result = FetchToTempFile(ftp.Url().c_str(), task, path); }).join();
    EXPECT_EQ(result, 1);
    const std::string prefix = "InternetOpenUrl 错误.\n网址:" + ftp.Url() + ".\n错误信息:" + c.text;
    EXPECT_EQ(std::string(task.errorText).compare(0, prefix.size(), prefix), 0) << task.errorText;
    if (c.cut) {
      EXPECT_EQ(strlen(task.errorText), sizeof task.errorText - 1);
    }
    ASSERT_EQ(host.boxes.size(), 1u);
    DeleteFileA(path.c_str());
  }
}

}  // namespace
