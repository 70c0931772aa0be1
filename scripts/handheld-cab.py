#!/usr/bin/env python3
"""Puts the handheld's tamlink.exe into tamlink.cab, the cabinet a Pocket PC
installs a program from: tapped in File Explorer, it copies the program to
\\Program Files\\Tamlink PPC, adds it to the Start menu and to Remove Programs.

The cabinet is an uncompressed MS-CAB of one folder, written by gcab. Its
members have flat 8.3 names whose extension is the file's id: the control
file first (.000, which tells the device's installer what goes where), then
the program (.001). Member dates are SOURCE_DATE_EPOCH, so the same sources
give the same bytes.
    handheld-cab.py CE_DIR   (reads CE_DIR/tamlink.exe, writes CE_DIR/tamlink.cab)
"""
import os
import shutil
import struct
import subprocess
import sys

APP = "Tamlink PPC"
PROVIDER = "Tamlink"
PROGRAM = "tamlink.exe"
ARM = 2577  # SYSTEM_INFO.dwProcessorType of the StrongARM and XScale Pocket PCs
MIN_CE = (3, 0)
PROGRAM_FILES, START_MENU_PROGRAMS = 1, 11  # %CE1%, %CE11%
STEM = "0tamlink"  # the program's name, padded with '0' to 8 characters in front


def text(value):
    """A string of the control file: NUL-terminated, NUL-padded to a multiple of 4."""
    data = value.encode("ascii") + b"\0"
    return data + b"\0" * (-len(data) % 4)


def control_file():
    strings = {1: f"%CE{PROGRAM_FILES}%", 2: APP, 3: f"{APP}.lnk"}
    program = text(PROGRAM)
    sections = [
        text(APP),
        text(PROVIDER),
        b"".join(struct.pack("<HH", i, len(text(s))) + text(s) for i, s in strings.items()),
        # Directory 1: %CE1%\Tamlink PPC, its string ids ending with a 0.
        struct.pack("<HH3H", 1, 6, 1, 2, 0),
        # File 1 (the .001 member) into directory 1, no flags.
        struct.pack("<HHHIH", 1, 1, 1, 0, len(program)) + program,
        # Shortcut 1 in %CE11% to file 1, named by string 3; no closing 0.
        struct.pack("<7H", 1, 0, START_MENU_PROGRAMS, 1, 1, 2, 3),
    ]
    offsets, at = [], 100
    for section in sections:
        offsets.append(at)
        at += len(section) + (-len(section) % 4)
    appname, provider, strings_at, dirs, files, links = offsets
    header = struct.pack(
        "<4s11I6H6I8H", b"MSCE", 0, at, 0, 1, ARM, *MIN_CE, 0, 0, 0, 0,
        len(strings), 1, 1, 0, 0, 1,  # strings, dirs, files, hives, keys, links
        strings_at, dirs, files, links, links, links,  # no registry: empty at the links
        appname, len(sections[0]), provider, len(sections[1]), strings_at, 0, 0, 0)
    body = b"".join(s + b"\0" * (-len(s) % 4) for s in sections)
    return header + body


def main(out):
    work = os.path.join(out, "cab")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    members = [f"{STEM}.000", f"{STEM}.001"]
    with open(os.path.join(work, members[0]), "wb") as f:
        f.write(control_file())
    shutil.copyfile(os.path.join(out, PROGRAM), os.path.join(work, members[1]))
    date = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    for member in members:
        os.utime(os.path.join(work, member), (date, date))
    cab = os.path.abspath(os.path.join(out, "tamlink.cab"))
    # gcab writes members in the order named, dated in local time: UTC here.
    subprocess.run(["gcab", "--create", "--nopath", cab] + members, cwd=work, check=True,
                   env=dict(os.environ, TZ="UTC"))
    print(f"{cab}: {os.path.getsize(cab)} bytes: {', '.join(members)}")


if __name__ == "__main__":
    main(sys.argv[1])
