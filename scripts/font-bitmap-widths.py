#!/usr/bin/env python3
"""Gives a TrueType font the advance widths of its own bitmaps at one size.

Wine's Tahoma carries hand-made bitmaps for 8 pt (11 pixels per em), which
Wine draws when font smoothing is off, but it measures text from the outlines,
which are wider at that size: text is laid out for one set of widths and drawn
in another. An hdmx record for that size holds the bitmaps' widths, so that
FreeType (with its version 35 interpreter, which honours hdmx) measures what
is drawn. Glyphs without a bitmap keep their outline width. A font that has an
hdmx table already is left alone.
    font-bitmap-widths.py FONT PIXELS_PER_EM
"""
import os
import struct
import sys


def tables_of(font):
    count, = struct.unpack_from(">H", font, 4)
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from(">4sIII", font, 12 + 16 * i)
        tables[tag.decode("latin-1")] = font[offset:offset + length]
    return tables


def bitmap_widths(eblc, ebdt, ppem):
    """Advance widths of the glyphs in the strike of ppem, by glyph id."""
    strikes, = struct.unpack_from(">I", eblc, 4)
    for s in range(strikes):
        size = 8 + 48 * s
        if eblc[size + 44] == ppem and eblc[size + 45] == ppem:
            break
    else:
        sys.exit(f"no bitmaps of {ppem} pixels per em")
    array, = struct.unpack_from(">I", eblc, size)
    subtables, = struct.unpack_from(">I", eblc, size + 8)
    widths = {}
    for k in range(subtables):
        first, last, extra = struct.unpack_from(">HHI", eblc, array + 8 * k)
        sub = array + extra
        index_format, image_format, image_offset = struct.unpack_from(">HHI", eblc, sub)
        glyphs = range(first, last + 1)
        if index_format in (2, 5):  # one set of big metrics for the whole range
            for g in glyphs:
                widths[g] = eblc[sub + 12 + 4]
            continue
        if index_format not in (1, 3):
            sys.exit(f"bitmap index format {index_format} is not read here")
        step, code = (4, ">I") if index_format == 1 else (2, ">H")
        for j, g in enumerate(glyphs):
            start, end = (struct.unpack_from(code, eblc, sub + 8 + step * (j + n))[0] for n in (0, 1))
            if end == start:
                continue  # no bitmap for this glyph
            if image_format not in (1, 2, 6, 7, 8, 9):
                sys.exit(f"bitmap image format {image_format} is not read here")
            # Small and big metrics both hold the advance in their fifth byte.
            widths[g] = ebdt[image_offset + start + 4]
    return widths


def hdmx_record(tables, ppem):
    units, = struct.unpack_from(">H", tables["head"], 18)
    metrics, = struct.unpack_from(">H", tables["hhea"], 34)
    glyphs, = struct.unpack_from(">H", tables["maxp"], 4)
    bitmaps = bitmap_widths(tables["EBLC"], tables["EBDT"], ppem)

    def outline(g):
        advance, = struct.unpack_from(">H", tables["hmtx"], 4 * min(g, metrics - 1))
        return (advance * ppem + units // 2) // units

    widths = bytes(bitmaps.get(g, outline(g)) for g in range(glyphs))
    record = bytes([ppem, max(widths)]) + widths
    record += bytes(-len(record) % 4)
    return struct.pack(">HhI", 0, 1, len(record)) + record


def with_table(font, tables, tag, data):
    tables = dict(tables, **{tag: data})
    tags = sorted(tables)
    search = 1
    while search * 2 <= len(tags):
        search *= 2
    header = font[:4] + struct.pack(">HHHH", len(tags), search * 16, search.bit_length() - 1,
                                    (len(tags) - search) * 16)
    directory, body = b"", b""
    offset = 12 + 16 * len(tags)
    for t in tags:
        table = tables[t]
        words = table + bytes(-len(table) % 4)
        checksum = sum(struct.unpack(f">{len(words) // 4}I", words)) & 0xFFFFFFFF
        directory += struct.pack(">4sIII", t.encode("latin-1"), checksum, offset + len(body), len(table))
        body += words
    return header + directory + body


def main(path, ppem):
    with open(path, "rb") as f:
        font = f.read()
    tables = tables_of(font)
    if "hdmx" in tables or "EBLC" not in tables:
        return
    font = with_table(font, tables, "hdmx", hdmx_record(tables, ppem))
    with open(path + ".tmp", "wb") as f:
        f.write(font)
    os.replace(path + ".tmp", path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: font-bitmap-widths.py FONT PIXELS_PER_EM")
    main(sys.argv[1], int(sys.argv[2]))
