#!/usr/bin/env python3
"""Reads a Windows CE cabinet's control file (the .000 member) as the device's
installer would, and prints what it asks for, one line a field, for the
cabinet check to compare. Fails on any length, offset or id that does not
hold: the file's own length, a section or string reaching past the end, a
string without its NUL, a list without its closing 0, an id never defined.
    cab-control-read.py FILE.000
"""
import struct
import sys

HEADER = "<4s11I6H6I8H"
SECTIONS = ("strings", "dirs", "files", "hives", "keys", "links")


def fail(why):
    sys.exit(f"control file: {why}")


class Reader:
    def __init__(self, data):
        self.data = data

    def take(self, at, form):
        if at < 0 or at + struct.calcsize(form) > len(self.data):
            fail(f"{form} at {at} reaches past the end ({len(self.data)} bytes)")
        return struct.unpack_from(form, self.data, at)

    def string(self, at, length):
        raw = self.take(at, f"{length}s")[0]
        if b"\0" not in raw:
            fail(f"the string at {at} has no NUL within its {length} bytes")
        return raw.split(b"\0")[0].decode("ascii")

    def ids(self, at, length, closed):
        if length % 2:
            fail(f"an id list at {at} of {length} bytes, not a whole number of ids")
        ids = list(self.take(at, f"<{length // 2}H"))
        if closed != (ids[-1:] == [0]):
            fail(f"the id list at {at} " + ("lacks its closing 0" if closed else "ends with a 0"))
        return ids[:-1] if closed else ids


def read(data):
    r = Reader(data)
    h = r.take(0, HEADER)
    magic, _, length, _, _, arch, min_major, min_minor, max_major, max_minor, build_min, build_max = h[:12]
    counts = dict(zip(SECTIONS, h[12:18]))
    offsets = dict(zip(SECTIONS, h[18:24]))
    app_at, app_len, provider_at, provider_len, unsupported_at, unsupported_len = h[24:30]
    if magic != b"MSCE":
        fail(f"begins with {magic!r}, not MSCE")
    if length != len(data):
        fail(f"says it is {length} bytes long; it is {len(data)}")
    lines = [f"application {r.string(app_at, app_len)}",
             f"provider {r.string(provider_at, provider_len)}",
             f"processor {arch}",
             f"minimum Windows CE {min_major}.{min_minor}, build {build_min}",
             f"maximum Windows CE {max_major}.{max_minor}, build {build_max}",
             f"unsupported {r.string(unsupported_at, unsupported_len) if unsupported_len else '-'}"]

    strings, at = {}, offsets["strings"]
    for _ in range(counts["strings"]):
        sid, slen = r.take(at, "<HH")
        strings[sid] = r.string(at + 4, slen)
        at += 4 + slen

    def named(sid):
        if sid not in strings:
            fail(f"string {sid} is used but not defined")
        return strings[sid]

    dirs, at = {}, offsets["dirs"]
    for _ in range(counts["dirs"]):
        did, dlen = r.take(at, "<HH")
        dirs[did] = "\\".join(named(s) for s in r.ids(at + 4, dlen, closed=True))
        lines.append(f"directory {did} {dirs[did]}")
        at += 4 + dlen

    files, at = {}, offsets["files"]
    for _ in range(counts["files"]):
        fid, did, _, flags, flen = r.take(at, "<HHHIH")
        if did not in dirs:
            fail(f"file {fid} goes to directory {did}, which is not defined")
        files[fid] = f"{dirs[did]}\\{r.string(at + 12, flen)}"
        lines.append(f"file {fid} (member .{fid:03d}) {files[fid]}, flags {flags:#x}")
        at += 12 + flen

    for section in ("hives", "keys"):
        lines.append(f"registry {section} {counts[section]}")

    at = offsets["links"]
    for _ in range(counts["links"]):
        lid, _, base, target, kind, llen = r.take(at, "<6H")
        where = f"%CE{base}%" if base else "%InstallDir%"
        name = "\\".join(named(s) for s in r.ids(at + 12, llen, closed=False))
        if kind != 1 or target not in files:
            fail(f"shortcut {lid} points to {target} of type {kind}, not a defined file")
        lines.append(f"shortcut {lid} {where}\\{name} -> file {target}")
        at += 12 + llen
    return lines


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print("\n".join(read(f.read())))
