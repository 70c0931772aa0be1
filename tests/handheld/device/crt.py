"""The C library that coredll exports, as Microsoft's C run-time reference for
Windows CE gives it: the wide printf family (in which %s is a wide text),
the string and memory routines, and the code page conversions (the device's
ANSI code page, 1252)."""
import re

from api import api, signed
from memory import Failure

FORMAT = re.compile(r"%([-+ #0]*)(\*|\d+)?(?:\.(\*|\d+))?(hh|h|ll|l|w|I64|I32|I)?([a-zA-Z%])")


def format_wide(mem, template, next_argument):
    """What the wide printf functions write; next_argument() gives each 32-bit argument."""
    out = []
    position = 0
    for match in FORMAT.finditer(template):
        out.append(template[position:match.start()])
        position = match.end()
        flags, width, precision, size, kind = match.groups()
        if kind == "%":
            out.append("%")
            continue
        if width == "*":
            width = signed(next_argument())
        if precision == "*":
            precision = signed(next_argument())
        width = int(width) if width not in (None, "") else 0
        precision = int(precision) if precision not in (None, "") else None
        if size in ("ll", "I64"):
            raise Failure(f"{mem.call}: a 64-bit argument ({match.group(0)}), which the "
                          "program never passes")
        if kind in "di":
            value = signed(next_argument())
            text = str(abs(value))
            if precision is not None:
                text = text.rjust(precision, "0")
            sign = "-" if value < 0 else "+" if "+" in flags else " " if " " in flags else ""
            text = sign + text
        elif kind in "uxXo":
            value = next_argument()
            text = {"u": "%d", "x": "%x", "X": "%X", "o": "%o"}[kind] % value
            if precision is not None:
                text = text.rjust(precision, "0")
        elif kind in "sS":
            pointer = next_argument()
            # In the wide functions %s is wide and %S narrow; h and l/w say it outright.
            wide = size in ("l", "w") or (size != "h" and kind == "s")
            if pointer == 0:
                text = "(null)"
            elif wide:
                text = mem.wstr(pointer, precision)
            else:
                text = mem.astr(pointer, precision).decode("cp1252", "replace")
            if precision is not None:
                text = text[:precision]
        elif kind in "cC":
            text = chr(next_argument() & 0xFFFF)
        else:
            raise Failure(f"{mem.call}: the format {match.group(0)!r}, which the stand-in "
                          "does not know")
        if len(text) < width:
            if "-" in flags:
                text = text.ljust(width)
            elif "0" in flags and kind in "diuxXo":
                sign = text[0] if text[:1] in "-+ " and kind in "di" else ""
                text = sign + text[len(sign):].rjust(width - len(sign), "0")
            else:
                text = text.rjust(width)
        out.append(text)
    out.append(template[position:])
    return "".join(out)


def _utf16_units(text):
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


@api("COREDLL", "_vsnwprintf", 4)
def _vsnwprintf(dev, buffer, count, template, arguments):
    mem = dev.mem
    cursor = [arguments]

    def next_argument():
        value = mem.u32(cursor[0])
        cursor[0] += 4
        return value
    text = format_wide(mem, mem.wstr(template, 4096), next_argument)
    units = text.encode("utf-16-le", "surrogatepass")
    if len(units) // 2 > count:  # cut, without a terminator, and -1
        mem.write(buffer, units[: 2 * count])
        return 0xFFFFFFFF
    mem.write(buffer, units + (b"\0\0" if len(units) // 2 < count else b""))
    return len(units) // 2


@api("COREDLL", "wsprintfW", 2)
def wsprintfW(dev, buffer, template):
    index = [2]

    def next_argument():
        value = dev.proc.arg(index[0])
        index[0] += 1
        return value
    text = format_wide(dev.mem, dev.mem.wstr(template, 4096), next_argument)[:1024]
    return dev.mem.put_wstr(buffer, text, 1025)


@api("COREDLL", "wcslen", 1)
def wcslen(dev, text):
    return _utf16_units(dev.mem.wstr(text))


def _units(mem, address):
    text = mem.wstr(address)
    data = text.encode("utf-16-le", "surrogatepass")
    return [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]


def _compare(first, second):
    for a, b in zip(first, second):
        if a != b:
            return -1 if a < b else 1
    return (len(first) > len(second)) - (len(first) < len(second))


@api("COREDLL", "wcscmp", 2)
def wcscmp(dev, first, second):
    return _compare(_units(dev.mem, first), _units(dev.mem, second)) & 0xFFFFFFFF


def _lower(unit):
    char = chr(unit)
    lowered = char.lower() if not 0xD800 <= unit <= 0xDFFF else char
    return ord(lowered) if len(lowered) == 1 else unit


@api("COREDLL", "_wcsicmp", 2)
def _wcsicmp(dev, first, second):
    # Both are lowered before they are compared, as Microsoft's _wcsicmp does.
    return _compare([_lower(u) for u in _units(dev.mem, first)],
                    [_lower(u) for u in _units(dev.mem, second)]) & 0xFFFFFFFF


@api("COREDLL", "memcmp", 3)
def memcmp(dev, first, second, count):
    a, b = dev.mem.read(first, count), dev.mem.read(second, count)
    return 0 if a == b else (-1 if a < b else 1) & 0xFFFFFFFF


@api("COREDLL", "memcpy", 3)
def memcpy(dev, target, source, count):
    dev.mem.write(target, dev.mem.read(source, count))
    return target


@api("COREDLL", "memset", 3)
def memset(dev, target, value, count):
    dev.mem.fill(target, value, count)
    return target


def _decode_1252(data):
    # The five bytes 1252 leaves undefined come back as the control characters
    # of the same value, as the device's MultiByteToWideChar gives them.
    return "".join(bytes([b]).decode("cp1252") if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D)
                   else chr(b) for b in data)


def _encode_1252(text, default):
    out = bytearray()
    used = False
    for char in text:
        if char in "\x81\x8d\x8f\x90\x9d":
            out.append(ord(char))
            continue
        try:
            out += char.encode("cp1252")
        except UnicodeEncodeError:
            out += default
            used = True
    return bytes(out), used


def _code_page(page, call):
    if page not in (0, 1252, 1):  # CP_ACP, 1252, CP_OEMCP on an English device
        raise Failure(f"{call}: code page {page}, which the program never uses")


@api("COREDLL", "MultiByteToWideChar", 6)
def MultiByteToWideChar(dev, page, flags, source, length, target, chars):
    mem = dev.mem
    _code_page(page, "MultiByteToWideChar")
    length = signed(length)
    data = mem.astr(source) + b"\0" if length == -1 else mem.read(source, length)
    units = _decode_1252(data).encode("utf-16-le", "surrogatepass")
    needed = len(units) // 2
    if chars == 0:
        return needed
    if needed > chars:
        return 0  # ERROR_INSUFFICIENT_BUFFER
    mem.write(target, units)
    return needed


@api("COREDLL", "WideCharToMultiByte", 8)
def WideCharToMultiByte(dev, page, flags, source, chars, target, size, default, used):
    mem = dev.mem
    _code_page(page, "WideCharToMultiByte")
    chars = signed(chars)
    if chars == -1:
        text = mem.wstr(source) + "\0"
    else:
        text = mem.read(source, 2 * chars).decode("utf-16-le", "surrogatepass")
    fallback = mem.read(default, 1) if default else b"?"
    data, was_used = _encode_1252(text, fallback)
    if used:
        mem.put_u32(used, 1 if was_used else 0)
    if size == 0:
        return len(data)
    if len(data) > size:
        return 0
    mem.write(target, data)
    return len(data)
