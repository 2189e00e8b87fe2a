#include "net/wininet_api.h"

#include "system/system_dll.h"

namespace {

WinInetApi Bind() {
  WinInetApi api;
  const char* dll = "wininet.dll";
  api.getConnectedState = SystemProc<decltype(api.getConnectedState)>(dll, "InternetGetConnectedState");
  api.open = SystemProc<decltype(api.open)>(dll, "InternetOpenA");
  api.openUrl = SystemProc<decltype(api.openUrl)>(dll, "InternetOpenUrlA");
  api.readFile = SystemProc<decltype(api.readFile)>(dll, "InternetReadFile");
  api.closeHandle = SystemProc<decltype(api.closeHandle)>(dll, "InternetCloseHandle");
  api.lastResponseInfo = SystemProc<decltype(api.lastResponseInfo)>(dll, "InternetGetLastResponseInfoA");
  api.queryInfo = SystemProc<decltype(api.queryInfo)>(dll, "HttpQueryInfoA");
  api.timeGetTime = SystemProc<decltype(api.timeGetTime)>("winmm.dll", "timeGetTime");
  api.complete = api.getConnectedState && api.open && api.openUrl && api.readFile && api.closeHandle &&
                 api.lastResponseInfo && api.queryInfo && api.timeGetTime;
  return api;
}

}  // namespace

const WinInetApi& WinInet() {
  static const WinInetApi api = Bind();
  return api;
}
