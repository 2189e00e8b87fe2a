// Stands in for the game program: records the directory it was started in
// (launched.txt beside itself) and ends at once, so tests need not close it.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH - 16) return 1;
  char* slash = strrchr(path, '\\');
  if (!slash) return 1;
  strcpy(slash + 1, "launched.txt");
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  FILE* f = fopen(path, "wb");
  if (!f) return 1;
  fputs(cwd, f);
  fclose(f);
  return 0;
}
