// Known-answer vectors: AES-128 from FIPS-197 (appendices B and C.1) and the
// ECB examples of NIST SP 800-38A; MD5 from the RFC 1321 test suite.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/aes.h"
#include "package/md5.h"
#include "package/package_key.h"

namespace {

std::vector<uint8_t> Hex(const char* text) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; text[i] && text[i + 1]; i += 2) bytes.push_back(uint8_t(std::stoi(std::string(text + i, 2), nullptr, 16)));
  return bytes;
}

std::string ToHex(const uint8_t* p, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; i++) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

struct AesVector {
  const char* key;
  const char* plain;
  const char* cipher;
};

const AesVector kAesVectors[] = {
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
    {"2b7e151628aed2a6abf7158809cf4f3c", "6bc1bee22e409f96e93d7e117393172a", "3ad77bb40d7a3660a89ecaf32466ef97"},
    {"2b7e151628aed2a6abf7158809cf4f3c", "ae2d8a571e03ac9c9eb76fac45af8e51", "f5d3d58503b9699de785895a96fdbaaf"},
    {"2b7e151628aed2a6abf7158809cf4f3c", "30c81c46a35ce411e5fbc1191a0a52ef", "43b1cd7f598ece23881b00e3ed030688"},
    {"2b7e151628aed2a6abf7158809cf4f3c", "f69f2445df4f9b17ad2b417be66c3710", "7b0c785e27e8ad3f8223207104725dd4"},
};

TEST(Aes, DecryptsKnownAnswerVectors) {
  for (const AesVector& v : kAesVectors) {
    SCOPED_TRACE(v.cipher);
    AesContext context;
    ASSERT_EQ(AesSetDecryptKey(&context, Hex(v.key).data()), 0);
    EXPECT_EQ(context.rounds, 10);
    std::vector<uint8_t> in = Hex(v.cipher);
    uint8_t out[16];
    AesDecryptBlock(&context, in.data(), out);
    EXPECT_EQ(ToHex(out, 16), v.plain);
    AesDecryptBlock(&context, in.data(), in.data());  // in place
    EXPECT_EQ(ToHex(in.data(), 16), v.plain);
  }
}

TEST(Aes, BulkDecryptionMatchesBlockByBlock) {
  // The four SP 800-38A blocks share one key; odd counts take the single-block tail.
  std::vector<uint8_t> ciphertext;
  for (size_t i = 2; i < 6; i++) {
    std::vector<uint8_t> c = Hex(kAesVectors[i].cipher);
    ciphertext.insert(ciphertext.end(), c.begin(), c.end());
  }
  AesContext context;
  AesSetDecryptKey(&context, Hex(kAesVectors[2].key).data());
  for (size_t blocks = 0; blocks <= 4; blocks++) {
    std::vector<uint8_t> data = ciphertext;
    AesDecryptBlocks(&context, data.data(), blocks);
    for (size_t i = 0; i < 4; i++) {
      std::string want = i < blocks ? kAesVectors[2 + i].plain : kAesVectors[2 + i].cipher;
      EXPECT_EQ(ToHex(data.data() + 16 * i, 16), want) << blocks << " blocks, block " << i;
    }
  }
}

TEST(Aes, SecondKeySetupGivesTheSameSchedules) {
  std::vector<uint8_t> key = Hex(kAesVectors[0].key);
  AesContext first, second;
  memset(&first, 0xAB, sizeof first);
  memset(&second, 0xCD, sizeof second);
  AesSetDecryptKey(&first, key.data());
  AesSetDecryptKey(&second, key.data());
  EXPECT_EQ(memcmp(first.encryptKeys, second.encryptKeys, 44 * 4), 0);
  EXPECT_EQ(memcmp(first.decryptKeys, second.decryptKeys, 44 * 4), 0);
  // FIPS-197 appendix A.1: the last round key of 2b7e1516...
  AesContext a1;
  AesSetDecryptKey(&a1, Hex(kAesVectors[1].key).data());
  EXPECT_EQ(a1.encryptKeys[40], 0xd014f9a8u);
  EXPECT_EQ(a1.encryptKeys[43], 0xb6630ca6u);
  EXPECT_EQ(a1.decryptKeys[0], a1.encryptKeys[40]);
  EXPECT_EQ(a1.decryptKeys[40], a1.encryptKeys[0]);
}

struct Md5Vector {
  const char* text;
  const char* digest;
};

const Md5Vector kMd5Vectors[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, RfcSuiteInOneUpdateAndInPieces) {
  for (const Md5Vector& v : kMd5Vectors) {
    const uint8_t* text = reinterpret_cast<const uint8_t*>(v.text);
    uint32_t length = uint32_t(strlen(v.text));
    uint8_t digest[16];
    MD5_CTX whole;
    whole.MD5Update(text, length);
    whole.MD5Final(digest);
    EXPECT_EQ(ToHex(digest, 16), v.digest) << '"' << v.text << '"';
    // Every split point: the buffered part and the straight-from-input blocks must agree.
    for (uint32_t split = 0; split <= length; split++) {
      MD5_CTX pieces;
      pieces.MD5Update(text, split);
      pieces.MD5Update(text + split, length - split);
      pieces.MD5Final(digest);
      ASSERT_EQ(ToHex(digest, 16), v.digest) << '"' << v.text << "\" split at " << split;
    }
  }
}

TEST(Md5, FinalLeavesAFreshContext) {
  MD5_CTX md5;
  uint8_t digest[16];
  md5.MD5Update(reinterpret_cast<const uint8_t*>("abc"), 3);
  md5.MD5Final(digest);
  md5.MD5Final(digest);
  EXPECT_EQ(ToHex(digest, 16), "d41d8cd98f00b204e9800998ecf8427e");
  md5.MD5Update(reinterpret_cast<const uint8_t*>("a"), 1);
  md5.MD5Final(digest);
  EXPECT_EQ(ToHex(digest, 16), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(PackageKey, AdjustsTheDigest) {
  struct Case {
    const char* digest;
    const char* key;
  } cases[] = {
      // Zeros become their position, then positions 0, 3, ..., 15 are XORed with 0x11.
      {"00000000000000000000000000000000", "110102120405170708180a0b1d0d0e1e"},
      // 0x11 at a multiple of 3 ends as 0 and is not turned into its position afterwards.
      {"11111111111111111111111111111111", "00111100111100111100111100111100"},
      {"ffffffffffffffffffffffffffffffff", "eeffffeeffffeeffffeeffffeeffffee"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> key = Hex(c.digest);
    AdjustPackageKey(key.data());
    EXPECT_EQ(ToHex(key.data(), 16), c.key) << c.digest;
  }
}

TEST(PackageKey, DerivesThePackageKeyFromThePassword) {
  // md5("908172") = 7734c8d9f48af46b40fb6d39325df27b, adjusted.
  uint8_t key[17] = {};
  DerivePackageKey(kPackagePassword, uint32_t(strlen(kPackagePassword)), key);
  EXPECT_EQ(ToHex(key, 16), "6634c8c8f48ae56b40ea6d39235df26a");
  EXPECT_EQ(key[16], 0);
  uint8_t again[16];
  DerivePackageKey(kPackagePassword, 6, again);
  EXPECT_EQ(memcmp(key, again, 16), 0);
  // Length 0: the digest of the empty message (d41d8cd9...), adjusted.
  DerivePackageKey("ignored", 0, again);
  EXPECT_EQ(ToHex(again, 16), "c51d8cc88f05a304e9910998fdf8426f");
}

}  // namespace
