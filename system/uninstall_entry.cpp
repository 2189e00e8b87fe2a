#include "system/uninstall_entry.h"

#include "system/name_guard.h"
#include "system/path_text.h"

bool UninstallSubkey(const char* keyName, std::string* subkey) {
  if (!IsUsableKeyName(keyName)) return false;
  std::string path = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + keyName;
  if (!FitsBuffer(path, 1024)) return false;
  *subkey = path;
  return true;
}

std::string QuotedPath(const char* path) { return "\"" + std::string(path ? path : "") + "\""; }

std::string UninstallCommand(const char* uninstallerPath, const char* uninstallArgument) {
  std::string command = QuotedPath(uninstallerPath);
  if (uninstallArgument) command += " \"/U:" + std::string(uninstallArgument) + "\"";
  return command;
}
