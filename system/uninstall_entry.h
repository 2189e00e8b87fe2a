#pragma once
// Key path and command texts of the uninstall entry. Platform-free.
#include <string>

// The subkey below HKEY_LOCAL_MACHINE for `keyName`; false (nothing to
// write) for a name that is not a key of its own or does not fit the
// 1024-byte key buffer.
bool UninstallSubkey(const char* keyName, std::string* subkey);

// "\"path\"".
std::string QuotedPath(const char* path);

// "\"path\" \"/U:argument\"", or the quoted path alone without an argument.
std::string UninstallCommand(const char* uninstallerPath, const char* uninstallArgument);
