"""The exe as Windows CE 3.0's loader takes it: sections at the image's own
base (an exe is not relocated), the zeroed end of a section given back as
zeros, imports bound by name or ordinal; and its resources, read where the
program reads them, in its mapped .rsrc."""
import struct

import pefile

from memory import Failure

IMAGE_SCN_MEM_WRITE = 0x80000000
RT_STRING, RT_DIALOG, RT_RCDATA, RT_MENU = 6, 5, 10, 4


class Section:
    def __init__(self, section, base):
        self.name = section.Name.rstrip(b"\0").decode(errors="replace")
        self.start = base + section.VirtualAddress
        self.virtual_size = max(section.Misc_VirtualSize, section.SizeOfRawData)
        self.raw = section.get_data()[: section.SizeOfRawData]
        self.characteristics = section.Characteristics

    @property
    def writable(self):
        return bool(self.characteristics & IMAGE_SCN_MEM_WRITE)

    def holds(self, address):
        return self.start <= address < self.start + self.virtual_size


class Import:
    def __init__(self, dll, name, slot):
        self.dll, self.name, self.slot = dll, name, slot  # name: str, or an ordinal

    @property
    def title(self):
        return self.name if isinstance(self.name, str) else f"{self.dll} ordinal {self.name}"


class Image:
    def __init__(self, path):
        self.path = path
        try:
            pe = pefile.PE(path)
        except pefile.PEFormatError as error:
            raise Failure(f"{path}: not an exe the device can load ({error})") from None
        if pe.FILE_HEADER.Machine != 0x01C0:
            raise Failure(f"{path}: machine {pe.FILE_HEADER.Machine:#06x}, not ARM (0x01c0)")
        header = pe.OPTIONAL_HEADER
        if header.Subsystem != 9:
            raise Failure(f"{path}: subsystem {header.Subsystem}, not Windows CE GUI (9)")
        self.base = header.ImageBase
        self.size = header.SizeOfImage
        self.entry = self.base + header.AddressOfEntryPoint
        self.stack_reserve = header.SizeOfStackReserve
        self.headers = pe.header[: header.SizeOfHeaders]
        self.sections = [Section(s, self.base) for s in pe.sections]
        self.imports = []
        for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
            dll = entry.dll.decode()
            for item in entry.imports:
                name = item.name.decode() if item.name else item.ordinal
                self.imports.append(Import(dll, name, item.address))
        self.import_table = self.base + pe.OPTIONAL_HEADER.DATA_DIRECTORY[1].VirtualAddress
        iat = pe.OPTIONAL_HEADER.DATA_DIRECTORY[12]
        self.iat = (self.base + iat.VirtualAddress, iat.Size)
        self.relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5].Size
        resources = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
        self.resource_root = self.base + resources.VirtualAddress if resources.Size else 0
        pe.close()

    def section_of(self, address):
        for section in self.sections:
            if section.holds(address):
                return section
        return None

    @property
    def text(self):
        for section in self.sections:
            if section.characteristics & 0x20000000:
                return section
        raise Failure(f"{self.path}: no code section")


class Resources:
    """The resource directory in the mapped image, walked as the device's
    FindResource does: type, then name, then the first language."""

    def __init__(self, mem, root):
        self.mem, self.root = mem, root

    def _entries(self, table):
        named, ids = self.mem.u16(table + 12), self.mem.u16(table + 14)
        for i in range(named + ids):
            name, target = struct.unpack("<II", self.mem.read(table + 16 + 8 * i, 8))
            if name & 0x80000000:
                at = self.root + (name & 0x7FFFFFFF)
                length = self.mem.u16(at)
                key = self.mem.read(at + 2, 2 * length).decode("utf-16-le").upper()
            else:
                key = name
            yield key, target

    def _find(self, table, key):
        for name, target in self._entries(table):
            if name == key:
                return target
        return None

    def find(self, kind, name):
        """The data entry's address (the HRSRC), or 0."""
        if not self.root:
            return 0
        if isinstance(kind, str):
            kind = kind.upper()
        if isinstance(name, str):
            name = name.upper()
        level = self._find(self.root, kind)
        if level is None or not level & 0x80000000:
            return 0
        level = self._find(self.root + (level & 0x7FFFFFFF), name)
        if level is None or not level & 0x80000000:
            return 0
        languages = list(self._entries(self.root + (level & 0x7FFFFFFF)))
        if not languages or languages[0][1] & 0x80000000:
            return 0
        return self.root + languages[0][1]

    def data(self, entry, base):
        """The resource's bytes' address and size, from its data entry."""
        rva, size = self.mem.u32(entry), self.mem.u32(entry + 4)
        return base + rva, size

    def string(self, base, ident):
        entry = self.find(RT_STRING, ident // 16 + 1)
        if not entry:
            return None
        at, size = self.data(entry, base)
        end = at + size
        for _ in range(ident % 16):
            if at + 2 > end:
                return None
            at += 2 + 2 * self.mem.u16(at)
        if at + 2 > end:
            return None
        length = self.mem.u16(at)
        if not length:
            return None
        return self.mem.read(at + 2, 2 * length).decode("utf-16-le", "surrogatepass")
