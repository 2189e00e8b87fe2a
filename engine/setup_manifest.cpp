// The setup manifest: what the installer learns about its game.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/install_task.h"
#include "build_config.h"
#include "engine/manifest_rules.h"
#include "net/http_client.h"

bool InstallTask::LoadSetupManifest(const char* serverBase) {
  char url[512] = {};
  int n = snprintf(url, sizeof url, "%s/update/vantrel.txt", serverBase ? serverBase : VANTREL_DOWNLOAD_SERVER);
  if (n < 0 || static_cast<size_t>(n) >= sizeof url) return false;  // a cut address names another file

  std::string path;
  if (FetchToTempFile(url, *this, path) != 0) return false;
  manifestPath = path;
  const char* file = manifestPath.c_str();

  GetPrivateProfileStringA("setup", "gamename", "", gameName, sizeof gameName, file);
  GetPrivateProfileStringA("setup", "exefilename", "", exeFileName, sizeof exeFileName, file);
  GetPrivateProfileStringA("setup", "ProductTitle", "", productTitle, sizeof productTitle, file);

  sizeKB = static_cast<int>(GetPrivateProfileIntA("setup", "size", -1, file));
  if (!ManifestSizeKB(sizeKB, sizeKB)) return false;

  GetPrivateProfileStringA("setup", "urlAgreement", "", urlAgreement, sizeof urlAgreement, file);
  GetPrivateProfileStringA("setup", "uninstname", "", uninstName, sizeof uninstName, file);
  GetPrivateProfileStringA("setup", "Publisher", "", publisher, sizeof publisher, file);
  GetPrivateProfileStringA("setup", "Contact", "", contact, sizeof contact, file);

  // The window builds the default install path from the name; a longer one
  // cannot fit it.
  return std::strlen(gameName) <= kMaxGameNameLength;
}
