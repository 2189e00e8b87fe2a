#include "engine/package_digest.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

#include "system/scoped_win.h"

namespace {

struct CryptProviderTraits {
  using Handle = HCRYPTPROV;
  static Handle Invalid() noexcept { return 0; }
  static bool IsValid(Handle h) noexcept { return h != 0; }
  static void Close(Handle h) noexcept { CryptReleaseContext(h, 0); }
};
using ScopedCryptProvider = ScopedHandle<CryptProviderTraits>;

struct CryptHashTraits {
  using Handle = HCRYPTHASH;
  static Handle Invalid() noexcept { return 0; }
  static bool IsValid(Handle h) noexcept { return h != 0; }
  static void Close(Handle h) noexcept { CryptDestroyHash(h); }
};
using ScopedCryptHash = ScopedHandle<CryptHashTraits>;

ScopedKernelHandle OpenForReading(const char* path) {
  return ScopedKernelHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

}  // namespace

bool Sha256OfFile(const char* path, std::string& hexOut) {
  ScopedKernelHandle file = OpenForReading(path);
  if (!file) return false;
  HCRYPTPROV rawProvider = 0;
  if (!CryptAcquireContextA(&rawProvider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return false;
  ScopedCryptProvider provider(rawProvider);
  HCRYPTHASH rawHash = 0;
  if (!CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, &rawHash)) return false;
  ScopedCryptHash hash(rawHash);

  std::vector<BYTE> block(65536);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (!CryptHashData(hash.get(), block.data(), got, 0)) return false;
  }
  BYTE digest[32];
  DWORD length = sizeof digest;
  if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &length, 0) || length != sizeof digest) return false;
  hexOut = DigestHex(digest, length);
  return true;
}

bool PackageFileMatches(const char* path, const PackageCheck& check) {
  LARGE_INTEGER size = {};
  {
    ScopedKernelHandle file = OpenForReading(path);
    if (!file || !GetFileSizeEx(file.get(), &size)) return false;
  }
  std::string digest;
  if (!check.sha256.empty() && !Sha256OfFile(path, digest)) return false;
  return PackageMatches(check, static_cast<uint64_t>(size.QuadPart), digest);
}
