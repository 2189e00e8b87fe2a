// DownloadResumable against the project's test server.
#include <gtest/gtest.h>

#include <cstring>

#include "net/http_client.h"
#include "tests/net/net_test_support.h"
#include "tests/net/raw_request.h"

using namespace nettest;

namespace {

std::string RangeOf(const std::string& raw) {
  size_t at = raw.find("\r\nRange: ");
  if (at == std::string::npos) return "";
  size_t end = raw.find("\r\n", at + 2);
  return raw.substr(at + 2, end - at - 2);
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    task.host = &host;
    dir = ScratchDir("dl");
    snprintf(task.installDir, sizeof task.installDir, "%s", dir.c_str());
    strcpy(task.errorText, "stale");
    ClearRequests();
  }
  int Download(const std::string& url, const char* destination = "game.pkg", bool isRetry = false) {
    return DownloadResumable(destination, task, url.c_str(), path, isRetry);
  }
  std::string Local() {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
  }
  std::string LocalPath(const char* name) { return dir + "\\" + name; }

  RecordingHost host;
  InstallTask task;
  std::string dir, path;
};

TEST_F(DownloadTest, FreshFileInNewFoldersFromByteZero) {
  const std::string body = PatternBytes(300000);
  ASSERT_EQ(Download(Serve("pkg/a.bin", body), "data\\new\\deeper\\a.bin"), 0) << task.errorText;
  EXPECT_EQ(path, dir + "\\data\\new\\deeper\\a.bin");
  EXPECT_TRUE(Local() == body);
  EXPECT_STREQ(task.errorText, "");

  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(RangeOf(requests[0]), "Range: bytes=0-");

  std::vector<LPARAM> progress = host.Progress();
  ASSERT_GE(progress.size(), 4u);
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress.back(), 100);
  // One stdout and one debugger line per block, with that block's figure.
  ASSERT_EQ(host.out.size(), progress.size() - 2);
  ASSERT_EQ(host.debug.size(), host.out.size());
  for (size_t i = 0; i < host.out.size(); ++i) {
    EXPECT_EQ(host.out[i], "cur progress " + std::to_string(progress[i + 1]) + "\n");
    EXPECT_EQ(host.debug[i], "online_log cur progress " + std::to_string(progress[i + 1]) + "\n");
  }
  EXPECT_TRUE(host.Statuses().empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(DownloadTest, PartialFileAsksForTheRestAndEndsIdentical) {
  const std::string body = PatternBytes(3 * 1048576 + 12345, 5);
  const size_t have = 2 * 1048576 + 777;
  const std::string url = Serve("pkg/resume.bin", body);
  ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), body.substr(0, have)));
  ASSERT_EQ(Download(url), 0) << task.errorText;
  EXPECT_TRUE(Local() == body);
  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(RangeOf(requests[0]), "Range: bytes=" + std::to_string(have) + "-");
  // The first figure comes after the first block, in KiB above 1 MiB.
  std::vector<LPARAM> progress = host.Progress();
  ASSERT_GE(progress.size(), 3u);
  EXPECT_EQ(progress[1], static_cast<LPARAM>((have + 65536) / 1024 * 100 / (body.size() / 1024)));
  EXPECT_EQ(progress.back(), 100);
}

TEST_F(DownloadTest, CompleteFileIsAnsweredWith416AndNothingMoves) {
  const std::string body = PatternBytes(5000, 6);
  ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), body));
  ASSERT_EQ(Download(Serve("pkg/done.bin", body)), 0);
  EXPECT_TRUE(Local() == body);
  EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0, 100}));
  EXPECT_TRUE(host.out.empty());
}

TEST_F(DownloadTest, StatusesOtherThanTheRangeAnswers) {
  struct Case {
    const char* name;
    const char* query;
    int result;
    const char* expected;  // local file afterwards
  } cases[] = {
      // 404: nothing written, no text; the file exists (created empty).
      {"missing", "", 1, "old"},
      // Anything else replaces the content with the answer's body.
      {"error", "?status=500&body=server%20error", 0, "server error"},
      {"moved", "?status=302&body=elsewhere", 0, "elsewhere"},
  };
  const std::string url = Serve("pkg/other.bin", "the real file");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), "old"));
    std::string target = std::string(c.name) == "missing" ? ServerUrl() + "/pkg/none.bin" : url + c.query;
    EXPECT_EQ(Download(target), c.result);
    EXPECT_STREQ(task.errorText, "");
    EXPECT_EQ(Local(), c.expected);
  }
}

TEST_F(DownloadTest, NotFoundCreatesAnEmptyFileWhenThereWasNone) {
  EXPECT_EQ(Download(ServerUrl() + "/pkg/none.bin"), 1);
  EXPECT_EQ(Local(), "");
  EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0}));
}

TEST_F(DownloadTest, WholeFileAnswerToARangeReplacesThePartialBytes) {
  const std::string body = PatternBytes(200000, 7);
  ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), body.substr(0, 70000)));
  ASSERT_EQ(Download(Serve("pkg/norange.bin", body) + "?ignore_range=1"), 0);
  EXPECT_TRUE(Local() == body);
  std::vector<LPARAM> progress = host.Progress();
  for (LPARAM p : progress) EXPECT_LE(p, 100);
  EXPECT_EQ(progress[1], 65536 * 100 / 200000);  // counted from 0, not from 70000
}

TEST_F(DownloadTest, CutConnectionThenRetryFetchesOnlyTheMissingBytes) {
  const std::string body = PatternBytes(500000, 8);
  const std::string url = Serve("pkg/cut.bin", body) + "?drop_after=200000&times=1";
  EXPECT_EQ(Download(url), 1);
  EXPECT_STREQ(task.errorText, "InternetReadFile 错误.\n 错误号:12031.");
  const size_t kept = Local().size();
  EXPECT_GT(kept, 0u);
  EXPECT_LE(kept, 200000u);
  EXPECT_TRUE(Local() == body.substr(0, kept));

  host.posts.clear();
  ASSERT_EQ(Download(url, "game.pkg", true), 0) << task.errorText;
  EXPECT_TRUE(Local() == body);
  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(RangeOf(requests[1]), "Range: bytes=" + std::to_string(kept) + "-");
  // A retry does not reset the bar.
  ASSERT_FALSE(host.Progress().empty());
  EXPECT_NE(host.Progress().front(), 0);
}

TEST_F(DownloadTest, InterruptedThreeTimesEndsIdenticalLikeTheWorkerRetries) {
  const std::string body = PatternBytes(1048576 * 2 + 99, 9);
  const std::string url = Serve("pkg/thrice.bin", body) + "?drop_after=400000&times=3";
  int attempts = 0;
  while (attempts < 10 && Download(url, "\\game.pkg", attempts > 0) != 0) ++attempts;
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(path, LocalPath("game.pkg"));
  EXPECT_TRUE(Local() == body);
  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(RangeOf(requests[0]), "Range: bytes=0-");
  EXPECT_NE(RangeOf(requests[3]), "Range: bytes=0-");
}

TEST_F(DownloadTest, WithoutALengthNoFiguresButTheFileCompletes) {
  const std::string body = PatternBytes(250000, 10);
  const std::string url = Serve("pkg/nolength.bin", body);
  for (size_t have : {size_t{0}, size_t{100000}}) {
    for (const char* mode : {"chunked", "close"}) {
      SCOPED_TRACE(std::string(mode) + " from " + std::to_string(have));
      host.posts.clear();
      host.out.clear();
      ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), body.substr(0, have)));
      ASSERT_EQ(Download(url + "?no_length=" + mode), 0) << task.errorText;
      EXPECT_TRUE(Local() == body);
      EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0, 100}));
      EXPECT_TRUE(host.out.empty());
    }
  }
}

TEST_F(DownloadTest, CancelKeepsTheBytesAndReportsNothing) {
  const std::string body = PatternBytes(600000, 11);
  const std::string url = Serve("pkg/cancel.bin", body);
  host.onPost = [&](const PostedMessage& p) {
    if (p.lParam > 0) task.cancel = true;
  };
  EXPECT_EQ(Download(url), 1);
  EXPECT_STREQ(task.errorText, "");
  EXPECT_TRUE(host.Statuses().empty());
  EXPECT_TRUE(host.boxes.empty());
  const std::string kept = Local();
  EXPECT_GT(kept.size(), 0u);
  EXPECT_LT(kept.size(), body.size());
  EXPECT_TRUE(kept == body.substr(0, kept.size()));

  // Cancelled before the request: no request at all.
  ClearRequests();
  EXPECT_EQ(Download(url), 1);
  EXPECT_TRUE(Requests().empty());
  EXPECT_EQ(Local().size(), kept.size());
}

TEST_F(DownloadTest, UnreachableServerLeavesTheTextAndShowsNothing) {
  const std::string url = UnreachableBase() + "/pkg/x.bin";
  EXPECT_EQ(Download(url), 1);
  EXPECT_EQ(std::string(task.errorText), "InternetOpenUrl 错误.\n网址:" + url + ".\n错误号:12029.");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.Statuses().empty());
}

TEST_F(DownloadTest, RawRequestCarriesTheWholeHeaderBlock) {
  const std::string body = PatternBytes(1000, 12);
  const std::string url = Serve("pkg/raw.bin", body);
  ASSERT_TRUE(WriteFileBytes(LocalPath("game.pkg"), body.substr(0, 400)));
  ASSERT_EQ(Download(url), 0);
  std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  std::string raw = requests[0];
  ASSERT_TRUE(NormalizeRequest(raw, HostPort(url))) << raw;
  EXPECT_EQ(raw,
            "GET /pkg/raw.bin HTTP/1.1\r\n"
            "Accept: */*\r\n"
            "Accept: */*\r\n"
            "Pragma: no-cache\r\n"
            "Cache-Control: no-cache\r\n"
            "Connection: Keep-Alive\r\n"
            "Range: bytes=400-\r\n"
            "Host: HOST\r\n"
            "User-Agent: Agent#\r\n"
            "\r\n");
}

}  // namespace
