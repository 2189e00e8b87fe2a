#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/uninstall_registry.h"
#include "win_test_support.h"

namespace {

const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct Value {
  DWORD type = REG_NONE;
  std::string data;
};

std::string KeyPath(const std::string& name) { return std::string(kUninstall) + "\\" + name; }

bool ReadValue(const std::string& key, const char* name, Value* value) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  BYTE buf[2048];
  DWORD size = sizeof buf;
  LONG rc = RegQueryValueExA(k, name, nullptr, &value->type, buf, &size);
  RegCloseKey(k);
  if (rc != ERROR_SUCCESS) return false;
  value->data.assign(reinterpret_cast<char*>(buf), size);
  return true;
}

std::vector<std::string> ValueNames(const std::string& key) {
  std::vector<std::string> names;
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumValueA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  RegCloseKey(k);
  return names;
}

// Names of the subkeys and values directly in a key: what "nothing written" compares.
std::vector<std::string> KeyContents(const std::string& key) {
  std::vector<std::string> contents = ValueNames(key);
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return contents;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    contents.push_back(std::string("key:") + name);
  }
  RegCloseKey(k);
  return contents;
}

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }
std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

class UninstallRegistry : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"VtRegGame", "VtRegGame2\\Deeper", "VtRegGame2"}) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyPath(name).c_str());
    }
  }
};

TEST_F(UninstallRegistry, WritesTheSevenValuesWithTypesAndBytes) {
  RegisterUninstall("科维尔公司", "service@corvel.example", "VtRegGame", "维特游戏", "C:\\Games\\VtRegGame\\uninstall\\un.exe",
                    "C:\\Games\\VtRegGame\\uninstall\\uninstall.ini");
  const std::string key = KeyPath("VtRegGame");
  // Wine lists values sorted by name, so only the set is checked here.
  std::vector<std::string> names = ValueNames(key);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Contact", "DisplayIcon", "DisplayName", "NoModify", "NoRepair", "Publisher",
                                             "UninstallString"}));
  static const struct {
    const char* name;
    DWORD type;
    std::string data;
  } expected[] = {
      {"DisplayName", REG_SZ, Sz("维特游戏")},
      {"NoModify", REG_DWORD, Dword(1)},
      {"NoRepair", REG_DWORD, Dword(1)},
      {"UninstallString", REG_SZ,
       Sz("\"C:\\Games\\VtRegGame\\uninstall\\un.exe\" \"/U:C:\\Games\\VtRegGame\\uninstall\\uninstall.ini\"")},
      {"Publisher", REG_SZ, Sz("科维尔公司")},
      {"Contact", REG_SZ, Sz("service@corvel.example")},
      {"DisplayIcon", REG_SZ, Sz("\"C:\\Games\\VtRegGame\\uninstall\\un.exe\"")},
  };
  for (const auto& e : expected) {
    Value v;
    ASSERT_TRUE(ReadValue(key, e.name, &v)) << e.name;
    EXPECT_EQ(v.type, e.type) << e.name;
    EXPECT_EQ(Hex(v.data), Hex(e.data)) << e.name;
  }
  // The stored text is GBK: 维特游戏.
  Value name;
  ASSERT_TRUE(ReadValue(key, "DisplayName", &name));
  EXPECT_EQ(Hex(name.data), "ceacccd8d3cecfb700");
}

TEST_F(UninstallRegistry, SecondRegistrationOverwritesAndKeepsOtherValues) {
  RegisterUninstall("A", "a@x", "VtRegGame", "Old", "C:\\Old\\uninstall\\un.exe", "C:\\Old\\uninstall\\uninstall.ini");
  HKEY k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath("VtRegGame").c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  RegSetValueExA(k, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Old"), 7);
  RegCloseKey(k);

  RegisterUninstall("B", "b@x", "VtRegGame", "New", "D:\\New\\uninstall\\un.exe", nullptr);
  Value v;
  ASSERT_TRUE(ReadValue(KeyPath("VtRegGame"), "DisplayName", &v));
  EXPECT_EQ(v.data, Sz("New"));
  ASSERT_TRUE(ReadValue(KeyPath("VtRegGame"), "Publisher", &v));
  EXPECT_EQ(v.data, Sz("B"));
  // Without an argument the command is the quoted path alone, the same as the icon.
  Value command, icon;
  ASSERT_TRUE(ReadValue(KeyPath("VtRegGame"), "UninstallString", &command));
  ASSERT_TRUE(ReadValue(KeyPath("VtRegGame"), "DisplayIcon", &icon));
  EXPECT_EQ(command.data, Sz("\"D:\\New\\uninstall\\un.exe\""));
  EXPECT_EQ(command.data, icon.data);
  ASSERT_TRUE(ReadValue(KeyPath("VtRegGame"), "InstallLocation", &v));
  EXPECT_EQ(v.data, Sz("C:\\Old"));
  EXPECT_EQ(ValueNames(KeyPath("VtRegGame")).size(), 8u);
}

TEST_F(UninstallRegistry, BackslashInTheNameMakesADeeperKey) {
  RegisterUninstall("P", "c", "VtRegGame2\\Deeper", "D", "C:\\G\\un.exe", nullptr);
  Value v;
  EXPECT_TRUE(ReadValue(KeyPath("VtRegGame2\\Deeper"), "DisplayName", &v));
  EXPECT_FALSE(ReadValue(KeyPath("VtRegGame2"), "DisplayName", &v));
}

TEST_F(UninstallRegistry, MissingOrEmptyArgumentsWriteNothing) {
  const std::vector<std::string> before = KeyContents(kUninstall);
  struct Args {
    const char *publisher, *contact, *key, *display, *uninstaller;
  };
  const Args cases[] = {
      {"P", "c", "", "D", "C:\\G\\un.exe"},  // would write into the Uninstall key itself
      {"P", "c", "\\", "D", "C:\\G\\un.exe"},
      {"P", "c", nullptr, "D", "C:\\G\\un.exe"},
      {nullptr, "c", "VtRegGame", "D", "C:\\G\\un.exe"},
      {"P", nullptr, "VtRegGame", "D", "C:\\G\\un.exe"},
      {"P", "c", "VtRegGame", nullptr, "C:\\G\\un.exe"},
      {"P", "c", "VtRegGame", "D", nullptr},
  };
  for (const Args& a : cases) RegisterUninstall(a.publisher, a.contact, a.key, a.display, a.uninstaller, "x.ini");
  EXPECT_EQ(KeyContents(kUninstall), before);
  Value v;
  EXPECT_FALSE(ReadValue(kUninstall, "DisplayName", &v));
  EXPECT_FALSE(ReadValue(KeyPath("VtRegGame"), "DisplayName", &v));
}

}  // namespace
