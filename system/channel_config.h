#pragma once
#include "build_config.h"

// Writes "wbConfig.ini" into an existing install directory.
void WriteChannelConfig(const char* installDirectory, const char* portalBase = VANTREL_PORTAL_SERVER);
