#pragma once
// A bounded cursor over a byte block: reads never leave the block.
#include <cstdint>

struct MemoryReader {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  uint32_t position = 0;
  bool ownsData = false;

  MemoryReader(const uint8_t* block, uint32_t blockLength, bool owns) : data(block), length(blockLength), ownsData(owns) {}
  ~MemoryReader() { Release(); }
  MemoryReader(const MemoryReader&) = delete;
  MemoryReader& operator=(const MemoryReader&) = delete;

  // The next 4 bytes little-endian, or 0 without advancing when fewer remain.
  uint32_t ReadInt();
  // A pointer to the next n bytes, or nullptr without advancing when fewer remain.
  const uint8_t* Take(uint64_t n);
  // Frees the block when owned (it must come from new[]).
  void Release();
};
