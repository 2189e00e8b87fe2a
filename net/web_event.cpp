#include <cstring>

#include "net/http_client.h"
#include "net/internet_session.h"

int ReportWebEvent(const char* url, Host& host) {
  char message[kLineSize] = {};
  char line[kLineSize] = {};
  ScopedInternet internet = OpenInternetHandle();
  if (!internet) {
    FormatInternetOpenError(message, sizeof message);
    FormatBounded(line, sizeof line, "online_log %s", message);
    host.DebugString(line);
    return 0;
  }
  const WinInetApi& api = WinInet();
  ScopedInternet request(api.openUrl(internet.get(), url, kAcceptHeaders, static_cast<DWORD>(strlen(kAcceptHeaders)),
                                     kRequestFlags, 0));
  if (!request) {
    DWORD error = GetLastError();
    internet.reset();
    FormatInternetError(InternetStep::kOpenUrl, url, error, message, sizeof message);
    FormatBounded(line, sizeof line, "online_log %s", message);
    host.DebugString(line);
    return 0;
  }
  DWORD length = 0;
  DWORD size = sizeof length;
  if (!api.queryInfo(request.get(), kQueryContentLength, &length, &size, nullptr)) {
    FormatBounded(line, sizeof line, "online_log HttpQueryInfo %s", url);
    host.DebugString(line);
  }
  return 0;
}

void SendCompletionReport(Host& host, const char* portalBase) {
  char url[kLineSize] = {};
  FormatBounded(url, sizeof url, "%s/Game/GameUninstall.aspx?params=%d&action=%d", portalBase, 0, 1);
  char line[kLineSize] = {};
  FormatBounded(line, sizeof line, "online_log open  %s", url);
  host.DebugString(line);
  ReportWebEvent(url, host);
}
