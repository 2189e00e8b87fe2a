#pragma once
// What the Windows download tests share: a recording host, the test server's
// web root and request log, and scratch folders.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/install_task.h"

namespace nettest {

struct PostedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingHost final : public Host {
 public:
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    posts.push_back({message, wParam, lParam});
    if (onPost) onPost(posts.back());
  }
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) override {
    boxes.push_back(text);
    captions.push_back(caption);
    boxTypes.push_back(type);
    return IDOK;
  }
  void DebugString(const char* line) override { debug.push_back(line); }
  void WriteStdout(const char* text) override { out.push_back(text); }

  std::vector<LPARAM> Progress() const { return Values(WM_INSTALL_PROGRESS); }
  std::vector<LPARAM> Statuses() const { return Values(WM_INSTALL_STATUS); }

  std::vector<PostedMessage> posts;
  std::vector<std::string> boxes, captions, debug, out;
  std::vector<UINT> boxTypes;
  std::function<void(const PostedMessage&)> onPost;

 private:
  std::vector<LPARAM> Values(UINT message) const {
    std::vector<LPARAM> v;
    for (const PostedMessage& p : posts)
      if (p.message == message) v.push_back(p.lParam);
    return v;
  }
};

// A unix path of the test server as Wine sees it.
inline std::string WinePath(const char* unixPath) {
  std::string p = std::string("Z:") + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

inline std::string Env(const char* name) {
  const char* v = getenv(name);
  return v ? v : "";
}

inline std::string ServerUrl() { return Env("VANTREL_TEST_SERVER"); }
inline std::string ServerRoot() { return WinePath(Env("VANTREL_TEST_ROOT").c_str()); }
inline std::string ServerLog() { return WinePath(Env("VANTREL_TEST_LOG").c_str()); }

inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

inline bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  fclose(f);
  return true;
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Deterministic bytes that differ at every offset of a 64 KiB block.
inline std::string PatternBytes(size_t size, unsigned seed = 1) {
  std::string s(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    s[i] = static_cast<char>(x >> 16);
  }
  return s;
}

// Puts bytes on the server under name ("pkg/a.bin") and returns its URL.
inline std::string Serve(const std::string& name, const std::string& bytes) {
  std::string path = ServerRoot() + "\\" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  for (size_t i = 3; i < path.size(); ++i)
    if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  WriteFileBytes(path, bytes);
  return ServerUrl() + "/" + name;
}

// The raw requests logged since the last ClearRequests().
inline std::vector<std::string> Requests() {
  static const std::string kSeparator = "--vantrel-request-end--\n";
  std::string all;
  ReadFileBytes(ServerLog(), all);
  std::vector<std::string> v;
  size_t at = 0;
  for (size_t end; (end = all.find(kSeparator, at)) != std::string::npos; at = end + kSeparator.size())
    v.push_back(all.substr(at, end - at));
  return v;
}
inline void ClearRequests() { WriteFileBytes(ServerLog(), ""); }

// A fresh empty folder under the temporary directory, ending in a backslash.
// Wine hands out small process ids again, so an earlier run's folder of the
// same name may still be there: that name is skipped, not reused.
inline std::string ScratchDir(const char* tag) {
  static int serial = 0;
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  char dir[MAX_PATH] = {};
  for (int tries = 0; tries < 10000; ++tries) {
    snprintf(dir, sizeof dir, "%svantrel-net-%lu-%s-%d\\", tmp, GetCurrentProcessId(), tag, ++serial);
    if (CreateDirectoryA(dir, nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return dir;
}

// No listener: a port that was just free.
inline std::string UnreachableBase() { return "http://127.0.0.1:1"; }

}  // namespace nettest
