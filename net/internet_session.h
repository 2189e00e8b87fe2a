#pragma once
// Opening the Internet handle and wording request failures, the same way for
// the fetch, the resumable download and the web event report.
#include <cstddef>

#include "net/request_text.h"
#include "net/wininet_api.h"

// A fresh "Agent<ms>" user agent and the access type the connected state
// suggests. Invalid on failure, with the thread's last error set.
ScopedInternet OpenInternetHandle();

// The step's failure text into out[size]: the server's last response text if
// there is one, else the error number as the response query leaves it.
void FormatInternetError(InternetStep step, const char* url, DWORD error, char* out, size_t size);

// The "InternetOpen错误. %d." text of the thread's last error.
void FormatInternetOpenError(char* out, size_t size);
