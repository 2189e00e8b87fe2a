#pragma once
// Checks a downloaded package against the size and SHA-256 its update list
// gives, before anything of it is unpacked.
#include <cstdint>
#include <string>

#include "engine/update_plan.h"

// SHA-256 through the system's CryptoAPI; false when the file cannot be read
// or the provider is missing.
bool Sha256OfFile(const char* path, std::string& hexOut);

// True when the file exists and meets every part of the check.
bool PackageFileMatches(const char* path, const PackageCheck& check);
