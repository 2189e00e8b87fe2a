#pragma once
// The index at the start of a deciphered package body.
#include <cstdint>
#include <map>
#include <string>

struct PackageEntry {
  uint32_t offset = 0;  // from the start of the body
  uint32_t size = 0;
};

// Keys are the record names with A-Z lowered byte by byte, ordered byte-wise.
using PackageIndex = std::map<std::string, PackageEntry>;

// Lowers 0x41..0x5A only, whatever the locale and whatever double-byte
// character a byte belongs to.
std::string PackageKey(const char* name, size_t length);

// Fills `index` from the first indexLength bytes of the body (never reading
// past bodyLength). A broken index leaves it empty: records that do not fit,
// a name field without its zero byte, or data lying outside the body.
void ParsePackageIndex(uint32_t indexLength, const uint8_t* body, uint32_t bodyLength, PackageIndex* index);
