#pragma once
// The package password and the AES key derived from it.
#include <cstdint>

// The only key material; the AES key is derived at run time and never stored.
extern const char kPackagePassword[];

// MD5 of the first `length` bytes of text, then AdjustPackageKey.
void DerivePackageKey(const char* text, uint32_t length, uint8_t key[16]);
// The in-house tweak applied to the digest: a zero byte i becomes i, then
// every third byte (0, 3, ... 15) is XORed with 0x11.
void AdjustPackageKey(uint8_t key[16]);
