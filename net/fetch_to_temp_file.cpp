#include <cstring>
#include <vector>

#include "net/http_client.h"
#include "net/internet_session.h"
#include "net/local_file.h"

namespace {

const char kTempPathError[] = "获取临时文件路径出错";
const char kWriteError[] = "写入临时文件出错";

int Fail(InstallTask& task) {
  if (task.errorText[0] != '\0') task.ShowErrorBox(task.errorText);
  task.PostStatus(STATUS_ERROR);
  return 1;
}

void SetError(InstallTask& task, const char* text) {
  FormatBounded(task.errorText, sizeof task.errorText, "%s", text);
}

}  // namespace

int FetchToTempFile(const char* url, InstallTask& task, std::string& outPath) {
  memset(task.errorText, 0, sizeof task.errorText);
  task.PostProgress(0);

  char tempDir[MAX_PATH] = {};
  DWORD dirLength = GetTempPathA(MAX_PATH, tempDir);
  if (dirLength == 0 || dirLength > MAX_PATH) {
    SetError(task, kTempPathError);
    return Fail(task);
  }
  char tempName[MAX_PATH] = {};
  if (GetTempFileNameA(tempDir, "qvx", 0, tempName) == 0) {
    SetError(task, kTempPathError);
    return Fail(task);
  }
  outPath = tempName;

  const WinInetApi& api = WinInet();
  ScopedInternet internet = OpenInternetHandle();
  if (!internet) {
    FormatInternetOpenError(task.errorText, sizeof task.errorText);
    return Fail(task);
  }
  if (task.cancel.load(std::memory_order_relaxed)) return Fail(task);

  ScopedInternet request(api.openUrl(internet.get(), url, kAcceptHeaders, static_cast<DWORD>(strlen(kAcceptHeaders)),
                                     kRequestFlags, 0));
  if (!request) {
    DWORD error = GetLastError();
    internet.reset();
    FormatInternetError(InternetStep::kOpenUrl, url, error, task.errorText, sizeof task.errorText);
    return Fail(task);
  }

  ScopedFile file = OpenCreatingFolders(outPath, "w+b");
  if (!file) {
    SetError(task, kTempPathError);
    return Fail(task);
  }
  // From here on a failure leaves no half-written temporary file behind.
  auto abandon = [&]() {
    file.reset();
    DeleteFileA(outPath.c_str());
    return Fail(task);
  };
  if (task.cancel.load(std::memory_order_relaxed)) return abandon();

  DWORD total = 0;
  DWORD size = sizeof total;
  api.queryInfo(request.get(), kQueryContentLength, &total, &size, nullptr);
  if (task.cancel.load(std::memory_order_relaxed)) return abandon();

  std::vector<char> block(kReadBlockSize, 0);
  DWORD done = 0;
  for (;;) {
    if (task.cancel.load(std::memory_order_relaxed)) return abandon();
    DWORD got = 0;
    BOOL read = api.readFile(request.get(), block.data(), static_cast<DWORD>(block.size()), &got);
    DWORD error = read ? 0 : GetLastError();
    // A connection closed before the announced length reads as a clean end.
    if (read && got == 0 && done < total) {
      read = FALSE;
      error = ERROR_INTERNET_CONNECTION_RESET;
    }
    if (!read) {
      file.reset();
      DeleteFileA(outPath.c_str());
      request.reset();
      internet.reset();
      FormatInternetError(InternetStep::kReadFile, url, error, task.errorText, sizeof task.errorText);
      return Fail(task);
    }
    if (got == 0) break;
    if (fwrite(block.data(), 1, got, file.get()) != got) {
      SetError(task, kWriteError);
      return abandon();
    }
    done += got;
    // Without a length there is no percentage; the closing 100 still comes.
    if (total != 0) task.PostProgress(static_cast<int>(ProgressPercent(done, total)));
  }
  if (fclose(file.release()) != 0) {
    SetError(task, kWriteError);
    DeleteFileA(outPath.c_str());
    return Fail(task);
  }
  request.reset();
  internet.reset();
  task.PostProgress(100);
  return 0;
}
