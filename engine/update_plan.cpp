#include "engine/update_plan.h"

#include <cstring>
#include <string>

#include "engine/worker_texts.h"
#include "package/entry_name.h"

ActionPlan PlanAction(int action, const char* srcfile, const char* destfile, const char* cmd) {
  ActionPlan plan;
  if (action == -1) {
    plan.error = kErrListUnreadable;
    return plan;
  }
  plan.command = (action & 1) != 0;
  plan.download = (action & 2) != 0;
  if (plan.command && cmd[0] == '\0') {
    plan.error = kErrListEmptyCommand;
  } else if (plan.download && (srcfile[0] == '\0' || destfile[0] == '\0')) {
    plan.error = kErrListEmptyPaths;
  } else if ((plan.download || plan.command) && destfile[0] != '\0' && !IsSafeDestination(destfile)) {
    plan.error = kErrListBadPath;
  }
  return plan;
}

bool IsSafeDestination(const char* destfile) {
  // The download drops one leading backslash and the unpacker joins the rest
  // to the install directory; what remains must name a file inside it, by the
  // same rules as a package entry.
  if (destfile[0] == '\\') ++destfile;
  if (destfile[0] == '\0' || destfile[0] == '\\' || destfile[0] == '/') return false;
  size_t n = std::strlen(destfile);
  if (destfile[n - 1] == '\\' || destfile[n - 1] == '/') return false;
  return IsSafeEntryKey(std::string("package\\") + destfile);
}

bool IsKnownCommand(const char* cmd) { return std::strcmp(cmd, "DEC") == 0; }

const char* ChooseUpdateListUrl(const char* forThisVersion, const char* other) {
  if (forThisVersion && forThisVersion[0]) return forThisVersion;
  if (other && other[0]) return other;
  return nullptr;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParsePackageCheck(const char* sizeText, const char* sha256Text, PackageCheck& out) {
  out = PackageCheck();
  if (sizeText && sizeText[0]) {
    uint64_t value = 0;
    for (const char* p = sizeText; *p; ++p) {
      if (*p < '0' || *p > '9') return false;
      uint64_t digit = static_cast<uint64_t>(*p - '0');
      if (value > (UINT64_MAX - digit) / 10) return false;
      value = value * 10 + digit;
    }
    out.hasSize = true;
    out.size = value;
  }
  if (sha256Text && sha256Text[0]) {
    if (std::strlen(sha256Text) != 64) return false;
    std::string hex;
    for (const char* p = sha256Text; *p; ++p) {
      int v = HexValue(*p);
      if (v < 0) return false;
      hex += "0123456789abcdef"[v];
    }
    out.sha256 = hex;
  }
  return true;
}

bool PackageMatches(const PackageCheck& check, uint64_t actualSize, const std::string& digestHex) {
  if (check.hasSize && actualSize != check.size) return false;
  if (!check.sha256.empty() && digestHex != check.sha256) return false;
  return true;
}

std::string DigestHex(const unsigned char* digest, size_t length) {
  std::string hex;
  hex.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    hex += "0123456789abcdef"[digest[i] >> 4];
    hex += "0123456789abcdef"[digest[i] & 15];
  }
  return hex;
}
