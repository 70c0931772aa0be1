"""The device's files: the nine coredll calls the program reads and writes
its account file with, answered over a folder of the host that stands for
the device's "\\".

Windows CE has no drives and no current directory: every path is taken from
the root, and its file system ignores case. Writes reach the host file at
once, so a scenario sees them while the program runs. Windows CE has no
overlapped file I/O, and its ReadFile and WriteFile need the count pointer."""
import collections
import os
import pathlib

from api import api
from memory import Failure

INVALID_HANDLE_VALUE = 0xFFFFFFFF
INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF
INVALID_FILE_SIZE = 0xFFFFFFFF

GENERIC_READ = 0x80000000
GENERIC_WRITE = 0x40000000
FILE_SHARE_READ = 0x1
FILE_SHARE_WRITE = 0x2

CREATE_NEW = 1
CREATE_ALWAYS = 2
OPEN_EXISTING = 3
OPEN_ALWAYS = 4
TRUNCATE_EXISTING = 5

FILE_ATTRIBUTE_READONLY = 0x01
FILE_ATTRIBUTE_DIRECTORY = 0x10
FILE_ATTRIBUTE_ARCHIVE = 0x20

NO_ERROR = 0
ERROR_FILE_NOT_FOUND = 2
ERROR_PATH_NOT_FOUND = 3
ERROR_ACCESS_DENIED = 5
ERROR_INVALID_HANDLE = 6
ERROR_WRITE_FAULT = 29
ERROR_READ_FAULT = 30
ERROR_SHARING_VIOLATION = 32
ERROR_FILE_EXISTS = 80
ERROR_INVALID_PARAMETER = 87
ERROR_INVALID_NAME = 123
ERROR_ALREADY_EXISTS = 183

# Characters no name on the device may hold.
_FORBIDDEN = set('<>:"|?*') | {chr(c) for c in range(32)}

# Handles of this table: far from 0 and from INVALID_HANDLE_VALUE, a step
# of 4 as the device's own, never reused within a run.
_FIRST_HANDLE = 0x0C000004

OpenFileView = collections.namedtuple("OpenFileView", "handle path access share position")

# Other stand-ins whose handles CloseHandle may be given: each is
# close(dev, handle) -> True when the handle was its own (and is closed now).
other_handle_owners = []


def _fold(name):
    """A name as the device compares it: case ignored, one character for one."""
    return "".join(c.lower() if len(c.lower()) == 1 else c for c in name)


def _parts(device_path):
    """The names along a device path; ValueError for one the device cannot hold."""
    text = device_path.replace("/", "\\")
    # Scenarios may write "C:\..."; the device itself has no drives.
    if len(text) >= 2 and text[1] == ":" and text[0] in "cC":
        text = text[2:]
    parts = [part for part in text.split("\\") if part]
    for part in parts:
        if part in (".", "..") or any(c in _FORBIDDEN for c in part):
            raise ValueError(f"{device_path!r} is no path the device can hold")
    return parts


def _match(folder, name):
    """The name under folder that the device would take for `name`."""
    if os.path.lexists(folder / name):
        return name
    try:
        names = sorted(os.listdir(folder))
    except OSError:
        return name
    wanted = _fold(name)
    for existing in names:
        if _fold(existing) == wanted:
            return existing
    return name


def host_path(dev, device_path):
    """The host path of a device path: from dev.root, each name matched
    without regard to case against what exists, as the given name where
    nothing does. ValueError for a path the device cannot hold."""
    where = pathlib.Path(dev.root)
    for part in _parts(device_path):
        where = where / _match(where, part)
    return where


def _locate(dev, device_path):
    """(host path, what is there): "file", "folder", "missing" (its folder
    exists), "no-path" (a folder on the way is missing or a file) or
    "invalid" (host path None)."""
    try:
        parts = _parts(device_path)
    except ValueError:
        return None, "invalid"
    where = pathlib.Path(dev.root)
    for index, part in enumerate(parts):
        if index and not where.is_dir():
            return where / part, "no-path"
        where = where / _match(where, part)
    if where.is_dir():
        return where, "folder"
    if where.exists():
        return where, "file"
    if where.parent.is_dir() or not parts:
        return where, "missing"
    return where, "no-path"


def kind(dev, device_path):
    """"file", "folder" or None for what the device finds at a path; never
    raises, a path the device cannot hold holds nothing."""
    what = _locate(dev, device_path)[1]
    return what if what in ("file", "folder") else None


def _missing_error(what):
    return {"missing": ERROR_FILE_NOT_FOUND, "no-path": ERROR_PATH_NOT_FOUND,
            "invalid": ERROR_INVALID_NAME}[what]


def _identity(path):
    info = os.stat(path)
    return info.st_dev, info.st_ino


def _read_only(path):
    return not os.access(path, os.W_OK)


class OpenFile:
    def __init__(self, handle, device_path, host, access, share, fd):
        self.handle, self.device_path, self.host = handle, device_path, host
        self.access, self.share, self.fd = access, share, fd
        self.identity = _identity(host)
        self.position = 0


class FileTable:
    """The files the program holds open, by handle."""

    def __init__(self, dev):
        self.dev = dev
        self.files = {}
        self.next_handle = _FIRST_HANDLE

    def add(self, device_path, host, access, share, fd):
        handle = self.next_handle
        self.next_handle += 4
        self.files[handle] = OpenFile(handle, device_path, host, access, share, fd)
        return self.files[handle]

    def open_on(self, path):
        """The open files that are the file at path."""
        try:
            identity = _identity(path)
        except OSError:
            return []
        return [f for f in self.files.values() if f.identity == identity]

    def conflicts(self, path, access, share):
        """Whether an open for access with share clashes with one already held."""
        data = GENERIC_READ | GENERIC_WRITE
        if not access & data:  # an open that only asks about the file shares with all
            return False
        for held in self.open_on(path):
            if not held.access & data:
                continue
            if access & GENERIC_READ and not held.share & FILE_SHARE_READ:
                return True
            if access & GENERIC_WRITE and not held.share & FILE_SHARE_WRITE:
                return True
            if held.access & GENERIC_READ and not share & FILE_SHARE_READ:
                return True
            if held.access & GENERIC_WRITE and not share & FILE_SHARE_WRITE:
                return True
        return False


def table(dev):
    return dev.service("files", FileTable)


def open_handles(dev):
    """The files the program holds open: (handle, device path, access, share, position)."""
    return [OpenFileView(f.handle, f.device_path, f.access, f.share, f.position)
            for f in table(dev).files.values()]


def _set_error(dev, code):
    proc = getattr(dev, "proc", None)
    if proc is not None and hasattr(proc, "last_error"):
        setattr(proc, "last_error", code)


def _fail(dev, code, result=0):
    _set_error(dev, code)
    return result


@api("COREDLL", "CreateFileW", 7)
def CreateFileW(dev, name, access, share, security, disposition, flags, template):
    # The device ignores the security attributes and the template file.
    device_path = dev.mem.wstr(name)
    files = table(dev)
    if disposition not in (CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS,
                           TRUNCATE_EXISTING):
        return _fail(dev, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE)
    if disposition == TRUNCATE_EXISTING and not access & GENERIC_WRITE:
        return _fail(dev, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE)
    host, what = _locate(dev, device_path)
    if what == "folder":  # a folder is never opened as a file
        return _fail(dev, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE)
    if what in ("no-path", "invalid"):
        return _fail(dev, _missing_error(what), INVALID_HANDLE_VALUE)

    existed = what == "file"
    if existed:
        if disposition == CREATE_NEW:
            return _fail(dev, ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE)
        if files.conflicts(host, access, share):
            return _fail(dev, ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE)
        truncate = disposition in (CREATE_ALWAYS, TRUNCATE_EXISTING)
        if _read_only(host) and (access & GENERIC_WRITE or truncate):
            return _fail(dev, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE)
    else:
        if disposition in (OPEN_EXISTING, TRUNCATE_EXISTING):
            return _fail(dev, ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE)
        truncate = False

    mode = {GENERIC_READ: os.O_RDONLY, GENERIC_WRITE: os.O_WRONLY,
            GENERIC_READ | GENERIC_WRITE: os.O_RDWR}.get(access & (GENERIC_READ | GENERIC_WRITE),
                                                         os.O_RDONLY)
    if not existed:
        mode |= os.O_CREAT | os.O_EXCL
    if truncate:
        mode |= os.O_TRUNC
    try:
        fd = os.open(host, mode | getattr(os, "O_BINARY", 0), 0o666)
    except OSError:
        return _fail(dev, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE)
    opened = files.add(device_path, host, access, share, fd)
    _set_error(dev, ERROR_ALREADY_EXISTS if existed and disposition in (CREATE_ALWAYS, OPEN_ALWAYS)
               else NO_ERROR)
    return opened.handle


def _open_for_transfer(dev, call, handle, access, count_pointer, overlapped):
    """The open file a ReadFile or WriteFile works on, or None with the error set."""
    if overlapped:
        raise Failure(f"{call}: given an OVERLAPPED record ({overlapped:#010x}); the handheld has "
                      "no overlapped file I/O")
    if not count_pointer:
        raise Failure(f"{call}: the pointer for the byte count is NULL; the handheld needs it")
    dev.mem.put_u32(count_pointer, 0)
    opened = table(dev).files.get(handle)
    if opened is None:
        _fail(dev, ERROR_INVALID_HANDLE)
    elif not opened.access & access:
        _fail(dev, ERROR_ACCESS_DENIED)
        opened = None
    return opened


@api("COREDLL", "ReadFile", 5)
def ReadFile(dev, handle, buffer, count, read_pointer, overlapped):
    opened = _open_for_transfer(dev, "ReadFile", handle, GENERIC_READ, read_pointer, overlapped)
    if opened is None:
        return 0
    if count:
        dev.mem.check(buffer, count, write=True)
    try:
        data = os.pread(opened.fd, count, opened.position) if count else b""
    except OSError:
        return _fail(dev, ERROR_READ_FAULT)
    dev.mem.write(buffer, data)
    opened.position += len(data)
    dev.mem.put_u32(read_pointer, len(data))
    _set_error(dev, NO_ERROR)
    return 1


@api("COREDLL", "WriteFile", 5)
def WriteFile(dev, handle, buffer, count, written_pointer, overlapped):
    opened = _open_for_transfer(dev, "WriteFile", handle, GENERIC_WRITE, written_pointer,
                                overlapped)
    if opened is None:
        return 0
    data = dev.mem.read(buffer, count)
    done = 0
    try:
        while done < len(data):
            done += os.pwrite(opened.fd, data[done:], opened.position + done)
    except OSError:
        opened.position += done
        dev.mem.put_u32(written_pointer, done)
        return _fail(dev, ERROR_WRITE_FAULT)
    opened.position += done
    dev.mem.put_u32(written_pointer, done)
    _set_error(dev, NO_ERROR)
    return 1


@api("COREDLL", "FlushFileBuffers", 1)
def FlushFileBuffers(dev, handle):
    # Every write is in the host file already.
    if handle not in table(dev).files:
        return _fail(dev, ERROR_INVALID_HANDLE)
    return 1


@api("COREDLL", "CloseHandle", 1)
def CloseHandle(dev, handle):
    files = table(dev).files
    opened = files.pop(handle, None)
    if opened is None:
        for owner in other_handle_owners:
            if owner(dev, handle):
                return 1
        return _fail(dev, ERROR_INVALID_HANDLE)
    os.close(opened.fd)
    return 1


@api("COREDLL", "GetFileSize", 2)
def GetFileSize(dev, handle, high_pointer):
    opened = table(dev).files.get(handle)
    if opened is None:
        return _fail(dev, ERROR_INVALID_HANDLE, INVALID_FILE_SIZE)
    size = os.fstat(opened.fd).st_size
    if high_pointer:
        dev.mem.put_u32(high_pointer, size >> 32)
    # A size whose low part is 0xFFFFFFFF is told from a failure by the error.
    _set_error(dev, NO_ERROR)
    return size & 0xFFFFFFFF


@api("COREDLL", "GetFileAttributesW", 1)
def GetFileAttributesW(dev, name):
    host, what = _locate(dev, dev.mem.wstr(name))
    if what == "folder":
        return FILE_ATTRIBUTE_DIRECTORY
    if what != "file":
        return _fail(dev, _missing_error(what), INVALID_FILE_ATTRIBUTES)
    # The device marks every file it wrote for backup.
    attributes = FILE_ATTRIBUTE_ARCHIVE
    if _read_only(host):
        attributes |= FILE_ATTRIBUTE_READONLY
    return attributes


@api("COREDLL", "MoveFileW", 2)
def MoveFileW(dev, existing, new):
    source_path, target_path = dev.mem.wstr(existing), dev.mem.wstr(new)
    source, what = _locate(dev, source_path)
    if what not in ("file", "folder"):  # CE's MoveFile moves a folder too, whole
        return _fail(dev, _missing_error(what))
    if what == "file" and table(dev).open_on(source) or what == "folder" and any(
            source in held.host.parents for held in table(dev).files.values()):
        return _fail(dev, ERROR_SHARING_VIOLATION)
    target, where = _locate(dev, target_path)
    if where in ("no-path", "invalid"):
        return _fail(dev, _missing_error(where))
    if where != "missing":
        same = where == what and _identity(target) == _identity(source)
        if not same:
            return _fail(dev, ERROR_ALREADY_EXISTS)
        # Only the case of the name changes: the name as given this time.
        target = target.parent / _parts(target_path)[-1]
    try:
        os.rename(source, target)
    except OSError:
        return _fail(dev, ERROR_ACCESS_DENIED)
    return 1


@api("COREDLL", "DeleteFileW", 1)
def DeleteFileW(dev, name):
    host, what = _locate(dev, dev.mem.wstr(name))
    if what == "folder":
        return _fail(dev, ERROR_ACCESS_DENIED)
    if what != "file":
        return _fail(dev, _missing_error(what))
    if table(dev).open_on(host):
        return _fail(dev, ERROR_SHARING_VIOLATION)
    if _read_only(host):
        return _fail(dev, ERROR_ACCESS_DENIED)
    try:
        os.unlink(host)
    except OSError:
        return _fail(dev, ERROR_ACCESS_DENIED)
    return 1
