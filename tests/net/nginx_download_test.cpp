// The resumable download against nginx, whose Range answers are the real thing.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "net/http_client.h"
#include "tests/net/net_test_support.h"

using namespace nettest;

namespace {

struct Answer {
  std::string uri;
  int status = 0;
  long long bytes = 0;
  std::string range;
};

// nginx writes its access line after the answer; wait for count of them.
std::vector<Answer> Answers(size_t count) {
  std::vector<Answer> answers;
  for (int tries = 0; tries < 50; ++tries) {
    answers.clear();
    std::string all;
    ReadFileBytes(WinePath(Env("VANTREL_NGINX_LOG").c_str()), all);
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
      Answer a;
      std::istringstream fields(line);
      fields >> a.uri >> a.status >> a.bytes >> a.range;
      answers.push_back(a);
    }
    if (answers.size() >= count) break;
    Sleep(100);
  }
  return answers;
}

class NginxDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    task.host = &host;
    dir = ScratchDir("nginx");
    snprintf(task.installDir, sizeof task.installDir, "%s", dir.c_str());
    base = Answers(0).size();
  }
  std::string Put(const char* name, const std::string& bytes) {
    WriteFileBytes(WinePath(Env("VANTREL_NGINX_ROOT").c_str()) + "\\" + name, bytes);
    return Env("VANTREL_NGINX_SERVER") + "/" + name;
  }
  std::string Local() {
    std::string bytes;
    ReadFileBytes(dir + "\\game.pkg", bytes);
    return bytes;
  }
  std::vector<Answer> NewAnswers(size_t count) {
    std::vector<Answer> all = Answers(base + count);
    return std::vector<Answer>(all.begin() + std::min(base, all.size()), all.end());
  }

  RecordingHost host;
  InstallTask task;
  std::string dir, path;
  size_t base = 0;
};

TEST_F(NginxDownloadTest, FreshThenResumedThenComplete) {
  const std::string body = PatternBytes(3 * 1048576 + 4321, 21);
  const std::string url = Put("game.bin", body);

  // Fresh: "bytes=0-" is answered 206 with the whole file.
  ASSERT_EQ(DownloadResumable("game.pkg", task, url.c_str(), path, false), 0) << task.errorText;
  EXPECT_TRUE(Local() == body);

  // Partial: only the missing bytes travel.
  const size_t have = 1048576 + 99;
  ASSERT_TRUE(WriteFileBytes(dir + "\\game.pkg", body.substr(0, have)));
  ASSERT_EQ(DownloadResumable("game.pkg", task, url.c_str(), path, true), 0) << task.errorText;
  EXPECT_TRUE(Local() == body);

  // Complete: 416, nothing written, progress 100.
  host.posts.clear();
  ASSERT_EQ(DownloadResumable("game.pkg", task, url.c_str(), path, false), 0);
  EXPECT_TRUE(Local() == body);
  EXPECT_EQ(host.Progress(), (std::vector<LPARAM>{0, 100}));

  std::vector<Answer> answers = NewAnswers(3);
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0].status, 206);
  EXPECT_EQ(answers[0].range, "\"bytes=0-\"");
  EXPECT_EQ(answers[0].bytes, static_cast<long long>(body.size()));
  EXPECT_EQ(answers[1].status, 206);
  EXPECT_EQ(answers[1].range, "\"bytes=" + std::to_string(have) + "-\"");
  EXPECT_EQ(answers[1].bytes, static_cast<long long>(body.size() - have));
  EXPECT_EQ(answers[2].status, 416);
}

TEST_F(NginxDownloadTest, MissingFileIsAFailureWithoutText) {
  const std::string url = Env("VANTREL_NGINX_SERVER") + "/none.bin";
  EXPECT_EQ(DownloadResumable("game.pkg", task, url.c_str(), path, false), 1);
  EXPECT_STREQ(task.errorText, "");
  EXPECT_EQ(Local(), "");
}

}  // namespace
