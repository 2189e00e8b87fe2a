#include "system/channel_config.h"

#include <windows.h>

#include <string>

#include "system/path_text.h"

void WriteChannelConfig(const char* installDirectory, const char* portalBase) {
  if (!installDirectory || !portalBase) return;
  // The directory ends with a backslash already; the doubled one is harmless.
  const std::string path = std::string(installDirectory) + "\\wbConfig.ini";
  if (!FitsBuffer(path)) return;
  char number[16];
  wsprintfA(number, "%d", 1);
  WritePrivateProfileStringA("WBID", "ID", number, path.c_str());
  WritePrivateProfileStringA("WBURL", "URL", portalBase, path.c_str());
  wsprintfA(number, "%d", 18);
  WritePrivateProfileStringA("Area", "AreaID", number, path.c_str());
}
