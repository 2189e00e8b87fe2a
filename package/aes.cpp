#include "package/aes.h"

namespace {

// The FIPS-197 inverse round tables, generated at the first key set-up.
uint8_t forwardSbox[256];
uint8_t inverseSbox[256];
uint32_t roundConstants[10];
uint32_t RT0[256], RT1[256], RT2[256], RT3[256];
uint32_t KT0[256], KT1[256], KT2[256], KT3[256];

uint8_t XTime(uint8_t x) { return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1B : 0x00)); }
uint32_t RotateRight8(uint32_t x) { return (x >> 8) | (x << 24); }
uint8_t RotateLeftByte(uint8_t x, int n) { return uint8_t((x << n) | (x >> (8 - n))); }

void GenerateTables() {
  uint8_t power[256], log[256] = {};
  uint8_t x = 1;
  for (int i = 0; i < 256; i++) {
    power[i] = x;
    log[x] = uint8_t(i);
    x = uint8_t(x ^ XTime(x));
  }
  uint8_t rc = 1;
  for (int i = 0; i < 10; i++) {
    roundConstants[i] = uint32_t(rc) << 24;
    rc = XTime(rc);
  }
  forwardSbox[0] = 0x63;
  inverseSbox[0x63] = 0;
  for (int v = 1; v < 256; v++) {
    uint8_t y = power[255 - log[v]];
    uint8_t s = uint8_t(y ^ RotateLeftByte(y, 1) ^ RotateLeftByte(y, 2) ^ RotateLeftByte(y, 3) ^
                        RotateLeftByte(y, 4) ^ 0x63);
    forwardSbox[v] = s;
    inverseSbox[s] = uint8_t(v);
  }
  auto mul = [&](uint8_t a, uint8_t s) -> uint32_t { return s ? power[(log[a] + log[s]) % 255] : 0; };
  for (int v = 0; v < 256; v++) {
    uint8_t s = inverseSbox[v];
    RT0[v] = mul(0x0E, s) << 24 | mul(0x09, s) << 16 | mul(0x0D, s) << 8 | mul(0x0B, s);
    RT1[v] = RotateRight8(RT0[v]);
    RT2[v] = RotateRight8(RT1[v]);
    RT3[v] = RotateRight8(RT2[v]);
  }
  for (int v = 0; v < 256; v++) {
    KT0[v] = RT0[forwardSbox[v]];
    KT1[v] = RT1[forwardSbox[v]];
    KT2[v] = RT2[forwardSbox[v]];
    KT3[v] = RT3[forwardSbox[v]];
  }
}

void EnsureTables() {
  // Thread-safe once-only initialisation; later set-ups reuse the tables.
  static const bool built = (GenerateTables(), true);
  (void)built;
}

inline uint32_t LoadBe(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void StoreBe(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

uint32_t SubWord(uint32_t w) {
  return uint32_t(forwardSbox[w >> 24]) << 24 | uint32_t(forwardSbox[(w >> 16) & 0xFF]) << 16 |
         uint32_t(forwardSbox[(w >> 8) & 0xFF]) << 8 | uint32_t(forwardSbox[w & 0xFF]);
}

#define B3(w) ((w) >> 24)
#define B2(w) (((w) >> 16) & 0xFF)
#define B1(w) (((w) >> 8) & 0xFF)
#define B0(w) ((w) & 0xFF)

#define INV_ROUND(d, s, k)                                                                  \
  d##0 = RT0[B3(s##0)] ^ RT1[B2(s##3)] ^ RT2[B1(s##2)] ^ RT3[B0(s##1)] ^ (k)[0];          \
  d##1 = RT0[B3(s##1)] ^ RT1[B2(s##0)] ^ RT2[B1(s##3)] ^ RT3[B0(s##2)] ^ (k)[1];          \
  d##2 = RT0[B3(s##2)] ^ RT1[B2(s##1)] ^ RT2[B1(s##0)] ^ RT3[B0(s##3)] ^ (k)[2];          \
  d##3 = RT0[B3(s##3)] ^ RT1[B2(s##2)] ^ RT2[B1(s##1)] ^ RT3[B0(s##0)] ^ (k)[3]

#define INV_LAST_WORD(a, b, c, d, k)                                                       \
  ((uint32_t(inverseSbox[B3(a)]) << 24 | uint32_t(inverseSbox[B2(b)]) << 16 |              \
    uint32_t(inverseSbox[B1(c)]) << 8 | uint32_t(inverseSbox[B0(d)])) ^ (k))

#define INV_LAST(s, k, out)                                              \
  StoreBe((out), INV_LAST_WORD(s##0, s##3, s##2, s##1, (k)[0]));         \
  StoreBe((out) + 4, INV_LAST_WORD(s##1, s##0, s##3, s##2, (k)[1]));     \
  StoreBe((out) + 8, INV_LAST_WORD(s##2, s##1, s##0, s##3, (k)[2]));     \
  StoreBe((out) + 12, INV_LAST_WORD(s##3, s##2, s##1, s##0, (k)[3]))

}  // namespace

int AesSetDecryptKey(AesContext* context, const uint8_t key[16]) {
  EnsureTables();
  context->rounds = 10;
  uint32_t* ek = context->encryptKeys;
  for (int i = 0; i < 4; i++) ek[i] = LoadBe(key + 4 * i);
  for (int i = 4; i < 44; i++) {
    uint32_t t = ek[i - 1];
    if (i % 4 == 0) t = SubWord((t << 8) | (t >> 24)) ^ roundConstants[i / 4 - 1];
    ek[i] = ek[i - 4] ^ t;
  }
  uint32_t* dk = context->decryptKeys;
  for (int j = 0; j < 4; j++) dk[j] = ek[40 + j];
  for (int r = 1; r < 10; r++) {
    for (int j = 0; j < 4; j++) {
      uint32_t w = ek[40 - 4 * r + j];
      dk[4 * r + j] = KT0[B3(w)] ^ KT1[B2(w)] ^ KT2[B1(w)] ^ KT3[B0(w)];
    }
  }
  for (int j = 0; j < 4; j++) dk[40 + j] = ek[j];
  return 0;
}

void AesDecryptBlock(const AesContext* context, const uint8_t input[16], uint8_t output[16]) {
  const uint32_t* k = context->decryptKeys;
  uint32_t s0 = LoadBe(input) ^ k[0], s1 = LoadBe(input + 4) ^ k[1];
  uint32_t s2 = LoadBe(input + 8) ^ k[2], s3 = LoadBe(input + 12) ^ k[3];
  uint32_t t0, t1, t2, t3;
  INV_ROUND(t, s, k + 4);
  INV_ROUND(s, t, k + 8);
  INV_ROUND(t, s, k + 12);
  INV_ROUND(s, t, k + 16);
  INV_ROUND(t, s, k + 20);
  INV_ROUND(s, t, k + 24);
  INV_ROUND(t, s, k + 28);
  INV_ROUND(s, t, k + 32);
  INV_ROUND(t, s, k + 36);
  INV_LAST(t, k + 40, output);
}

void AesDecryptBlocks(const AesContext* context, uint8_t* data, size_t blocks) {
  const uint32_t* k = context->decryptKeys;
  // Two independent blocks per pass keep more table loads in flight.
  for (; blocks >= 2; blocks -= 2, data += 32) {
    uint8_t* p = data;
    uint8_t* q = data + 16;
    uint32_t a0 = LoadBe(p) ^ k[0], a1 = LoadBe(p + 4) ^ k[1], a2 = LoadBe(p + 8) ^ k[2], a3 = LoadBe(p + 12) ^ k[3];
    uint32_t b0 = LoadBe(q) ^ k[0], b1 = LoadBe(q + 4) ^ k[1], b2 = LoadBe(q + 8) ^ k[2], b3 = LoadBe(q + 12) ^ k[3];
    uint32_t c0, c1, c2, c3, d0, d1, d2, d3;
    for (int r = 1; r < 9; r += 2) {
      INV_ROUND(c, a, k + 4 * r);
      INV_ROUND(d, b, k + 4 * r);
      INV_ROUND(a, c, k + 4 * r + 4);
      INV_ROUND(b, d, k + 4 * r + 4);
    }
    INV_ROUND(c, a, k + 36);
    INV_ROUND(d, b, k + 36);
    INV_LAST(c, k + 40, p);
    INV_LAST(d, k + 40, q);
  }
  if (blocks) AesDecryptBlock(context, data, data);
}
