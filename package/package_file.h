#pragma once
// Layout of the downloaded package file; every integer is little-endian.
//   header: index length (4, plain), reserved (4, not interpreted)
//   body:   AES-128 blocks, each deciphered on its own; deciphered it holds the
//           entry count (4, signed), the entry records, then the entry data
//   record: name (260, zero-terminated, "\" separators), offset (4), size (4)
#include <cstdint>

struct PackageFile {
  static constexpr uint32_t kHeaderSize = 8;
  static constexpr uint32_t kBlockSize = 16;
  static constexpr uint32_t kRecordSize = 268;
  static constexpr uint32_t kNameField = 260;

  static uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
};
