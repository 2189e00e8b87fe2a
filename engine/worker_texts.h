#pragma once
// The install worker's texts, GBK in the binary. Kept in one file so the
// rest of the engine's platform-free code has no Chinese literals.

extern const char kErrNoUpdateUrl[];
extern const char kErrListUnreadable[];
extern const char kErrListEmptyCommand[];
extern const char kErrListEmptyPaths[];
extern const char kErrListBadPath[];
extern const char kErrUnknownCommand[];
extern const char kErrNetworkBroken[];
extern const char kErrUnknown[];
extern const char kErrUnpack[];
extern const char kErrPackageDamaged[];
extern const char kErrPathTooLong[];
extern const char kErrThreadStart[];

// Appended to the program link's name for the start-menu uninstall link.
extern const char kUninstallLinkSuffix[];
