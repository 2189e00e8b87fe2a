#pragma once
// What one [list0] entry of the update list asks the worker to do.
#include <cstdint>
#include <string>

struct ActionPlan {
  bool download = false;         // bit 1: fetch srcfile into destfile
  bool command = false;          // bit 0: run cmd on the package
  const char* error = nullptr;   // set: report this text and stop
};

// action -1 is the value of a missing key. action 0 ("nothing to do") is
// decided by the caller before its cancel test, so it only gets an empty plan.
ActionPlan PlanAction(int action, const char* srcfile, const char* destfile, const char* cmd);

// destfile names a file below the install directory: no climbing, drive,
// colon, device name or second leading separator.
bool IsSafeDestination(const char* destfile);

// Only this command is known, compared exactly.
bool IsKnownCommand(const char* cmd);

// The list address for this installer's version, else the catch-all one;
// null when neither is given.
const char* ChooseUpdateListUrl(const char* forThisVersion, const char* other);

// Optional [list0] keys written by the publisher: size in bytes and the
// package's SHA-256. Lists without them are not checked.
struct PackageCheck {
  bool hasSize = false;
  uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits, or empty
  bool any() const { return hasSize || !sha256.empty(); }
};

// False for a value that is present but malformed: a list that promises a
// check it cannot express is not trusted.
bool ParsePackageCheck(const char* sizeText, const char* sha256Text, PackageCheck& out);

// digestHex may be empty when the check carries no hash.
bool PackageMatches(const PackageCheck& check, uint64_t actualSize, const std::string& digestHex);

std::string DigestHex(const unsigned char* digest, size_t length);
