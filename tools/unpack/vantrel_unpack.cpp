// vantrel-unpack: runs the installer's own unpacking on a package, printing
// each progress value it posts. For publishers checking a package and for tests.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/install_task.h"
#include "package/package_unpacker.h"

namespace {

const char kUsage[] =
    "usage: vantrel-unpack [--stats] PACKAGE DESTDIR\n"
    "Unpacks PACKAGE into DESTDIR exactly as the installer does, printing every\n"
    "progress value (0 to 100) on a line of its own. Exit code 0 when the package\n"
    "held entries, 1 when it was missing, refused or empty.\n"
    "--stats  afterwards prints the time taken, the number of progress posts and\n"
    "         the peak memory of the process, on standard error.\n";

class ConsoleHost final : public Host {
 public:
  void Post(HWND, UINT message, WPARAM, LPARAM lParam) override {
    if (message != WM_INSTALL_PROGRESS) return;
    printf("%d\n", int(lParam));
    posts++;
  }
  int ShowMessageBox(HWND, const char* text, const char*, UINT) override {
    fprintf(stderr, "%s\n", text);
    return IDOK;
  }
  void DebugString(const char* line) override { fprintf(stderr, "%s\n", line); }
  void WriteStdout(const char* text) override { fputs(text, stdout); }
  int posts = 0;
};

std::string FullPath(const char* path) {
  char full[4096];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  std::string result = (n > 0 && n < sizeof full) ? full : path;
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool SameComponent(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// "..\..\x\package" from the first full path to the second; empty across drives.
std::string RelativePath(const std::string& from, const std::string& to) {
  std::vector<std::string> a = Components(from), b = Components(to);
  if (a.empty() || b.empty() || !SameComponent(a[0], b[0])) return std::string();
  size_t common = 1;
  while (common < a.size() && common < b.size() - 1 && SameComponent(a[common], b[common])) common++;
  std::string result;
  for (size_t i = common; i < a.size(); i++) result += "..\\";
  for (size_t i = common; i < b.size(); i++) result += b[i] + (i + 1 < b.size() ? "\\" : "");
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  bool stats = false;
  int first = 1;
  if (argc > 1 && strcmp(argv[1], "--stats") == 0) {
    stats = true;
    first = 2;
  }
  if (argc - first != 2) {
    fputs(kUsage, stderr);
    return 2;
  }
  ConsoleHost host;
  PackageUnpacker unpacker;
  unpacker.host = &host;
  // ExtractPackage looks for the package relative to the destination, so the
  // package is named by a relative path from there.
  std::string name = RelativePath(FullPath(argv[first + 1]), FullPath(argv[first]));
  if (name.empty()) {
    fprintf(stderr, "vantrel-unpack: PACKAGE and DESTDIR must be on the same drive\n");
    return 2;
  }
  std::string destination = argv[first + 1];
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int result = unpacker.ExtractPackage(name, destination);
  QueryPerformanceCounter(&end);
  fflush(stdout);
  if (stats) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    fprintf(stderr, "elapsed_ms %.1f\nposts %d\npeak_working_set %llu\npeak_pagefile %llu\n",
            double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart), host.posts,
            (unsigned long long)counters.PeakWorkingSetSize, (unsigned long long)counters.PeakPagefileUsage);
  }
  return result == 0 ? 0 : 1;
}
