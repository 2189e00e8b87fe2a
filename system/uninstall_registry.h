#pragma once

// Enters the game in the system's list of installed programs (HKLM).
// uninstallArgument may be null; any other null argument writes nothing.
void RegisterUninstall(const char* publisher, const char* contact, const char* keyName, const char* displayName,
                       const char* uninstallerPath, const char* uninstallArgument);
