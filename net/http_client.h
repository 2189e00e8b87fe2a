#pragma once
// The installer's three HTTP operations over WinINet.
#include <string>

#include "app/install_task.h"
#include "build_config.h"

// GET url into a new "qvx" temporary file; outPath is set before any network
// activity. 0 on success; 1 after the failure was reported (box, status 0).
int FetchToTempFile(const char* url, InstallTask& task, std::string& outPath);

// GET url into installDir\destination, continuing a partial file with a Range
// request. 0 when the file is complete; 1 on failure or cancel (errorText may
// hold the text; nothing shown, nothing posted).
int DownloadResumable(const char* destination, InstallTask& task, const char* url, std::string& outPath,
                      bool isRetry);

// GET url, wait for the answer's headers, never read the body. Always 0;
// failures go to host's debugger output only.
int ReportWebEvent(const char* url, Host& host);

// Tells the portal that the installation is complete.
void SendCompletionReport(Host& host, const char* portalBase = VANTREL_PORTAL_SERVER);
