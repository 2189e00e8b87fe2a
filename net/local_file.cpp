#include "net/local_file.h"

#include <windows.h>

#include "net/request_text.h"

ScopedFile OpenCreatingFolders(const std::string& path, const char* mode) {
  ScopedFile file(fopen(path.c_str(), mode));
  if (file) return file;
  // Existing levels just fail to be created again.
  for (const std::string& level : DirectoryLevels(path)) CreateDirectoryA(level.c_str(), nullptr);
  file.reset(fopen(path.c_str(), mode));
  return file;
}

long OpenFileSize(FILE* file) {
  if (fseek(file, 0, SEEK_END) != 0) return -1;
  return ftell(file);
}
