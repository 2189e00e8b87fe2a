#include "package/memory_reader.h"

uint32_t MemoryReader::ReadInt() {
  if (length - position < 4) return 0;
  const uint8_t* p = data + position;
  position += 4;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

const uint8_t* MemoryReader::Take(uint64_t n) {
  if (n > length - position) return nullptr;
  const uint8_t* p = data + position;
  position += uint32_t(n);
  return p;
}

void MemoryReader::Release() {
  if (ownsData) delete[] data;
  data = nullptr;
  length = position = 0;
  ownsData = false;
}
