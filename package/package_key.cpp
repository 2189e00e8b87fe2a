#include "package/package_key.h"

#include "package/md5.h"

const char kPackagePassword[] = "908172";

void AdjustPackageKey(uint8_t key[16]) {
  for (int i = 0; i < 16; i++) {
    // The zero test comes first: a 0x11 at a multiple of 3 ends as 0 and stays 0.
    if (key[i] == 0) key[i] = uint8_t(i);
    if (i % 3 == 0) key[i] ^= 0x11;
  }
}

void DerivePackageKey(const char* text, uint32_t length, uint8_t key[16]) {
  MD5_CTX md5;
  md5.MD5Update(reinterpret_cast<const uint8_t*>(text), length);
  md5.MD5Final(key);
  AdjustPackageKey(key);
}
