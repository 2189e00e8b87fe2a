// The installer's cipher and reader against OpenSSL and against packages made
// by vantrel-pack (which enciphers with OpenSSL), on the host.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "package/aes.h"
#include "package/package_extraction.h"
#include "package/package_key.h"
#include "tests/package/fake_disk.h"

namespace {

std::string Unix(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

class FileSource final : public PackageSource {
 public:
  explicit FileSource(FILE* f) : f_(f) {}
  ~FileSource() override { fclose(f_); }
  bool Size(uint64_t* size) override {
    struct stat st;
    if (fstat(fileno(f_), &st) != 0) return false;
    *size = uint64_t(st.st_size);
    return true;
  }
  size_t Read(uint8_t* buffer, size_t n) override { return fread(buffer, 1, n, f_); }

 private:
  FILE* f_;
};

// The Windows disk's behaviour on a POSIX file system, "\" read as "/".
class PosixDisk final : public PackageDisk {
 public:
  std::unique_ptr<PackageSource> OpenForReading(const std::string& path) override {
    FILE* f = fopen(Unix(path).c_str(), "rb");
    return f ? std::make_unique<FileSource>(f) : nullptr;
  }
  void MakeDirectory(const std::string& path) override { mkdir(Unix(path).c_str(), 0755); }
  bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) override {
    FILE* f = fopen(Unix(path).c_str(), "wb");
    if (!f) return false;
    if (size) fwrite(data, size, 1, f);
    fclose(f);
    return true;
  }
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

std::string RunTool(const std::string& command) {
  std::string output;
  FILE* p = popen(command.c_str(), "r");
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) output.append(buffer, n);
  EXPECT_EQ(pclose(p), 0) << command;
  return output;
}

TEST(CrossCheck, AesAgreesWithOpenSsl) {
  std::mt19937 random(7);
  std::vector<uint8_t> key(16), data(16 * 1001);
  for (auto& b : key) b = uint8_t(random());
  for (auto& b : data) b = uint8_t(random());
  std::vector<uint8_t> expected(data.size() + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  ASSERT_TRUE(EVP_DecryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key.data(), nullptr));
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  ASSERT_TRUE(EVP_DecryptUpdate(ctx, expected.data(), &n, data.data(), int(data.size())));
  EVP_CIPHER_CTX_free(ctx);
  expected.resize(data.size());

  AesContext context;
  AesSetDecryptKey(&context, key.data());
  std::vector<uint8_t> bulk = data;
  AesDecryptBlocks(&context, bulk.data(), bulk.size() / 16);
  EXPECT_EQ(bulk, expected);
  std::vector<uint8_t> single(data.size());
  for (size_t i = 0; i < data.size(); i += 16) AesDecryptBlock(&context, &data[i], &single[i]);
  EXPECT_EQ(single, expected);
}

TEST(CrossCheck, PackedTreeUnpacksByteIdentical) {
  char scratch[] = "/tmp/vantrel-pack-test-XXXXXX";
  ASSERT_NE(mkdtemp(scratch), nullptr);
  std::string root = scratch;
  std::string tree = root + "/Game";
  // Nested folders, GBK names (\xD3\xCE\xCF\xB7 and \xCA\xFD\xBE\xDD), an empty file, upper case.
  for (const char* d : {"", "/bin", "/Data", "/Data/\xD3\xCE\xCF\xB7", "/Data/\xD3\xCE\xCF\xB7/deep"})
    ASSERT_EQ(mkdir((tree + d).c_str(), 0755), 0) << d;
  std::mt19937 random(11);
  std::string big(300000, '\0');
  for (char& c : big) c = char(random());
  struct File {
    std::string path, data;
  } files[] = {
      {"/bin/Game.EXE", "MZ\x90"},
      {"/Data/empty.dat", ""},
      {"/Data/\xD3\xCE\xCF\xB7/\xCA\xFD\xBE\xDD.bin", big},
      {"/Data/\xD3\xCE\xCF\xB7/deep/x.txt", "deep\n"},
      {"/readme.txt", "read me\n"},
  };
  for (const File& f : files) Spit(tree + f.path, f.data);

  std::string out = root + "/out";
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  std::string package = out + "/game.pkg";
  RunTool(std::string(VANTREL_PACK) + " create '" + package + "' '" + tree + "'");
  std::string listing = RunTool(std::string(VANTREL_PACK) + " list '" + package + "'");
  EXPECT_NE(listing.find("Game\\Data\\\xD3\xCE\xCF\xB7\\\xCA\xFD\xBE\xDD.bin"), std::string::npos) << listing;
  EXPECT_NE(listing.find("     300000 "), std::string::npos) << listing;

  PosixDisk disk;
  RecordingProgress progress;
  ASSERT_EQ(UnpackPackage("game.pkg", out, disk, progress), 0);
  for (const File& f : files) {
    std::string lowered = f.path;
    for (char& c : lowered)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    EXPECT_EQ(Slurp(out + lowered), f.data) << lowered;
  }
  // Reading ends with 50; five files then step by ten.
  std::vector<int> tail(progress.posts.end() - 6, progress.posts.end());
  EXPECT_EQ(tail, (std::vector<int>{50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(system(("rm -rf '" + root + "'").c_str()), 0);
}

}  // namespace
