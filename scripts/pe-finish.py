#!/usr/bin/env python3
"""Leaves the zeros at the end of a PE file's last section out of the file.

The Windows CE linker puts zero-initialised data inside .data and writes it
out whole. A section whose virtual size is larger than its raw data is
zero-filled by the loader (the layout Microsoft's linkers write for the
handheld), so the zeros need not travel in the file. Only the last section
is trimmed, so no other section's file offset moves.
    pe-trim-zeros.py EXE
"""
import struct
import sys


def main(path):
    with open(path, "rb") as f:
        image = bytearray(f.read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    sections, = struct.unpack_from("<H", image, pe + 6)
    optional_size, = struct.unpack_from("<H", image, pe + 20)
    optional = pe + 24
    file_alignment, = struct.unpack_from("<I", image, optional + 36)
    table = optional + optional_size

    # The section whose raw data ends the file.
    last = max(range(sections), key=lambda i: struct.unpack_from("<I", image, table + 40 * i + 20)[0])
    header = table + 40 * last
    name = image[header:header + 8].rstrip(b"\0").decode()
    virtual_size, = struct.unpack_from("<I", image, header + 8)
    raw_size, raw_pointer = struct.unpack_from("<II", image, header + 16)
    if raw_pointer + raw_size != len(image):
        sys.exit(f"{path}: {name} does not end the file; nothing trimmed")

    used = raw_size
    while used > 0 and image[raw_pointer + used - 1] == 0:
        used -= 1
    trimmed = -(-used // file_alignment) * file_alignment
    if trimmed >= raw_size:
        return
    if virtual_size < used:
        sys.exit(f"{path}: {name} holds data past its virtual size; nothing trimmed")
    struct.pack_into("<I", image, header + 16, trimmed)
    with open(path, "wb") as f:
        f.write(image[:raw_pointer + trimmed])
    print(f"{path}: {name}: {raw_size - trimmed} zero bytes left to the loader")


if __name__ == "__main__":
    main(sys.argv[1])
