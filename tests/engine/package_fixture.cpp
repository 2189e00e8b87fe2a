#include "tests/engine/package_fixture.h"

#include <windows.h>

#include <algorithm>

#include "tests/engine/wine_fixture.h"

namespace {

void Collect(const std::string& root, const std::string& rel, std::vector<TreeFile>& out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + rel + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      Collect(root, rel + name + "\\", out);
    else
      out.push_back({rel + name, ReadBytes(root + rel + name)});
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

const std::vector<TreeFile>& GameTree() {
  static const std::vector<TreeFile> tree = [] {
    std::vector<TreeFile> files;
    Collect(WinePath(VANTREL_ENGINE_GAME_TREE) + "\\", "", files);
    std::stable_partition(files.begin(), files.end(), [](const TreeFile& f) { return f.path == "game.exe"; });
    return files;
  }();
  return tree;
}

const std::string& GamePackage() {
  static const std::string package = ReadBytes(WinePath(VANTREL_ENGINE_GAME_PACKAGE));
  return package;
}
