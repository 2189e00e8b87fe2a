#include <cstring>
#include <vector>

#include "net/http_client.h"
#include "net/internet_session.h"
#include "net/local_file.h"

namespace {

void SetFileError(InstallTask& task, const std::string& path) {
  FormatBounded(task.errorText, sizeof task.errorText, "无法写入文件:%s.", path.c_str());
}

bool Cancelled(const InstallTask& task) { return task.cancel.load(std::memory_order_relaxed); }

}  // namespace

int DownloadResumable(const char* destination, InstallTask& task, const char* url, std::string& outPath,
                      bool isRetry) {
  if (!isRetry) task.PostProgress(0);
  memset(task.errorText, 0, sizeof task.errorText);
  outPath = LocalDownloadPath(task.installDir, destination);

  const WinInetApi& api = WinInet();
  ScopedInternet internet = OpenInternetHandle();
  if (!internet) {
    FormatInternetOpenError(task.errorText, sizeof task.errorText);
    return 1;
  }
  ScopedFile file = OpenCreatingFolders(outPath, "a+b");
  if (!file) {
    SetFileError(task, outPath);
    return 1;
  }
  long length = OpenFileSize(file.get());
  if (length < 0) {
    SetFileError(task, outPath);
    return 1;
  }
  DWORD offset = static_cast<DWORD>(length);
  std::string headers = DownloadHeaders(static_cast<int32_t>(offset));
  if (Cancelled(task)) return 1;

  ScopedInternet request(api.openUrl(internet.get(), url, headers.c_str(), static_cast<DWORD>(headers.size()),
                                     kRequestFlags, 0));
  if (!request) {
    DWORD error = GetLastError();
    file.reset();
    internet.reset();
    FormatInternetError(InternetStep::kOpenUrl, url, error, task.errorText, sizeof task.errorText);
    return 1;
  }
  if (Cancelled(task)) return 1;

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!api.queryInfo(request.get(), kQueryStatusCode, &status, &size, nullptr) || status == 404) return 1;
  if (status == 416) {
    task.PostProgress(100);
    return 0;
  }
  bool keep = status == 200 || status == 206;
  if (status == 200 && offset > 0) {
    // The whole file again: behind the partial bytes it would damage the
    // package, so it replaces them and the count starts from nothing.
    keep = false;
    offset = 0;
  }
  if (!keep) {
    file.reset();
    file.reset(fopen(outPath.c_str(), "w+b"));
    if (!file) {
      SetFileError(task, outPath);
      return 1;
    }
  }

  DWORD contentLength = 0;
  size = sizeof contentLength;
  api.queryInfo(request.get(), kQueryContentLength, &contentLength, &size, nullptr);
  if (Cancelled(task)) return 1;

  // Without a length the total is unknown: no percentages until the end.
  bool haveTotal = contentLength != 0;
  DWORD total = offset + contentLength;
  DWORD done = offset;
  std::vector<char> block(kReadBlockSize, 0);
  for (;;) {
    if (Cancelled(task)) return 1;
    DWORD got = 0;
    BOOL read = api.readFile(request.get(), block.data(), static_cast<DWORD>(block.size()), &got);
    DWORD error = read ? 0 : GetLastError();
    // A connection closed before the announced length reads as a clean end.
    if (read && got == 0 && haveTotal && done < total) {
      read = FALSE;
      error = ERROR_INTERNET_CONNECTION_RESET;
    }
    if (!read) {
      file.reset();
      request.reset();
      internet.reset();
      FormatInternetError(InternetStep::kReadFile, url, error, task.errorText, sizeof task.errorText);
      return 1;
    }
    if (got == 0) break;
    if (fwrite(block.data(), 1, got, file.get()) != got) {
      // A short write would leave a hole that a later resume skips over.
      SetFileError(task, outPath);
      return 1;
    }
    done += got;
    if (!haveTotal) continue;
    uint32_t percent = ProgressPercent(done, total);
    task.PostProgress(static_cast<int>(percent));
    char out[kLineSize];
    char line[kLineSize];
    FormatProgressLines(percent, out, sizeof out, line, sizeof line);
    task.host->WriteStdout(out);
    task.host->DebugString(line);
  }
  if (fclose(file.release()) != 0) {
    SetFileError(task, outPath);
    return 1;
  }
  task.PostProgress(100);
  return 0;
}
