#pragma once
// Unpacks a downloaded package into the install directory.
#include <windows.h>

#include <string>

#include "app/host.h"

struct PackageUnpacker {
  HWND progressWindow = nullptr;  // receives WM_INSTALL_PROGRESS, posted
  Host* host = &SystemHost();

  // 0 when the package's index held at least one entry; 1 when it held none
  // (missing, refused or unreadable package). A package naming any place
  // outside destinationDirectory is refused whole, before anything is written.
  int ExtractPackage(std::string fileName, std::string destinationDirectory);
};
