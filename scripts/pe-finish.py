#!/usr/bin/env python3
"""Finishes the handheld's tamlink.exe after the link, as Microsoft's linkers
write a program for the device, in this order:

1. The data directories say what is there: this binutils writes the import
   address table's address, image base added, where its RVA belongs, and the
   import table's RVA as an export directory of no size.
2. The file header's and the resource directories' dates become
   SOURCE_DATE_EPOCH, so the same sources give the same bytes.
3. The zeros at the end of the last section are left out of the file. The
   Windows CE linker puts zero-initialised data inside .data and writes it
   out whole; the loader fills a section's virtual size past its raw data
   with zeros, so they need not travel. Only the last section is trimmed, so
   no other section's file offset moves, and nothing is cut that a data
   directory points into.
4. SizeOfInitializedData and the checksum are those of the file as it is left.
    pe-finish.py EXE
"""
import os
import struct
import sys

IMPORTS, RESOURCES, SECURITY, IAT = 1, 2, 4, 12
INITIALIZED_DATA = 0x40


class Pe:
    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            self.image = bytearray(f.read())
        self.pe = self.u32(0x3C)
        if self.image[self.pe:self.pe + 4] != b"PE\0\0":
            sys.exit(f"{path}: not a PE file")
        self.optional = self.pe + 24
        self.directories = self.optional + 96
        count = self.u16(self.pe + 6)
        table = self.optional + self.u16(self.pe + 20)
        self.sections = [table + 40 * i for i in range(count)]

    def u16(self, at):
        return struct.unpack_from("<H", self.image, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.image, at)[0]

    def put32(self, at, value):
        struct.pack_into("<I", self.image, at, value)

    def directory(self, index):
        return struct.unpack_from("<II", self.image, self.directories + 8 * index)

    def offset(self, rva):
        for header in self.sections:
            start, size = self.u32(header + 12), self.u32(header + 16)
            if start <= rva < start + size:
                return rva - start + self.u32(header + 20)
        sys.exit(f"{self.path}: RVA {rva:#x} is in no section's data")

    def fix_directories(self):
        for index in range(self.u32(self.optional + 92)):
            if self.directory(index)[1] == 0:
                struct.pack_into("<II", self.image, self.directories + 8 * index, 0, 0)
        descriptor = self.offset(self.directory(IMPORTS)[0])
        start, end = None, 0
        while self.u32(descriptor + 12):  # the DLL's name; 0 ends the list
            first = self.u32(descriptor + 16)
            thunk = first
            while self.u32(self.offset(thunk)):
                thunk += 4
            start = first if start is None else min(start, first)
            end = max(end, thunk + 4)
            descriptor += 20
        if start is not None:
            struct.pack_into("<II", self.image, self.directories + 8 * IAT, start, end - start)

    def stamp(self, seconds):
        self.put32(self.pe + 8, seconds)
        root = self.directory(RESOURCES)[0]
        if not root:
            return
        tables = [0]
        while tables:
            table = self.offset(root) + tables.pop()
            self.put32(table + 4, seconds)
            entries = self.u16(table + 12) + self.u16(table + 14)
            for entry in range(entries):
                target = self.u32(table + 16 + 8 * entry + 4)
                if target & 0x80000000:
                    tables.append(target & 0x7FFFFFFF)

    def trim_last_section(self):
        header = max(self.sections, key=lambda h: self.u32(h + 20))
        name = self.image[header:header + 8].rstrip(b"\0").decode()
        virtual_size, start = self.u32(header + 8), self.u32(header + 12)
        raw_size, raw_pointer = self.u32(header + 16), self.u32(header + 20)
        if raw_pointer + raw_size != len(self.image):
            sys.exit(f"{self.path}: {name} does not end the file; nothing trimmed")
        used = raw_size
        while used > 0 and self.image[raw_pointer + used - 1] == 0:
            used -= 1
        alignment = self.u32(self.optional + 36)
        trimmed = -(-used // alignment) * alignment
        if trimmed >= raw_size:
            return
        if virtual_size < used:
            sys.exit(f"{self.path}: {name} holds data past its virtual size; nothing trimmed")
        cut = (start + trimmed, start + raw_size)
        for index in range(self.u32(self.optional + 92)):
            rva, size = self.directory(index)
            if index != SECURITY and rva and rva < cut[1] and rva + max(size, 1) > cut[0]:
                sys.exit(f"{self.path}: data directory {index} points into the zeros of {name}; "
                         "nothing trimmed")
        self.put32(header + 16, trimmed)
        del self.image[raw_pointer + trimmed:]
        print(f"{self.path}: {name}: {raw_size - trimmed} zero bytes left to the loader")

    def set_sizes_and_checksum(self):
        initialized = sum(self.u32(h + 16) for h in self.sections
                          if self.u32(h + 36) & INITIALIZED_DATA)
        self.put32(self.optional + 8, initialized)
        field = self.optional + 64
        self.put32(field, 0)
        padded = self.image + b"\0" * (len(self.image) % 2)
        total = 0
        for (word,) in struct.iter_unpack("<H", padded):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        self.put32(field, total + len(self.image))

    def save(self):
        with open(self.path, "wb") as f:
            f.write(self.image)


def main(path):
    exe = Pe(path)
    exe.fix_directories()
    exe.stamp(int(os.environ.get("SOURCE_DATE_EPOCH", "0")))
    exe.trim_last_section()
    exe.set_sizes_and_checksum()
    exe.save()


if __name__ == "__main__":
    main(sys.argv[1])
