// The setup manifest, fetched from the project's test server.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/install_task.h"
#include "engine/install_worker.h"
#include "tests/engine/recording_host.h"
#include "tests/engine/wine_fixture.h"

namespace {

// Publishes `body` as <server>/m/<name>/update/vantrel.txt and returns the base to load from.
std::string PublishManifest(const std::string& name, const std::string& body) {
  WriteBytes(WebRoot() + "\\m\\" + name + "\\update\\vantrel.txt", body);
  return ServerBase() + "/m/" + name;
}

const char kFull[] =
    "[setup]\r\n"
    "gamename=\xd0\xc7\xba\xa3\r\n"  // GBK name
    "exefilename=bin\\star.exe\r\n"
    "ProductTitle=Star Window\r\n"
    "size=3\r\n"
    "urlAgreement=http://example.test/eula\r\n"
    "uninstname=uninst.exe\r\n"
    "Publisher=Corvel\r\n"
    "Contact=help@example.test\r\n"
    "[config]\r\n"
    "1.0=http://example.test/list\r\n";

}  // namespace

TEST(SetupManifest, ReadsEveryKey) {
  ASSERT_FALSE(ServerBase().empty()) << "run beside the test server";
  RecordingHost host;
  InstallTask task;
  task.host = &host;
  ASSERT_TRUE(task.LoadSetupManifest(PublishManifest("full", kFull).c_str()));
  EXPECT_EQ(Hex(task.gameName), "d0c7baa3");
  EXPECT_STREQ(task.exeFileName, "bin\\star.exe");
  EXPECT_STREQ(task.productTitle, "Star Window");
  EXPECT_EQ(task.sizeKB, 3 * 1024);
  EXPECT_STREQ(task.urlAgreement, "http://example.test/eula");
  EXPECT_STREQ(task.uninstName, "uninst.exe");
  EXPECT_STREQ(task.publisher, "Corvel");
  EXPECT_STREQ(task.contact, "help@example.test");
  // The worker reads [config] from the same file later.
  EXPECT_EQ(ReadBytes(task.manifestPath), kFull);
  EXPECT_TRUE(host.Boxes().empty());
}

TEST(SetupManifest, SizeDecidesWhetherItIsUsable) {
  static const struct {
    const char* name;
    const char* sizeLine;
    bool ok;
    int sizeKB;
  } cases[] = {
      {"size0", "size=0\r\n", true, 0},
      {"size1", "size=1\r\n", true, 1024},
      {"size-1", "size=-1\r\n", false, -1},
      {"size-5", "size=-5\r\n", false, -5},
      {"nosize", "", false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingHost host;
    InstallTask task;
    task.host = &host;
    std::string body = std::string("[setup]\r\ngamename=G\r\n") + c.sizeLine + "Publisher=P\r\n";
    EXPECT_EQ(task.LoadSetupManifest(PublishManifest(c.name, body).c_str()), c.ok);
    EXPECT_EQ(task.sizeKB, c.sizeKB);
    EXPECT_STREQ(task.gameName, "G");
    // An unusable size stops the reading before the keys behind it.
    EXPECT_STREQ(task.publisher, c.ok ? "P" : "");
  }
}

TEST(SetupManifest, LongValuesAreCutAndLongNamesRefused) {
  const std::string title(300, 't');
  RecordingHost host;
  InstallTask cut;
  cut.host = &host;
  ASSERT_TRUE(cut.LoadSetupManifest(
      PublishManifest("long", "[setup]\r\ngamename=G\r\nProductTitle=" + title + "\r\nsize=1\r\n").c_str()));
  EXPECT_EQ(std::string(cut.productTitle), title.substr(0, 259));

  // The window appends the name to its default folder; 241 characters still fit.
  for (size_t length : {241u, 242u}) {
    InstallTask task;
    task.host = &host;
    std::string body = "[setup]\r\ngamename=" + std::string(length, 'g') + "\r\nsize=1\r\n";
    EXPECT_EQ(task.LoadSetupManifest(PublishManifest("name" + std::to_string(length), body).c_str()), length == 241)
        << length;
  }
}

TEST(SetupManifest, UnreachableServerFails) {
  RecordingHost host;
  InstallTask task;
  task.host = &host;
  EXPECT_FALSE(task.LoadSetupManifest("http://127.0.0.1:1"));
  // The fetch reported it itself; the window then says it cannot connect.
  EXPECT_EQ(host.Statuses(), std::vector<int>{STATUS_ERROR});
}

TEST(SetupManifest, WithoutConfigTheInstallFindsNoUpdateList) {
  RecordingHost host;
  InstallTask task;
  task.host = &host;
  ASSERT_TRUE(task.LoadSetupManifest(PublishManifest("noconfig", "[setup]\r\ngamename=G\r\nsize=1\r\n").c_str()));
  snprintf(task.installDir, sizeof task.installDir, "%s", FreshDir("noconfig").c_str());
  RunInstallWith(task, WorkerLimits());
  ASSERT_EQ(host.Boxes().size(), 1u);
  EXPECT_EQ(host.Boxes()[0], "从文件中,获取版本对应的更新URL错误.");
  EXPECT_EQ(host.Statuses(), (std::vector<int>{STATUS_READING_CONFIG, STATUS_ERROR}));
}
