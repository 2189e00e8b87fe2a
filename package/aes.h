#pragma once
// AES-128 decryption (FIPS-197), table driven; only the decrypting direction exists.
#include <cstddef>
#include <cstdint>

struct AesContext {
  uint32_t encryptKeys[64];  // words 0..43 used, big-endian columns
  uint32_t decryptKeys[64];  // equivalent inverse cipher schedule, words 0..43
  int rounds;
};

// Builds both schedules for a 16-byte key; the shared tables on the first call. Returns 0.
int AesSetDecryptKey(AesContext* context, const uint8_t key[16]);
// One block; input and output may be the same.
void AesDecryptBlock(const AesContext* context, const uint8_t input[16], uint8_t output[16]);
// `blocks` consecutive 16-byte blocks in place, electronic-codebook fashion.
void AesDecryptBlocks(const AesContext* context, uint8_t* data, size_t blocks);
