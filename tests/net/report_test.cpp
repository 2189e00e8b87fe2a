// ReportWebEvent and SendCompletionReport against the project's test server.
#include <gtest/gtest.h>

#include "net/http_client.h"
#include "tests/net/net_test_support.h"
#include "tests/net/raw_request.h"

using namespace nettest;

namespace {

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearRequests(); }
  RecordingHost host;
};

TEST_F(ReportTest, CompletionReportRequestsTheUninstallPage) {
  SendCompletionReport(host, ServerUrl().c_str());
  const std::string url = ServerUrl() + "/Game/GameUninstall.aspx?params=0&action=1";
  EXPECT_EQ(host.debug, (std::vector<std::string>{"online_log open  " + url}));
  EXPECT_TRUE(host.posts.empty());
  EXPECT_TRUE(host.boxes.empty());

  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  std::string raw = requests[0];
  ASSERT_TRUE(NormalizeRequest(raw, HostPort(url))) << raw;
  EXPECT_EQ(raw,
            "GET /Game/GameUninstall.aspx?params=0&action=1 HTTP/1.1\r\n"
            "Accept: */*\r\n"
            "Accept: */*\r\n"
            "Host: HOST\r\n"
            "User-Agent: Agent#\r\n"
            "Pragma: no-cache\r\n"
            "\r\n");
}

TEST_F(ReportTest, DebuggerLinesFollowTheAnswer) {
  const std::string page = ServerUrl() + "/Game/GameUninstall.aspx?params=0&action=1";
  struct Case {
    std::string url;
    std::vector<std::string> lines;
  } cases[] = {
      // Any status with a length: silence.
      {page, {}},
      {page + "&status=500", {}},
      {page + "&status=404", {}},
      {page + "&no_length=chunked", {"online_log HttpQueryInfo " + page + "&no_length=chunked"}},
      {page + "&no_length=close", {"online_log HttpQueryInfo " + page + "&no_length=close"}},
  };
  for (const Case& c : cases) {
    host.debug.clear();
    EXPECT_EQ(ReportWebEvent(c.url.c_str(), host), 0);
    EXPECT_EQ(host.debug, c.lines) << c.url;
  }
}

TEST_F(ReportTest, UnreachablePortalGivesOneLineAndNoBox) {
  SendCompletionReport(host, UnreachableBase().c_str());
  const std::string url = UnreachableBase() + "/Game/GameUninstall.aspx?params=0&action=1";
  EXPECT_EQ(host.debug, (std::vector<std::string>{
                            "online_log open  " + url,
                            "online_log InternetOpenUrl 错误.\n网址:" + url + ".\n错误号:12029.",
                        }));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ReportTest, LongBaseIsCutToTheLineBuffers) {
  const std::string base = UnreachableBase() + "/" + std::string(400, 'p');
  SendCompletionReport(host, base.c_str());
  ASSERT_EQ(host.debug.size(), 2u);
  for (const std::string& line : host.debug) EXPECT_EQ(line.size(), 259u) << line;
  // The request went to the cut URL, whose text is cut once more.
  EXPECT_EQ(host.debug[1].compare(0, 32, "online_log InternetOpenUrl 错误."), 0);
}

}  // namespace
