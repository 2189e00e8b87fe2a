#include "app/install_task.h"

#include <cstdio>

const char* const StatusTexts[kStatusCount] = {
    "错误，请重新下载", "",         "正在读取配置文件", "正在获取版本信息",
    "正在下载",         "正在启动安装", "正在安装",         "安装完成",
};

void InstallTask::ShowErrorBox(const char* text) { host->ShowMessageBox(hwnd, text, "错误", MB_OK); }

namespace {

class SystemHostImpl final : public Host {
 public:
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    PostMessageA(hwnd, message, wParam, lParam);
  }
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) override {
    return MessageBoxA(owner, text, caption, type);
  }
  void DebugString(const char* line) override { OutputDebugStringA(line); }
  void WriteStdout(const char* text) override {
    fputs(text, stdout);
    fflush(stdout);
  }
};

}  // namespace

Host& SystemHost() {
  static SystemHostImpl host;
  return host;
}
