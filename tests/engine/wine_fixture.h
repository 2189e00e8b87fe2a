#pragma once
// Files, directories and the test server's web root, seen from Wine.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

inline std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// The unix path /x/y is Z:\x\y under Wine.
inline std::string WinePath(const std::string& unixPath) {
  std::string out = "Z:" + unixPath;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

inline std::string ServerBase() { return Env("VANTREL_TEST_SERVER"); }
inline std::string WebRoot() { return WinePath(Env("VANTREL_TEST_ROOT")); }

inline void MakeDirs(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeDirs(path.substr(0, slash));
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << bytes;
  ASSERT_TRUE(f.good()) << path;
}

// An absent file reads as "<absent>" so that tests can tell it from an empty one.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return "<absent>";
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string p = dir + "\\" + name;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(p);
      else
        DeleteFileA(p.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

// A fresh directory below the Wine temporary directory, ending with "\".
inline std::string FreshDir(const std::string& name) {
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string dir = std::string(tmp) + "vantrel-engine\\" + name;
  RemoveTree(dir);
  MakeDirs(dir);
  return dir + "\\";
}

inline std::string Hex(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    char b[3];
    snprintf(b, sizeof b, "%02x", c);
    out += b;
  }
  return out;
}

inline std::string Profile(const std::string& file, const char* section, const char* key) {
  char buf[1024] = {};
  GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, file.c_str());
  return buf;
}
