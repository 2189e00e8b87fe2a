#include "system/uninstall_registry.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "system/scoped_win.h"
#include "system/uninstall_entry.h"

namespace {

void SetText(HKEY key, const char* name, const std::string& text) {
  // The NUL is part of the stored data.
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}

void SetNumber(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void RegisterUninstall(const char* publisher, const char* contact, const char* keyName, const char* displayName,
                       const char* uninstallerPath, const char* uninstallArgument) {
  if (!publisher || !contact || !keyName || !displayName || !uninstallerPath) return;
  std::string subkey;
  if (!UninstallSubkey(keyName, &subkey)) return;
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) {
    raw = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, subkey.c_str(), &raw) != ERROR_SUCCESS) raw = nullptr;
  }
  ScopedRegKey key(raw);
  if (!key) return;
  SetText(key.get(), "DisplayName", displayName);
  SetNumber(key.get(), "NoModify", 1);
  SetNumber(key.get(), "NoRepair", 1);
  SetText(key.get(), "UninstallString", UninstallCommand(uninstallerPath, uninstallArgument));
  SetText(key.get(), "Publisher", publisher);
  SetText(key.get(), "Contact", contact);
  SetText(key.get(), "DisplayIcon", QuotedPath(uninstallerPath));
}
