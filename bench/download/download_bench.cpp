// Times DownloadResumable for one URL into a folder, optionally cut by a
// cancel at half way and resumed by a second call, as a rerun would.
//   download_bench URL DIR [cut]
// Prints "seconds S", and with cut "kept K" and "final F" (bytes).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/install_task.h"
#include "net/http_client.h"

namespace {

// Drops everything but can cancel the task at a percentage.
class BenchHost final : public Host {
 public:
  InstallTask* task = nullptr;
  int cancelAt = -1;
  long long progressPosts = 0;
  void Post(HWND, UINT message, WPARAM, LPARAM lParam) override {
    if (message == WM_INSTALL_PROGRESS) ++progressPosts;
    if (cancelAt >= 0 && message == WM_INSTALL_PROGRESS && lParam >= cancelAt) task->cancel = true;
  }
  int ShowMessageBox(HWND, const char*, const char*, UINT) override { return IDOK; }
  void DebugString(const char*) override {}
  void WriteStdout(const char*) override {}
};

long long FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: download_bench URL DIR [cut]\n");
    return 2;
  }
  bool cut = argc > 3 && strcmp(argv[3], "cut") == 0;
  BenchHost host;
  InstallTask task;
  host.task = &task;
  task.host = &host;
  snprintf(task.installDir, sizeof task.installDir, "%s", argv[2]);
  std::string path;
  double start = Now();
  if (cut) {
    host.cancelAt = 50;
    if (DownloadResumable("bench.pkg", task, argv[1], path, false) != 1) {
      fprintf(stderr, "the cut did not happen\n");
      return 1;
    }
    printf("kept %lld\n", FileLength(path));
    host.cancelAt = -1;
    task.cancel = false;
  }
  int rc = DownloadResumable("bench.pkg", task, argv[1], path, cut);
  double seconds = Now() - start;
  if (rc != 0) {
    fprintf(stderr, "download failed: %s\n", task.errorText);
    return 1;
  }
  // One progress post per block read: the average block shows how much
  // each InternetReadFile call brings.
  const long long length = FileLength(path);
  printf("seconds %.3f\nfinal %lld\nreads %lld\n", seconds, length, host.progressPosts);
  return 0;
}
