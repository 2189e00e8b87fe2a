// FetchToTempFile against the project's test server.
#include <gtest/gtest.h>

#include <cstring>

#include "net/http_client.h"
#include "tests/net/net_test_support.h"
#include "tests/net/raw_request.h"

using namespace nettest;

namespace {

class FetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    task.host = &host;
    strcpy(task.errorText, "stale");
    ClearRequests();
  }
  void TearDown() override {
    if (!path.empty()) DeleteFileA(path.c_str());
  }
  int Fetch(const std::string& url) { return FetchToTempFile(url.c_str(), task, path); }

  RecordingHost host;
  InstallTask task;
  std::string path;
};

TEST_F(FetchTest, StoresTheBodyAndPostsEveryBlockThenOneHundred) {
  const std::string body = PatternBytes(200000);
  ASSERT_EQ(Fetch(Serve("fetch/list.txt", body)), 0);
  std::string got;
  ASSERT_TRUE(ReadFileBytes(path, got));
  EXPECT_TRUE(got == body);
  EXPECT_STREQ(task.errorText, "");
  std::string name = path.substr(path.find_last_of('\\') + 1);
  EXPECT_EQ(name.compare(0, 3, "qvx"), 0) << path;

  std::vector<LPARAM> progress = host.Progress();
  ASSERT_GE(progress.size(), 3u);
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress.back(), 100);
  // Each block's percentage never falls; the last one already reached 100
  // and the closing 100 still follows.
  for (size_t i = 2; i < progress.size(); ++i) EXPECT_GE(progress[i], progress[i - 1]);
  EXPECT_EQ(progress[progress.size() - 2], 100);
  EXPECT_TRUE(host.Statuses().empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FetchTest, AnErrorPageIsStoredAsTheBody) {
  ASSERT_EQ(Fetch(ServerUrl() + "/fetch/missing.txt"), 0);
  std::string got;
  ASSERT_TRUE(ReadFileBytes(path, got));
  EXPECT_EQ(got, "not found\n");
  EXPECT_EQ(Fetch(Serve("fetch/x.txt", "abc") + "?status=500&body=oops"), 0);
  ASSERT_TRUE(ReadFileBytes(path, got));
  EXPECT_EQ(got, "oops");
}

TEST_F(FetchTest, WithoutALengthNoPercentagesButTheFetchSucceeds) {
  const std::string body = PatternBytes(150000, 2);
  const std::string url = Serve("fetch/nolength.bin", body);
  for (const char* mode : {"chunked", "close"}) {
    SCOPED_TRACE(mode);
    host.posts.clear();
    ASSERT_EQ(Fetch(url + "?no_length=" + mode), 0);
    std::string got;
    ASSERT_TRUE(ReadFileBytes(path, got));
    EXPECT_TRUE(got == body);
    EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0, 100}));
    DeleteFileA(path.c_str());
  }
}

TEST_F(FetchTest, CancelBeforeTheRequestKeepsTheEmptyFileAndShowsNoBox) {
  host.onPost = [&](const PostedMessage&) { task.cancel = true; };
  EXPECT_EQ(Fetch(Serve("fetch/c.txt", "abc")), 1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.Statuses(), (std::vector<LPARAM>{STATUS_ERROR}));
  EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0}));
  ASSERT_FALSE(path.empty());
  std::string got = "x";
  EXPECT_TRUE(ReadFileBytes(path, got));
  EXPECT_EQ(got, "");
  EXPECT_TRUE(Requests().empty());
}

TEST_F(FetchTest, CancelDuringTheBodyDeletesTheFile) {
  host.onPost = [&](const PostedMessage& p) {
    if (p.message == WM_INSTALL_PROGRESS && p.lParam > 0) task.cancel = true;
  };
  EXPECT_EQ(Fetch(Serve("fetch/big.bin", PatternBytes(400000, 3))), 1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.Statuses(), (std::vector<LPARAM>{STATUS_ERROR}));
  EXPECT_EQ(host.Progress().size(), 2u);
  EXPECT_FALSE(FileExists(path));
}

TEST_F(FetchTest, UnreachableServerGivesTheErrorNumberFormInABox) {
  const std::string url = UnreachableBase() + "/update/vantrel.txt";
  EXPECT_EQ(Fetch(url), 1);
  // The system's own number when the response query has none (12029: cannot connect).
  EXPECT_EQ(std::string(task.errorText), "InternetOpenUrl 错误.\n网址:" + url + ".\n错误号:12029.");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0], task.errorText);
  EXPECT_EQ(host.captions[0], "错误");
  EXPECT_EQ(host.boxTypes[0], static_cast<UINT>(MB_OK));
  EXPECT_EQ(host.posts.back().message, WM_INSTALL_STATUS);
  EXPECT_EQ(host.posts.back().lParam, STATUS_ERROR);
  // The name was reserved before the request and stays, empty.
  EXPECT_TRUE(FileExists(path));
}

TEST_F(FetchTest, ALongUrlIsCutToTheErrorText) {
  const std::string url = UnreachableBase() + "/" + std::string(700, 'a');
  EXPECT_EQ(Fetch(url), 1);
  EXPECT_EQ(strlen(task.errorText), sizeof task.errorText - 1);
  EXPECT_EQ(std::string(task.errorText).compare(0, 21, "InternetOpenUrl 错误."), 0);
}

TEST_F(FetchTest, ConnectionCutMidBodyFailsWithTheReadText) {
  const std::string url = Serve("fetch/cut.bin", PatternBytes(300000, 4)) + "?drop_after=70000";
  EXPECT_EQ(Fetch(url), 1);
  // A body that ends before its length is a cut connection (12031), not success.
  EXPECT_STREQ(task.errorText, "InternetReadFile 错误.\n 错误号:12031.");
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.Statuses(), (std::vector<LPARAM>{STATUS_ERROR}));
  EXPECT_FALSE(FileExists(path));
}

TEST_F(FetchTest, RawRequestIsTheAcceptBlockWithNoCacheAndAFreshAgent) {
  const std::string url = Serve("fetch/raw.txt", "raw");
  ASSERT_EQ(Fetch(url), 0);
  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  std::string raw = requests[0];
  ASSERT_TRUE(NormalizeRequest(raw, HostPort(url))) << raw;
  EXPECT_EQ(raw,
            "GET /fetch/raw.txt HTTP/1.1\r\n"
            "Accept: */*\r\n"
            "Accept: */*\r\n"
            "Host: HOST\r\n"
            "User-Agent: Agent#\r\n"
            "Pragma: no-cache\r\n"
            "\r\n");
}

}  // namespace
