#!/usr/bin/env python3
"""Build tamlink.ico and logo.bmp from the hand-drawn XPM sources next to this script.

The .rc file wants binary formats, but pixel art is easier to edit and review as
text, so the XPMs are the sources and this script is the only way the binaries
are made. Standard library only, output is byte-for-byte reproducible.

Usage: python3 resources/art/make_art.py   (works from any directory)
"""

import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours every Windows display can show, in the order Windows uses for
# 4-bpp bitmaps. Icons are kept to these so they look the same on any device.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
WHITE = (0xFF, 0xFF, 0xFF)


class ArtError(Exception):
    pass


def read_xpm(path):
    """Return (width, height, rows) where rows[y][x] is an (r, g, b) tuple or None.

    Only the subset these files use is accepted: one character per pixel and
    colours given as "c #RRGGBB" or "c None".
    """
    with open(path, 'r', encoding='ascii') as f:
        text = f.read()
    text = re.sub(r'/\*.*?\*/', '', text, flags=re.S)
    strings = re.findall(r'"([^"\\]*)"', text)
    if not strings:
        raise ArtError('%s: no XPM data' % path)
    header = strings[0].split()
    if len(header) < 4:
        raise ArtError('%s: bad XPM header %r' % (path, strings[0]))
    width, height, ncolors, cpp = (int(v) for v in header[:4])
    if cpp != 1:
        raise ArtError('%s: only 1 char per pixel is supported' % path)
    if len(strings) != 1 + ncolors + height:
        raise ArtError('%s: expected %d strings, found %d'
                       % (path, 1 + ncolors + height, len(strings)))

    colours = {}
    for entry in strings[1:1 + ncolors]:
        key, rest = entry[0], entry[1:].split()
        try:
            value = rest[rest.index('c') + 1]
        except (ValueError, IndexError):
            raise ArtError('%s: colour %r has no "c" value' % (path, entry))
        if value.lower() == 'none':
            colours[key] = None
        elif re.fullmatch(r'#[0-9A-Fa-f]{6}', value):
            colours[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
        else:
            raise ArtError('%s: unsupported colour %r' % (path, value))

    rows = []
    for y, line in enumerate(strings[1 + ncolors:]):
        if len(line) != width:
            raise ArtError('%s: row %d is %d pixels wide, expected %d'
                           % (path, y, len(line), width))
        try:
            rows.append([colours[ch] for ch in line])
        except KeyError as e:
            raise ArtError('%s: row %d uses undefined colour %s' % (path, y, e))
    return width, height, rows


def stride(width, bpp):
    # DIB rows are padded to a whole number of 32-bit words.
    return (width * bpp + 31) // 32 * 4


def bitmap_info_header(width, height, bpp, image_size, clr_used):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0,
                       image_size, 0, 0, clr_used, 0)


def rgbquads(palette):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)


def icon_image(path):
    """One 4-bpp icon image (header, palette, XOR bits, AND mask) as bytes."""
    width, height, rows = read_xpm(path)
    xor_stride, and_stride = stride(width, 4), stride(width, 1)
    xor_bits = bytearray()
    and_bits = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        xor_row = bytearray(xor_stride)
        and_row = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is None:
                # Transparent: mask bit set and colour black, so the screen
                # shows through unchanged.
                index = 0
                and_row[x // 8] |= 0x80 >> (x % 8)
            elif colour in VGA:
                index = VGA.index(colour)
            else:
                raise ArtError('%s: #%02X%02X%02X is not one of the 16 VGA colours'
                               % ((path,) + colour))
            xor_row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor_bits += xor_row
        and_bits += and_row
    # An icon's DIB height counts the XOR and AND halves together.
    header = bitmap_info_header(width, height * 2, 4, len(xor_bits) + len(and_bits), 0)
    return width, height, header + rgbquads(VGA) + bytes(xor_bits) + bytes(and_bits)


def write_ico(out_path, xpm_paths):
    images = [icon_image(p) for p in xpm_paths]
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for width, height, data in images:
        if width > 255 or height > 255:
            raise ArtError('icon images must be at most 255 pixels')
        directory += struct.pack('<BBBBHHII', width, height, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(out_path, 'wb') as f:
        f.write(directory)
        for _, _, data in images:
            f.write(data)


def write_bmp(out_path, xpm_path):
    """8-bpp BMP with a full 256-entry table; transparent pixels become white."""
    width, height, rows = read_xpm(xpm_path)
    # VGA colours keep their usual indices; anything else is appended in the
    # order it first appears, so the table is stable between runs.
    palette = list(VGA)
    pixels = [[WHITE if c is None else c for c in row] for row in rows]
    for row in pixels:
        for colour in row:
            if colour not in palette:
                palette.append(colour)
    if len(palette) > 256:
        raise ArtError('%s: more than 256 colours' % xpm_path)
    index = {c: i for i, c in enumerate(palette)}
    palette += [(0, 0, 0)] * (256 - len(palette))

    row_stride = stride(width, 8)
    bits = bytearray()
    for row in reversed(pixels):
        line = bytearray(index[c] for c in row)
        line += bytes(row_stride - len(line))
        bits += line

    table = rgbquads(palette)
    info = bitmap_info_header(width, height, 8, len(bits), 256)
    off_bits = 14 + len(info) + len(table)
    file_header = struct.pack('<2sIHHI', b'BM', off_bits + len(bits), 0, 0, off_bits)
    with open(out_path, 'wb') as f:
        f.write(file_header + info + table + bytes(bits))


def main():
    def p(name):
        return os.path.join(HERE, name)
    try:
        write_ico(p('tamlink.ico'), [p('icon32.xpm'), p('icon16.xpm')])
        write_bmp(p('logo.bmp'), p('logo.xpm'))
    except (ArtError, OSError) as e:
        sys.stderr.write('make_art: %s\n' % e)
        return 1
    for name in ('tamlink.ico', 'logo.bmp'):
        print('%s: %d bytes' % (name, os.path.getsize(p(name))))
    return 0


if __name__ == '__main__':
    sys.exit(main())
