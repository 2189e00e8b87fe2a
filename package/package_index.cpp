#include "package/package_index.h"

#include <cstring>

#include "package/memory_reader.h"
#include "package/package_file.h"

std::string PackageKey(const char* name, size_t length) {
  std::string key(name, length);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return key;
}

void ParsePackageIndex(uint32_t indexLength, const uint8_t* body, uint32_t bodyLength, PackageIndex* index) {
  index->clear();
  if (!body) bodyLength = 0;
  // An index length past the body must not let the reader past it.
  MemoryReader reader(body, indexLength < bodyLength ? indexLength : bodyLength, false);
  int32_t count = int32_t(reader.ReadInt());
  if (count <= 0) return;
  const uint8_t* records = reader.Take(uint64_t(count) * PackageFile::kRecordSize);
  if (!records) return;

  PackageIndex parsed;
  for (int32_t i = 0; i < count; i++) {
    const uint8_t* record = records + size_t(i) * PackageFile::kRecordSize;
    const void* nul = memchr(record, 0, PackageFile::kNameField);
    PackageEntry entry;
    entry.offset = PackageFile::Le32(record + PackageFile::kNameField);
    entry.size = PackageFile::Le32(record + PackageFile::kNameField + 4);
    // A tampered package is refused whole rather than installed in part.
    if (!nul || entry.offset > bodyLength || entry.size > bodyLength - entry.offset) return;
    size_t nameLength = static_cast<const uint8_t*>(nul) - record;
    parsed[PackageKey(reinterpret_cast<const char*>(record), nameLength)] = entry;
  }
  index->swap(parsed);
}
