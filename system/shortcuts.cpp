#include "system/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "system/path_text.h"
#include "system/shortcut_paths.h"

namespace {

// COM for one call. A thread already in the other apartment model still has
// COM: use it, and leave its initialisation alone.
class ComScope {
 public:
  ComScope() : hr_(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

bool SpecialFolderPath(int csidl, std::string* path) {
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return false;
  char buffer[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListA(pidl, buffer);
  CoTaskMemFree(pidl);
  if (!ok) return false;
  *path = buffer;
  return true;
}

}  // namespace

bool MakeDirectoryPath(const char* path) {
  if (!path) return true;
  // Existing levels and drive roots fail to create; that is expected.
  for (const std::string& prefix : DirectoryPrefixes(path)) CreateDirectoryA(prefix.c_str(), nullptr);
  return true;
}

bool CreateShortcut(const char* target, const char* linkName, int folder, bool folderOnly) {
  ComScope com;
  if (!com.usable()) return false;
  std::string folderPath;
  if (!SpecialFolderPath(CreateFolderCsidl(folder), &folderPath)) return false;
  std::string path;
  if (!ComposeLinkPath(folderPath, linkName, !folderOnly, &path)) return false;
  if (folderOnly) {
    MakeDirectoryPath(path.c_str());
    return true;
  }
  if (!target) return false;

  ComRef<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.out()))))
    return false;
  link->SetPath(target);
  const std::string workingDirectory = LinkWorkingDirectory(target);
  if (!workingDirectory.empty()) link->SetWorkingDirectory(workingDirectory.c_str());

  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out())))) return false;
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, path.c_str(), -1, wide, MAX_PATH) == 0) return false;
  return SUCCEEDED(file->Save(wide, FALSE));
}

void DeleteShortcut(const char* linkName, int folder, bool wholeFolder) {
  ComScope com;
  if (!com.usable()) return;
  std::string folderPath;
  if (!SpecialFolderPath(DeleteFolderCsidl(folder), &folderPath)) return;
  // A name that is empty or climbs out would make the folder itself (the
  // whole Programs menu) or something outside it the thing deleted.
  std::string path;
  if (!ComposeLinkPath(folderPath, linkName, !wholeFolder, &path)) return;
  if (wholeFolder) {
    DeleteDirectoryTree(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}
