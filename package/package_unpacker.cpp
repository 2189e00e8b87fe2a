#include "package/package_unpacker.h"

#include "app/install_task.h"
#include "package/package_extraction.h"
#include "package/win32_package_disk.h"

namespace {

class WindowProgress final : public ProgressSink {
 public:
  WindowProgress(Host* host, HWND window) : host_(host), window_(window) {}
  void Post(int value) override { host_->Post(window_, WM_INSTALL_PROGRESS, 0, value); }
  void Pause(unsigned milliseconds) override { Sleep(milliseconds); }

 private:
  Host* host_;
  HWND window_;
};

}  // namespace

int PackageUnpacker::ExtractPackage(std::string fileName, std::string destinationDirectory) {
  Win32PackageDisk disk;
  WindowProgress progress(host, progressWindow);
  return UnpackPackage(fileName, destinationDirectory, disk, progress);
}
