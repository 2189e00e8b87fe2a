#include <gtest/gtest.h>

#include "ui/web_address.h"

// Whatever the manifest says is handed to the shell by an elevated process.
TEST(IsWebAddress, OnlyWebAddressesReachTheShell) {
  static const struct {
    const char* text;
    bool ok;
  } cases[] = {
      {"http://www.example.com/agreement.html", true},
      {"HTTPS://example.com", true},
      {"http://127.0.0.1:47180/a", true},
      {"", false},
      {nullptr, false},
      {"C:\\Windows\\System32\\cmd.exe", false},
      {"file:///C:/Windows/notepad.exe", false},
      {"\\\\server\\share\\setup.exe", false},
      {"calc", false},
      {"http://", false},
      {"http:///etc", false},
      {"httpx://example.com", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.text), c.ok) << (c.text ? c.text : "(null)");
}
