#include <windows.h>

#include <string>

#include "system/path_text.h"
#include "system/scoped_win.h"
#include "system/shortcuts.h"

namespace {

void DeleteContents(const std::string& dir) {
  const std::string pattern = dir + "\\*";
  if (!FitsBuffer(pattern)) return;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle find(FindFirstFileA(pattern.c_str(), &entry));
  if (!find) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = dir + "\\" + name;
    if (!FitsBuffer(path)) continue;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileA(path.c_str());
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      // A junction or directory link: remove the link, never what it points at.
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteContents(path);
      RemoveDirectoryA(path.c_str());
    }
  } while (FindNextFileA(find.get(), &entry));
}

}  // namespace

void DeleteDirectoryTree(const char* path) {
  // An empty path would enumerate the root of the current drive.
  if (!path || !*path) return;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteContents(path);
  RemoveDirectoryA(path);
}
