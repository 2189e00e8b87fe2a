#pragma once
// The paths and link names an installation derives from the install
// directory and the setup manifest.
#include <cstddef>
#include <string>

// Every path and link name ends up in a 260-byte buffer somewhere; a name
// that does not fit is refused instead of cut (a cut name is another file).
constexpr size_t kPathBufferSize = 260;
inline bool FitsPathBuffer(const std::string& s) { return s.size() < kPathBufferSize; }

// Position of the last backslash, stepping over GBK double-byte characters
// (their second byte may be 0x5C); npos when there is none.
size_t LastBackslash(const std::string& path);

// The program's file name without its extension. A name whose file part has
// no "." (or only a leading one) is used whole.
std::string ExeBaseName(const std::string& exeFileName);

struct InstallNames {
  std::string program;        // started at the end, target of the links
  std::string uninstaller;
  std::string uninstallInfo;  // uninstall\uninstall.ini
  std::string base;           // the links' name
  std::string programLink;    // gamename\base
  std::string uninstallLink;  // gamename\base + the uninstall suffix
};

// installDir ends with a backslash. False when a path or a link name (with
// its ".lnk") would not fit kPathBufferSize.
bool ComposeInstallNames(const std::string& installDir, const std::string& exeFileName, const std::string& uninstName,
                         const std::string& gameName, InstallNames& out);
