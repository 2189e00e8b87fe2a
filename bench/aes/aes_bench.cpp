// Decryption throughput: the installer's AES against OpenSSL's AES-128-ECB on
// the same buffer in the same run. Best of several passes for each.
#include <openssl/evp.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "package/aes.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  size_t mib = argc > 1 ? size_t(atoi(argv[1])) : 64;
  int passes = argc > 2 ? atoi(argv[2]) : 5;
  std::vector<uint8_t> data(mib << 20), work(data.size()), reference(data.size() + 16);
  std::mt19937 random(1);
  for (auto& b : data) b = uint8_t(random());
  uint8_t key[16];
  for (auto& b : key) b = uint8_t(random());

  double ours = 1e30, theirs = 1e30;
  for (int pass = 0; pass < passes; pass++) {
    memcpy(work.data(), data.data(), data.size());
    auto t0 = std::chrono::steady_clock::now();
    AesContext context;
    AesSetDecryptKey(&context, key);
    AesDecryptBlocks(&context, work.data(), work.size() / 16);
    auto t1 = std::chrono::steady_clock::now();
    ours = std::min(ours, Seconds(t0, t1));

    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0;
    auto t2 = std::chrono::steady_clock::now();
    EVP_DecryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_DecryptUpdate(ctx, reference.data(), &n, data.data(), int(data.size()));
    auto t3 = std::chrono::steady_clock::now();
    EVP_CIPHER_CTX_free(ctx);
    theirs = std::min(theirs, Seconds(t2, t3));
  }
  if (memcmp(work.data(), reference.data(), data.size()) != 0) {
    fprintf(stderr, "aes: results differ from OpenSSL\n");
    return 1;
  }
  double mb = double(data.size()) / 1e6;
  printf("buffer: %zu MiB, best of %d passes\n", mib, passes);
  printf("vantrel AES decrypt:          %8.1f MB/s (%.3f s)\n", mb / ours, ours);
  printf("OpenSSL AES-128-ECB decrypt:  %8.1f MB/s (%.3f s)\n", mb / theirs, theirs);
  printf("AES decrypt throughput vs OpenSSL without AES-NI: %.2f\n", theirs / ours);
  return 0;
}
