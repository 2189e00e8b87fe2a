#pragma once
// MD5 digest; the package key is derived from it.
#include <cstdint>

class MD5_CTX {
 public:
  MD5_CTX();
  virtual ~MD5_CTX() = default;

  void MD5Update(const uint8_t* input, uint32_t length);
  // Writes the digest and leaves the object as freshly constructed.
  void MD5Final(uint8_t digest[16]);

 private:
  void Init();
  void MD5Transform(const uint8_t block[64]);

  uint32_t state[4];
  uint32_t count[2];  // bits hashed, low word first
  uint8_t buffer[64];
  uint8_t padBlock[64];
};
