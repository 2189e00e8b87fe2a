#pragma once
// Helpers for the tests that run against Wine's real file system, registry and shell.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

// A path the build gives in the host's form, as this process sees it.
inline std::string HostPath(const char* path) {
  std::string p = path;
  if (!p.empty() && p[0] == '/') {
    for (char& c : p) c = c == '/' ? '\\' : c;
    p = "Z:" + p;
  }
  return p;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline void WriteFile(const std::string& path, const std::string& content) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(content.data(), 1, content.size(), f);
  fclose(f);
}

inline std::string ReadFile(const std::string& path) {
  std::string content;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
    fclose(f);
  }
  return content;
}

inline std::string Hex(const std::string& s) {
  std::string hex;
  for (unsigned char c : s) {
    char b[3];
    snprintf(b, sizeof b, "%02x", c);
    hex += b;
  }
  return hex;
}

// Removes a tree the plain way, for cleaning up after a test.
inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA e;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &e);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = e.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = dir + "\\" + n;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(e.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(p);
      } else if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(p.c_str());
      } else {
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &e));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

// A fresh, empty folder in the temporary directory, removed again at the end.
class TempFolder {
 public:
  explicit TempFolder(const char* tag) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    char name[MAX_PATH + 64];
    snprintf(name, sizeof name, "%svt_%s_%lu_%lu", tmp, tag, GetCurrentProcessId(), GetTickCount());
    path_ = name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rest) const { return path_ + "\\" + rest; }

 private:
  std::string path_;
};

template <class Pred>
bool WaitUntil(Pred pred, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return pred();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// Path of a special folder (CSIDL) of this prefix's user or of all users.
inline std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}
