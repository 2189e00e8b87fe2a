#include "net/internet_session.h"

#include <cstring>

ScopedInternet OpenInternetHandle() {
  const WinInetApi& api = WinInet();
  if (!api.complete) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return ScopedInternet();
  }
  DWORD flags = 0;
  api.getConnectedState(&flags, 0);  // only the flags matter
  char agent[kAgentSize];
  FormatUserAgent(agent, sizeof agent, api.timeGetTime());
  DWORD access = (flags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                      : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  return ScopedInternet(api.open(agent, access, nullptr, nullptr, 0));
}

void FormatInternetError(InternetStep step, const char* url, DWORD error, char* out, size_t size) {
  char text[kResponseTextSize] = {};
  DWORD length = kResponseTextSize - 1;
  const WinInetApi& api = WinInet();
  DWORD number = error;
  bool haveText = api.lastResponseInfo && api.lastResponseInfo(&number, text, &length) && text[0] != '\0';
  text[kResponseTextSize - 1] = '\0';
  // The query may clear the number; a failure reported as error 0 says nothing.
  if (number == 0) number = error;
  FormatInternetErrorText(out, size, step, url, haveText ? text : nullptr, static_cast<long>(number));
}

void FormatInternetOpenError(char* out, size_t size) {
  FormatInternetErrorText(out, size, InternetStep::kOpen, nullptr, nullptr, static_cast<long>(GetLastError()));
}
