"""Writes packages with arbitrary entry records, enciphered with OpenSSL.

The publisher's packer only builds sound packages from real trees; tampered
ones (climbing names, records outside the body) are made here, with the
package key derived the installer's way and the openssl command doing AES.
"""

import hashlib
import struct
import subprocess

PASSWORD = b"908172"


def package_key():
    key = bytearray(hashlib.md5(PASSWORD).digest())
    for i in range(16):
        if key[i] == 0:
            key[i] = i
        if i % 3 == 0:
            key[i] ^= 0x11
    return bytes(key)


def build(entries, extra=b""):
    """entries: (name bytes, data bytes) or (name bytes, offset, size) records."""
    index_len = 4 + 268 * len(entries)
    body = bytearray(struct.pack("<i", len(entries)))
    datas = bytearray()
    records = []
    for e in entries:
        if len(e) == 2:
            name, data = e
            records.append((name, index_len + len(datas), len(data)))
            datas += data
        else:
            records.append(e)
    for name, offset, size in records:
        body += name.ljust(260, b"\0")[:260] + struct.pack("<II", offset, size)
    body += datas + extra
    body += b"\0" * (-len(body) % 16)
    enc = subprocess.run(["openssl", "enc", "-aes-128-ecb", "-nopad", "-K", package_key().hex()],
                         input=bytes(body), capture_output=True, check=True).stdout
    return struct.pack("<II", index_len, 0) + enc
