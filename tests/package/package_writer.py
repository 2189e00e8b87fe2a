#!/usr/bin/env python3
"""Writes packages for the tests, enciphered by the openssl command line tool,
so the installer's own cipher is checked against an independent one.

As a module: build(entries, ...) -> bytes. Entries are (name bytes, data bytes)
or (name bytes, data bytes, offset, size) to forge a record.
"""
import hashlib
import struct
import subprocess

PASSWORD = b"908172"


def package_key(password=PASSWORD):
    key = bytearray(hashlib.md5(password).digest())
    for i in range(16):
        if key[i] == 0:
            key[i] = i
        if i % 3 == 0:
            key[i] ^= 0x11
    return bytes(key)


def encipher(plain, key=None):
    assert len(plain) % 16 == 0
    if not plain:
        return b""
    key = key or package_key()
    return subprocess.run(["openssl", "enc", "-aes-128-ecb", "-nopad", "-K", key.hex()],
                          input=plain, stdout=subprocess.PIPE, check=True).stdout


def plain_body(entries, count=None):
    """Index then data, padded to whole blocks; returns (body, index length)."""
    count = len(entries) if count is None else count
    index_length = 4 + 268 * len(entries)
    data = b""
    records = b""
    for entry in entries:
        name, payload = entry[0], entry[1]
        offset = index_length + len(data)
        size = len(payload)
        if len(entry) > 2:
            offset, size = entry[2], entry[3]
        field = name.ljust(260, b"\0")[:260] if len(name) < 260 else name[:260]
        records += field + struct.pack("<II", offset & 0xFFFFFFFF, size & 0xFFFFFFFF)
        data += payload
    body = struct.pack("<i", count) + records + data
    body += b"\0" * (-len(body) % 16)
    return body, index_length


def build(entries, count=None, index_length=None, reserved=0):
    body, length = plain_body(entries, count)
    length = length if index_length is None else index_length
    return struct.pack("<II", length & 0xFFFFFFFF, reserved) + encipher(body)


if __name__ == "__main__":
    # C++ array of the small fixture that the core tests unpack.
    fixture = build([(b"Game\\Readme.TXT", b"hello, package\n"),
                     (b"Game\\Data\\Map.bin", bytes(range(40))),
                     (b"Game\\Empty.dat", b"")], reserved=0x5A5A5A5A)
    for i in range(0, len(fixture), 16):
        print("    " + " ".join("0x%02x," % b for b in fixture[i:i + 16]))
