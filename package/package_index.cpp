#include "package/package_index.h"

#include <cstring>

#include "package/memory_reader.h"

std::string PackageKey(const char* name, size_t length) {
  std::string key(name, length);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return key;
}

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void ParsePackageIndex(uint32_t indexLength, const uint8_t* body, uint32_t bodyLength, PackageIndex* index) {
  index->clear();
  if (!body) bodyLength = 0;
  // An index length past the body must not let the reader past it.
  MemoryReader reader(body, indexLength < bodyLength ? indexLength : bodyLength, false);
  int32_t count = int32_t(reader.ReadInt());
  if (count <= 0) return;
  const uint8_t* records = reader.Take(uint64_t(count) * kPackageRecordSize);
  if (!records) return;

  PackageIndex parsed;
  for (int32_t i = 0; i < count; i++) {
    const uint8_t* record = records + size_t(i) * kPackageRecordSize;
    const void* nul = memchr(record, 0, kPackageNameField);
    PackageEntry entry;
    entry.offset = Le32(record + kPackageNameField);
    entry.size = Le32(record + kPackageNameField + 4);
    // A tampered package is refused whole rather than installed in part.
    if (!nul || entry.offset > bodyLength || entry.size > bodyLength - entry.offset) return;
    size_t nameLength = static_cast<const uint8_t*>(nul) - record;
    parsed[PackageKey(reinterpret_cast<const char*>(record), nameLength)] = entry;
  }
  index->swap(parsed);
}
