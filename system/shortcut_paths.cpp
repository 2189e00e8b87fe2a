#include "system/shortcut_paths.h"

#include "system/name_guard.h"
#include "system/path_text.h"
#include "system/shortcuts.h"

namespace {
constexpr int kCsidlPrograms = 0x0002;
constexpr int kCsidlDesktopDirectory = 0x0010;
constexpr int kCsidlCommonPrograms = 0x0017;
}  // namespace

int CreateFolderCsidl(int folder) { return folder == Programs ? kCsidlPrograms : kCsidlDesktopDirectory; }

int DeleteFolderCsidl(int folder) {
  if (folder == Programs) return kCsidlPrograms;
  if (folder == CommonPrograms) return kCsidlCommonPrograms;
  return kCsidlDesktopDirectory;
}

bool ComposeLinkPath(const std::string& folderPath, const char* linkName, bool asLink, std::string* path) {
  if (!IsContainedName(linkName)) return false;
  std::string composed = folderPath + "\\" + linkName;
  if (asLink) composed += ".lnk";
  if (!FitsBuffer(composed)) return false;
  *path = composed;
  return true;
}

std::string LinkWorkingDirectory(const std::string& target) {
  size_t cut = std::string::npos;
  // Only a backslash cuts here, as in the link's own folder rule.
  for (size_t i = 0; i < target.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(target[i])) && i + 1 < target.size()) {
      ++i;
    } else if (target[i] == '\\') {
      cut = i;
    }
  }
  if (cut == std::string::npos) return std::string();
  std::string dir = target.substr(0, cut);
  if (!dir.empty() && dir[0] >= 'a' && dir[0] <= 'z') dir[0] = static_cast<char>(dir[0] - 'a' + 'A');
  return dir;
}
