// vantrel-pack: builds the enciphered game package from a directory tree and
// lists the entries of one. Host-side tool for the people who publish a game;
// its cipher and digest are OpenSSL's, independent of the installer's own.
#include <dirent.h>
#include <openssl/evp.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: vantrel-pack create [--top NAME] PACKAGE DIRECTORY\n"
    "       vantrel-pack list PACKAGE\n"
    "       vantrel-pack extract PACKAGE DIRECTORY\n"
    "\n"
    "create  packs every regular file below DIRECTORY into PACKAGE, each named\n"
    "        NAME\\relative\\path (NAME defaults to DIRECTORY's last component;\n"
    "        the installer drops it and unpacks the rest below its install\n"
    "        directory). Names are kept as bytes, so GBK file names stay GBK.\n"
    "        Empty folders, links and special files are not stored.\n"
    "list    prints one line per entry: offset, size and name.\n"
    "extract unpacks PACKAGE below DIRECTORY as the installer lays it out\n"
    "        (top folder dropped, names in lower case).\n";

const char kPassword[] = "908172";
constexpr size_t kNameField = 260;
constexpr size_t kRecordSize = 268;

struct Entry {
  std::string name;  // package name, "\" separators
  std::string path;  // file on disk
  uint64_t size = 0;
};

void Fail(const std::string& text) {
  fprintf(stderr, "vantrel-pack: %s\n", text.c_str());
  exit(1);
}

void DeriveKey(uint8_t key[16]) {
  unsigned int length = 0;
  if (!EVP_Digest(kPassword, strlen(kPassword), key, &length, EVP_md5(), nullptr) || length != 16) Fail("MD5 failed");
  for (int i = 0; i < 16; i++) {
    if (key[i] == 0) key[i] = uint8_t(i);
    if (i % 3 == 0) key[i] ^= 0x11;
  }
}

using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

CipherCtx NewCipher(bool encrypt) {
  CipherCtx ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  uint8_t key[16];
  DeriveKey(key);
  if (!ctx || !EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key, nullptr, encrypt ? 1 : 0) ||
      !EVP_CIPHER_CTX_set_padding(ctx.get(), 0)) {
    Fail("cannot set up AES-128");
  }
  return ctx;
}

void Walk(const std::string& dir, const std::string& prefix, std::vector<Entry>* entries) {
  DIR* d = opendir(dir.c_str());
  if (!d) Fail("cannot read directory " + dir + ": " + strerror(errno));
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string path = dir + "/" + name;
    if (name.find('\\') != std::string::npos) Fail("a backslash in a file name cannot be packed: " + path);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) Fail("cannot stat " + path + ": " + strerror(errno));
    if (S_ISDIR(st.st_mode)) {
      Walk(path, prefix + name + "\\", entries);
    } else if (S_ISREG(st.st_mode)) {
      entries->push_back({prefix + name, path, uint64_t(st.st_size)});
    } else {
      fprintf(stderr, "vantrel-pack: skipping %s (not a regular file)\n", path.c_str());
    }
  }
}

class Writer {
 public:
  Writer(FILE* out) : out_(out), ctx_(NewCipher(true)) {}
  void Put(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (n) {
      size_t take = std::min<size_t>(n, 1 << 20);
      int outLength = 0;
      buffer_.resize(take + 16);
      if (!EVP_EncryptUpdate(ctx_.get(), buffer_.data(), &outLength, p, int(take))) Fail("encryption failed");
      Write(buffer_.data(), size_t(outLength));
      p += take;
      n -= take;
      total_ += take;
    }
  }
  void Finish() {
    static const uint8_t zeros[16] = {};
    Put(zeros, (16 - total_ % 16) % 16);  // filler up to a whole block
    int outLength = 0;
    uint8_t tail[32];
    if (!EVP_EncryptFinal_ex(ctx_.get(), tail, &outLength)) Fail("encryption failed");
    Write(tail, size_t(outLength));
  }
  void Write(const void* data, size_t n) {
    if (n && fwrite(data, 1, n, out_) != n) Fail(std::string("write failed: ") + strerror(errno));
  }

 private:
  FILE* out_;
  CipherCtx ctx_;
  std::vector<uint8_t> buffer_;
  uint64_t total_ = 0;
};

void PutLe(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; i++) s += char(v >> (8 * i));
}

int Create(const std::string& package, std::string dir, std::string top) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  struct stat st;
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) Fail("not a directory: " + dir);
  if (top.empty()) {
    size_t slash = dir.find_last_of('/');
    top = slash == std::string::npos ? dir : dir.substr(slash + 1);
    if (top.empty() || top == "." || top == "..") top = "game";
  }
  if (top.find_first_of("\\/") != std::string::npos) Fail("the top-level name must be one folder name: " + top);

  std::vector<Entry> entries;
  Walk(dir, top + "\\", &entries);
  if (entries.empty()) Fail("no files below " + dir + " (the installer refuses an empty package)");

  // Index first, then the data in the same order.
  const uint64_t indexLength = 4 + kRecordSize * uint64_t(entries.size());
  uint64_t offset = indexLength;
  std::string index;
  PutLe(index, uint32_t(entries.size()));
  for (const Entry& e : entries) {
    if (e.name.size() >= kNameField) Fail("name longer than 259 bytes: " + e.name);
    if (offset + e.size > 0xFFFFFFFFull - 8 - 16) Fail("the package would reach 4 GiB, more than the format holds");
    std::string field = e.name;
    field.resize(kNameField, '\0');
    index += field;
    PutLe(index, uint32_t(offset));
    PutLe(index, uint32_t(e.size));
    offset += e.size;
  }

  FILE* out = fopen(package.c_str(), "wb");
  if (!out) Fail("cannot create " + package + ": " + strerror(errno));
  std::string header;
  PutLe(header, uint32_t(indexLength));
  PutLe(header, 0);  // reserved
  Writer writer(out);
  writer.Write(header.data(), header.size());
  writer.Put(index.data(), index.size());
  std::vector<char> buffer(1 << 20);
  for (const Entry& e : entries) {
    FILE* in = fopen(e.path.c_str(), "rb");
    if (!in) Fail("cannot open " + e.path + ": " + strerror(errno));
    uint64_t done = 0;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), in)) > 0) {
      writer.Put(buffer.data(), got);
      done += got;
    }
    fclose(in);
    if (done != e.size) Fail(e.path + " changed while it was packed");
  }
  writer.Finish();
  if (fclose(out) != 0) Fail("cannot finish " + package);
  printf("%s: %zu files, %llu bytes of data\n", package.c_str(), entries.size(),
         (unsigned long long)(offset - indexLength));
  return 0;
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Decoded {
  std::vector<uint8_t> body;
  std::vector<const uint8_t*> records;
};

Decoded Decode(const std::string& package) {
  FILE* in = fopen(package.c_str(), "rb");
  if (!in) Fail("cannot open " + package + ": " + strerror(errno));
  std::vector<uint8_t> file;
  uint8_t buffer[1 << 16];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) file.insert(file.end(), buffer, buffer + got);
  fclose(in);
  if (file.size() < 8 || (file.size() - 8) % 16 != 0) Fail(package + ": size is not 8 plus whole 16-byte blocks");
  Decoded d;
  d.body.resize(file.size() - 8 + 16);
  CipherCtx ctx = NewCipher(false);
  int outLength = 0;
  if (file.size() > 8 &&
      !EVP_DecryptUpdate(ctx.get(), d.body.data(), &outLength, file.data() + 8, int(file.size() - 8)))
    Fail("decryption failed");
  d.body.resize(file.size() - 8);
  uint32_t indexLength = Le32(file.data());
  if (d.body.size() < 4 || indexLength < 4 || indexLength > d.body.size()) Fail(package + ": no index");
  int32_t count = int32_t(Le32(d.body.data()));
  if (count < 0 || 4 + kRecordSize * uint64_t(count) > indexLength) Fail(package + ": index does not hold its records");
  for (int32_t i = 0; i < count; i++) d.records.push_back(d.body.data() + 4 + kRecordSize * size_t(i));
  return d;
}

int List(const std::string& package) {
  Decoded d = Decode(package);
  for (const uint8_t* r : d.records) {
    size_t n = strnlen(reinterpret_cast<const char*>(r), kNameField);
    printf("%10u %10u ", Le32(r + kNameField), Le32(r + kNameField + 4));
    fwrite(r, 1, n, stdout);
    putchar('\n');
  }
  return 0;
}

// Unpacks below dir the way the installer lays the tree out (top folder
// dropped), for checking a package and as the benchmarks' peer.
int Extract(const std::string& package, const std::string& dir) {
  Decoded d = Decode(package);
  mkdir(dir.c_str(), 0755);
  for (const uint8_t* r : d.records) {
    std::string name(reinterpret_cast<const char*>(r), strnlen(reinterpret_cast<const char*>(r), kNameField));
    uint32_t offset = Le32(r + kNameField), size = Le32(r + kNameField + 4);
    if (offset > d.body.size() || size > d.body.size() - offset) Fail(name + ": data outside the package");
    size_t first = name.find('\\');
    if (first == std::string::npos) continue;
    std::string path = dir;
    size_t start = first + 1;
    while (start <= name.size()) {
      size_t end = name.find('\\', start);
      std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (part == "." || part == ".." || part.find('/') != std::string::npos) Fail(name + ": unsafe name");
      std::transform(part.begin(), part.end(), part.begin(),
                     [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
      if (end == std::string::npos) {
        if (part.empty()) break;
        path += "/" + part;
        FILE* out = fopen(path.c_str(), "wb");
        if (!out) Fail("cannot write " + path + ": " + strerror(errno));
        if (size && fwrite(d.body.data() + offset, 1, size, out) != size) Fail("cannot write " + path);
        fclose(out);
        break;
      }
      if (!part.empty()) {
        path += "/" + part;
        mkdir(path.c_str(), 0755);
      }
      start = end + 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "-h" || args[0] == "--help") {
    fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "create") {
    std::string top;
    size_t i = 1;
    if (i < args.size() && args[i] == "--top") {
      if (i + 1 >= args.size()) Fail("--top needs a name");
      top = args[i + 1];
      i += 2;
    }
    if (args.size() - i != 2) {
      fputs(kUsage, stderr);
      return 2;
    }
    return Create(args[i], args[i + 1], top);
  }
  if (args[0] == "list" && args.size() == 2) return List(args[1]);
  if (args[0] == "extract" && args.size() == 3) return Extract(args[1], args[2]);
  fputs(kUsage, stderr);
  return 2;
}
