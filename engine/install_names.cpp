#include "engine/install_names.h"

#include "engine/worker_texts.h"

size_t LastBackslash(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      ++i;  // lead byte: the next byte belongs to the same character
    } else if (c == '\\') {
      last = i;
    }
  }
  return last;
}

std::string ExeBaseName(const std::string& exeFileName) {
  // GBK trail bytes never take the value of ".", so a plain search is safe;
  // only a dot inside the file part is an extension.
  size_t slash = LastBackslash(exeFileName);
  size_t filePart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = exeFileName.rfind('.');
  if (dot == std::string::npos || dot <= filePart) return exeFileName;
  return exeFileName.substr(0, dot);
}

bool ComposeInstallNames(const std::string& installDir, const std::string& exeFileName, const std::string& uninstName,
                         const std::string& gameName, InstallNames& out) {
  out.program = installDir + exeFileName;
  out.uninstaller = installDir + "uninstall\\" + uninstName;
  out.uninstallInfo = installDir + "uninstall\\uninstall.ini";
  out.base = ExeBaseName(exeFileName);
  out.programLink = gameName + "\\" + out.base;
  out.uninstallLink = out.programLink + kUninstallLinkSuffix;
  const size_t lnk = 4;  // ".lnk" is appended when the link is saved
  return FitsPathBuffer(out.program) && FitsPathBuffer(out.uninstaller) && FitsPathBuffer(out.uninstallInfo) &&
         out.uninstallLink.size() + lnk < kPathBufferSize;
}
