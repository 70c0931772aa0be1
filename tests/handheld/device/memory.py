"""The emulated device's address space: what is mapped, with which rights, and
the accessors every stand-in of a call reads and writes the program's memory
through. A pointer the program hands a call is checked here: it must lie in
mapped memory, and a call may write only where the program itself may."""
import struct

from unicorn import UC_PROT_EXEC, UC_PROT_READ, UC_PROT_WRITE, UcError

PAGE = 0x1000


class Failure(Exception):
    """Something the device would not have survived, or a check that failed:
    the run stops and says what and where."""


def page_down(address):
    return address & ~(PAGE - 1)


def page_up(size):
    return (size + PAGE - 1) & ~(PAGE - 1)


class Region:
    def __init__(self, name, start, size, rights):
        self.name, self.start, self.size, self.rights = name, start, size, rights

    @property
    def end(self):
        return self.start + self.size

    def holds(self, address, size):
        return self.start <= address and address + size <= self.end


class Memory:
    """The program's memory as the stand-ins see it. `call` names the call
    being answered, so that a bad pointer names it too."""

    def __init__(self, uc):
        self.uc = uc
        self.regions = []
        self.call = "the loader"

    # What is mapped
    def map(self, name, start, size, rights):
        size = page_up(size)
        self.uc.mem_map(start, size, rights)
        region = Region(name, start, size, rights)
        self.regions.append(region)
        return region

    def unmap(self, region):
        self.uc.mem_unmap(region.start, region.size)
        self.regions.remove(region)

    def protect(self, region, rights):
        self.uc.mem_protect(region.start, region.size, rights)
        region.rights = rights

    def region_of(self, address, size=1):
        for region in self.regions:
            if region.holds(address, max(size, 1)):
                return region
        return None

    def describe(self, address):
        region = self.region_of(address)
        if region:
            return f"{address:#010x} ({region.name}+{address - region.start:#x})"
        return f"{address:#010x} (not mapped)"

    def check(self, address, size, write=False, align=1):
        """A call's access to the program's memory, as the device's would fault."""
        if address == 0:
            raise Failure(f"{self.call}: given a null pointer")
        if address % align:
            raise Failure(f"{self.call}: given {address:#010x}, not aligned to {align} bytes "
                          "(the StrongARM does not load or store across it)")
        region = self.region_of(address, size)
        if region is None:
            raise Failure(f"{self.call}: {size} bytes at {address:#010x} are not all in mapped "
                          "memory")
        if write and not region.rights & UC_PROT_WRITE:
            raise Failure(f"{self.call}: writes {size} bytes to {self.describe(address)}, "
                          "which is read-only")

    # Bytes
    def read(self, address, size):
        if size == 0:
            return b""
        self.check(address, size)
        return bytes(self.uc.mem_read(address, size))

    def write(self, address, data):
        if not data:
            return
        self.check(address, len(data), write=True)
        self.uc.mem_write(address, bytes(data))

    def fill(self, address, value, size):
        self.write(address, bytes([value & 0xFF]) * size)

    # Words. A record the call reads or fills is word-aligned on the device.
    def u32(self, address):
        self.check(address, 4, align=4)
        return struct.unpack("<I", self.uc.mem_read(address, 4))[0]

    def s32(self, address):
        value = self.u32(address)
        return value - (1 << 32) if value & 0x80000000 else value

    def put_u32(self, address, value):
        self.check(address, 4, write=True, align=4)
        self.uc.mem_write(address, struct.pack("<I", value & 0xFFFFFFFF))

    def u16(self, address):
        self.check(address, 2, align=2)
        return struct.unpack("<H", self.uc.mem_read(address, 2))[0]

    def put_u16(self, address, value):
        self.check(address, 2, write=True, align=2)
        self.uc.mem_write(address, struct.pack("<H", value & 0xFFFF))

    # Wide texts: read a character at a time, so that a text at the very end
    # of a mapping is read without reading past it.
    def wstr(self, address, limit=None):
        self.check(address, 2, align=2)
        chars = []
        while limit is None or len(chars) < limit:
            try:
                (char,) = struct.unpack("<H", self.uc.mem_read(address + 2 * len(chars), 2))
            except UcError:
                raise Failure(f"{self.call}: the text at {address:#010x} runs out of mapped "
                              "memory before its end") from None
            if char == 0:
                break
            chars.append(char)
        return struct.pack(f"<{len(chars)}H", *chars).decode("utf-16-le", "surrogatepass")

    def wstr_or_none(self, address, limit=None):
        return None if address == 0 else self.wstr(address, limit)

    def put_wstr(self, address, text, chars):
        """Up to chars - 1 characters and the terminator; returns the count copied."""
        if chars <= 0:
            return 0
        units = text.encode("utf-16-le", "surrogatepass")[: 2 * (chars - 1)]
        self.write(address, units + b"\0\0")
        return len(units) // 2

    def astr(self, address, limit=None):
        data = bytearray()
        while limit is None or len(data) < limit:
            (byte,) = self.read(address + len(data), 1)
            if byte == 0:
                break
            data.append(byte)
        return bytes(data)


def rights_of_section(characteristics):
    rights = 0
    if characteristics & 0x40000000:
        rights |= UC_PROT_READ
    if characteristics & 0x80000000:
        rights |= UC_PROT_WRITE
    if characteristics & 0x20000000:
        rights |= UC_PROT_EXEC | UC_PROT_READ
    return rights or UC_PROT_READ
