#include "engine/install_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    char b[3];
    snprintf(b, sizeof b, "%02x", c);
    out += b;
  }
  return out;
}

}  // namespace

TEST(InstallNames, LastBackslashStepsOverGbkTrailBytes) {
  EXPECT_EQ(LastBackslash("a\\b\\c"), 3u);
  EXPECT_EQ(LastBackslash("abc"), std::string::npos);
  // 0x81 0x5C is one double-byte character whose second byte looks like "\".
  EXPECT_EQ(LastBackslash("dir\\\x81\x5cname"), 3u);
  EXPECT_EQ(LastBackslash("\x81\x5c"), std::string::npos);
  // A lone lead byte at the end is no character; a "\" before it still counts.
  EXPECT_EQ(LastBackslash("a\\\x81"), 1u);
}

TEST(InstallNames, BaseNameOfTheProgram) {
  static const struct {
    const char* exe;
    const char* base;
  } cases[] = {
      {"game.exe", "game"},
      {"game", "game"},            // no extension: the whole name
      {"a.b.exe", "a.b"},          // only the last dot cuts
      {"game.", "game"},
      {".exe", ".exe"},            // nothing would be left
      {"bin\\game.exe", "bin\\game"},
      {"bin.x\\game", "bin.x\\game"},  // a dot in a folder is no extension
      {"\xd3\xce\xcf\xb7.exe", "\xd3\xce\xcf\xb7"},  // GBK name
      {"x.y\x81\x5c", "x"},        // the trail byte is not a folder separator
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExeBaseName(c.exe), c.base) << c.exe;
}

TEST(InstallNames, ComposedFromInstallDirAndManifest) {
  InstallNames n;
  ASSERT_TRUE(ComposeInstallNames("C:\\Games\\X\\", "bin\\x.exe", "unins.exe", "X", n));
  EXPECT_EQ(n.program, "C:\\Games\\X\\bin\\x.exe");
  EXPECT_EQ(n.uninstaller, "C:\\Games\\X\\uninstall\\unins.exe");
  EXPECT_EQ(n.uninstallInfo, "C:\\Games\\X\\uninstall\\uninstall.ini");
  EXPECT_EQ(n.base, "bin\\x");
  EXPECT_EQ(n.programLink, "X\\bin\\x");
  // "卸载" in GBK
  EXPECT_EQ(Hex(n.uninstallLink), Hex("X\\bin\\x") + "d0b6d4d8");
}

TEST(InstallNames, RefusesWhatDoesNotFitAPathBuffer) {
  const std::string dir = "C:\\" + std::string(200, 'd') + "\\";  // 204 bytes
  static const struct {
    size_t exeLength;
    size_t uninstLength;
    size_t gameLength;
    bool fits;
  } cases[] = {
      {55, 10, 10, true},    // program of 259 bytes
      {56, 10, 10, false},   // 260
      {10, 45, 10, true},    // uninstaller of 259 ("uninstall\" is 10)
      {10, 46, 10, false},
      {14, 10, 241, false},  // uninstall link: 241 + 1 + 10 + 4 (suffix) + 4 (".lnk") = 260
      {13, 10, 241, true},
  };
  for (const auto& c : cases) {
    InstallNames n;
    std::string exe = std::string(c.exeLength - 4, 'e') + ".exe";
    EXPECT_EQ(ComposeInstallNames(dir, exe, std::string(c.uninstLength, 'u'), std::string(c.gameLength, 'g'), n),
              c.fits)
        << c.exeLength << " " << c.uninstLength << " " << c.gameLength;
  }
}
