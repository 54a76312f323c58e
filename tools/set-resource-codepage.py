"""Writes code page 1252 into every resource data entry of a PE file.

windres always leaves the field at 0 and has no option for it; the build runs
this after linking and before any signing.
    set-resource-codepage.py FILE
"""
import struct
import sys

sys.path.insert(0, __import__("os").path.dirname(__file__))
from pe_file import PeFile  # noqa: E402

CODE_PAGE = 1252


def pe_checksum(data, checksum_offset):
    """The image checksum: 16-bit one's-complement-style sum of the file with
    the checksum field taken as 0, plus the file's length."""
    padded = bytes(data) + b"\0" * (len(data) % 2)
    total = 0
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
    total -= sum(struct.unpack_from("<HH", padded, checksum_offset))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def main(path):
    pe = PeFile(path)
    data = bytearray(pe.data)
    entries = pe.resources()
    for entry in entries:
        struct.pack_into("<I", data, entry["entry_offset"] + 8, CODE_PAGE)
    # The linker stored a checksum of the old bytes: store the new one.
    if pe.checksum:
        struct.pack_into("<I", data, pe.checksum_offset, pe_checksum(data, pe.checksum_offset))
    with open(path, "r+b") as f:
        f.write(data)
    print("code page %d in %d resource entries of %s" % (CODE_PAGE, len(entries), path))


if __name__ == "__main__":
    main(sys.argv[1])
