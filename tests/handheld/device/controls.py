"""The device's own controls, as GWES and commctrl keep them: button, edit,
static, combo box and list view, each answering the messages of its kind and
telling its parent what a tap or a key did, as the real ones do."""
from api import ArmCall, signed
from memory import Failure
from windows import (WM_CHAR, WM_COMMAND, WM_ENABLE, WM_GETTEXT, WM_GETTEXTLENGTH,
                     WM_LBUTTONDOWN, WM_LBUTTONUP, WM_NOTIFY, WM_SETREDRAW, WM_SETTEXT)

BN_CLICKED, EN_CHANGE, EN_UPDATE, CBN_SELCHANGE = 0, 0x0300, 0x0400, 1
BS_TYPEMASK, BS_GROUPBOX = 0x0F, 0x07
ES_MULTILINE, ES_READONLY, ES_NUMBER = 0x0004, 0x0800, 0x2000
EM_LIMITTEXT, EM_SETLIMITTEXT, EM_GETLIMITTEXT = 0x00C5, 0x00C5, 0x00D5
BM_CLICK = 0x00F5
CB_ADDSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_GETCURSEL = 0x0143, 0x0144, 0x0146, 0x0147
CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_INSERTSTRING, CB_RESETCONTENT = 0x0148, 0x0149, 0x014A, 0x014B
CB_SETCURSEL = 0x014E
LVM_FIRST = 0x1000
LVM_GETITEMCOUNT, LVM_DELETEITEM, LVM_DELETEALLITEMS = 0x1004, 0x1008, 0x1009
LVM_GETNEXTITEM, LVM_SORTITEMS, LVM_SETEXTENDEDLISTVIEWSTYLE = 0x100C, 0x1030, 0x1036
LVM_GETEXTENDEDLISTVIEWSTYLE, LVM_SETITEMSTATE, LVM_GETITEMSTATE = 0x1037, 0x102B, 0x102C
LVM_GETITEMW, LVM_SETITEMW, LVM_INSERTITEMW = 0x104B, 0x104C, 0x104D
LVM_INSERTCOLUMNW, LVM_GETITEMTEXTW, LVM_SETITEMTEXTW = 0x1061, 0x1073, 0x1074
LVIF_TEXT, LVIF_PARAM, LVIF_STATE = 0x1, 0x4, 0x8
LVIS_FOCUSED, LVIS_SELECTED = 0x1, 0x2
LVNI_FOCUSED, LVNI_SELECTED = 0x1, 0x2
LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_INSERTITEM = -100, -101, -102
LVN_DELETEITEM, LVN_DELETEALLITEMS, NM_CLICK = -103, -104, -2
LVS_SINGLESEL = 0x0004
ROW_HEIGHT, HEADER_HEIGHT = 15, 17  # pixels of a report-view row, of the header
DEFAULT_LIMIT = 30000


def _get_text(system, window, text, chars, buffer):
    if chars == 0:
        return 0
    return system.dev.mem.put_wstr(buffer, text, chars)


def _notify_parent(system, window, code):
    if window.parent is None:
        return 0
    return (yield from system.send(window.parent.hwnd, WM_COMMAND,
                                   (code << 16) | (window.ident & 0xFFFF), window.hwnd))


def _common(system, window, message, wparam, lparam):
    """What every control answers alike; None when the message is its own kind's."""
    mem = system.dev.mem
    if message == WM_SETTEXT:
        window.text = mem.wstr(lparam, 32767) if lparam else ""
        return 1
    if message == WM_GETTEXT:
        return _get_text(system, window, window.text, wparam, lparam)
    if message == WM_GETTEXTLENGTH:
        return len(window.text)
    if message in (WM_ENABLE, WM_SETREDRAW):
        return 0
    return None


def button(system, window, message, wparam, lparam):
    if message == WM_LBUTTONDOWN:
        window.control = "pressed" if system.reachable(window) else None
        return 0
    if message == WM_LBUTTONUP:
        pressed, window.control = window.control, None
        if pressed and system.reachable(window) and (window.style & BS_TYPEMASK) != BS_GROUPBOX:
            yield from _notify_parent(system, window, BN_CLICKED)
        return 0
    if message == BM_CLICK:
        if window.enabled:
            yield from _notify_parent(system, window, BN_CLICKED)
        return 0
    result = _common(system, window, message, wparam, lparam)
    return 0 if result is None else result


def static(system, window, message, wparam, lparam):
    result = _common(system, window, message, wparam, lparam)
    return 0 if result is None else result


class EditState:
    def __init__(self):
        self.limit = DEFAULT_LIMIT


def edit(system, window, message, wparam, lparam):
    state = window.control or EditState()
    window.control = state
    if message == EM_LIMITTEXT:
        state.limit = wparam if wparam else 0x7FFFFFFE
        return 0
    if message == EM_GETLIMITTEXT:
        return state.limit
    if message == WM_CHAR:
        if not system.reachable(window) or window.style & ES_READONLY:
            return 0
        char = chr(wparam & 0xFFFF)
        if char == "\b":
            window.text = window.text[:-1]
        elif window.style & ES_NUMBER and not char.isdigit():
            return 0  # the device beeps and takes nothing
        elif char in "\r\n" and not window.style & ES_MULTILINE:
            return 0
        elif len(window.text) >= state.limit:
            return 0  # the limit: nothing more is taken
        else:
            window.text += char
        yield from _notify_parent(system, window, EN_UPDATE)
        yield from _notify_parent(system, window, EN_CHANGE)
        return 0
    result = _common(system, window, message, wparam, lparam)
    return 0 if result is None else result


class ComboState:
    def __init__(self):
        self.items = []
        self.selection = -1


def combo_box(system, window, message, wparam, lparam):
    state = window.control or ComboState()
    window.control = state
    mem = system.dev.mem
    if message == CB_ADDSTRING:
        state.items.append(mem.wstr(lparam, 32767))
        return len(state.items) - 1
    if message == CB_INSERTSTRING:
        at = signed(wparam)
        at = len(state.items) if at < 0 or at > len(state.items) else at
        state.items.insert(at, mem.wstr(lparam, 32767))
        return at
    if message == CB_DELETESTRING:
        if not 0 <= wparam < len(state.items):
            return 0xFFFFFFFF
        del state.items[wparam]
        return len(state.items)
    if message == CB_RESETCONTENT:
        state.items, state.selection = [], -1
        return 0
    if message == CB_GETCOUNT:
        return len(state.items)
    if message == CB_GETCURSEL:
        return state.selection & 0xFFFFFFFF
    if message == CB_SETCURSEL:
        index = signed(wparam)
        state.selection = index if 0 <= index < len(state.items) else -1
        return state.selection & 0xFFFFFFFF
    if message == CB_GETLBTEXTLEN:
        return len(state.items[wparam]) if wparam < len(state.items) else 0xFFFFFFFF
    if message == CB_GETLBTEXT:
        if wparam >= len(state.items):
            return 0xFFFFFFFF
        text = state.items[wparam]
        mem.write(lparam, (text + "\0").encode("utf-16-le", "surrogatepass"))
        return len(text)
    if message in (WM_GETTEXT, WM_GETTEXTLENGTH):
        text = state.items[state.selection] if state.selection >= 0 else ""
        if message == WM_GETTEXTLENGTH:
            return len(text)
        return _get_text(system, window, text, wparam, lparam)
    result = _common(system, window, message, wparam, lparam)
    return 0 if result is None else result


def choose(system, window, index):
    """A person picks an entry of the drop-down list."""
    state = window.control or ComboState()
    window.control = state
    state.selection = index
    yield from _notify_parent(system, window, CBN_SELCHANGE)


class Row:
    def __init__(self, text, param, state):
        self.texts, self.param, self.state = {0: text}, param, state


class ListState:
    def __init__(self):
        self.columns = []
        self.rows = []
        self.extended = 0
        self.pressed = None


def _words(*values):
    return b"".join((v & 0xFFFFFFFF).to_bytes(4, "little") for v in values)


def _list_notify(system, window, code, item=-1, new_state=0, old_state=0, changed=0, param=0):
    """WM_NOTIFY to the parent with an NMLISTVIEW on the stack, as commctrl sends it."""
    if window.parent is None:
        return 0
    process = system.dev.proc
    mark = process.reg_sp()
    address = process.push(_words(window.hwnd, window.ident, code, item, 0, new_state,
                                  old_state, changed, 0, 0, param, 0))
    result = yield from system.send(window.parent.hwnd, WM_NOTIFY, window.ident, address)
    process.set_sp(mark)
    return result


def _read_item(mem, address):
    mem.check(address, 36, align=4)
    return {"mask": mem.u32(address), "item": mem.s32(address + 4),
            "sub": mem.s32(address + 8), "state": mem.u32(address + 12),
            "state_mask": mem.u32(address + 16), "text": mem.u32(address + 20),
            "chars": mem.s32(address + 24), "param": mem.u32(address + 32)}


def _set_state(system, window, index, state, mask):
    """LVM_SETITEMSTATE on one row, with the notices commctrl sends; one focused
    row at most, and one selected in a single-selection list."""
    rows = window.control.rows
    row = rows[index]
    new = (row.state & ~mask) | (state & mask)
    if new == row.state:
        return
    if new & LVIS_FOCUSED:
        for other, each in enumerate(rows):
            if other != index and each.state & LVIS_FOCUSED:
                yield from _set_state(system, window, other, 0, LVIS_FOCUSED)
    if new & LVIS_SELECTED and window.style & LVS_SINGLESEL:
        for other, each in enumerate(rows):
            if other != index and each.state & LVIS_SELECTED:
                yield from _set_state(system, window, other, 0, LVIS_SELECTED)
    old = row.state
    yield from _list_notify(system, window, LVN_ITEMCHANGING, index, new, old, LVIF_STATE,
                            row.param)
    row.state = new
    yield from _list_notify(system, window, LVN_ITEMCHANGED, index, new, old, LVIF_STATE,
                            row.param)


def _sort(system, window, compare, parameter):
    """LVM_SORTITEMS: a merge sort that asks the program's comparison."""
    def merge_sort(rows):
        if len(rows) < 2:
            return rows
        middle = len(rows) // 2
        left = yield from merge_sort(rows[:middle])
        right = yield from merge_sort(rows[middle:])
        merged = []
        while left and right:
            order = yield ArmCall(compare, [left[0].param, right[0].param, parameter],
                                  "the list view's comparison (LVM_SORTITEMS)")
            merged.append(right.pop(0) if signed(order) > 0 else left.pop(0))
        return merged + left + right
    window.control.rows = yield from merge_sort(window.control.rows)
    return 1


def list_view(system, window, message, wparam, lparam):
    state = window.control or ListState()
    window.control = state
    mem = system.dev.mem
    rows = state.rows
    index = signed(wparam)
    if message == LVM_GETITEMCOUNT:
        return len(rows)
    if message == LVM_INSERTCOLUMNW:
        mem.check(lparam, 24, align=4)
        text = mem.wstr_or_none(mem.u32(lparam + 12), 260) if mem.u32(lparam) & 0x4 else ""
        at = min(max(index, 0), len(state.columns))
        state.columns.insert(at, (text, mem.s32(lparam + 8)))
        return at
    if message == LVM_SETEXTENDEDLISTVIEWSTYLE:
        previous = state.extended
        mask = wparam or 0xFFFFFFFF
        state.extended = (state.extended & ~mask) | (lparam & mask)
        return previous
    if message == LVM_GETEXTENDEDLISTVIEWSTYLE:
        return state.extended
    if message == LVM_INSERTITEMW:
        item = _read_item(mem, lparam)
        if item["sub"] != 0:
            return 0xFFFFFFFF
        text = mem.wstr(item["text"], 4096) if item["mask"] & LVIF_TEXT and item["text"] else ""
        at = min(max(item["item"], 0), len(rows))
        rows.insert(at, Row(text, item["param"] if item["mask"] & LVIF_PARAM else 0, 0))
        yield from _list_notify(system, window, LVN_INSERTITEM, at, param=rows[at].param)
        if item["mask"] & LVIF_STATE:
            yield from _set_state(system, window, at, item["state"], item["state_mask"])
        return at
    if message in (LVM_SETITEMW, LVM_GETITEMW):
        item = _read_item(mem, lparam)
        if not 0 <= item["item"] < len(rows) or item["sub"] < 0:
            return 0
        row = rows[item["item"]]
        if message == LVM_GETITEMW:
            if item["mask"] & LVIF_TEXT and item["chars"] > 0:
                mem.put_wstr(item["text"], row.texts.get(item["sub"], ""), item["chars"])
            if item["mask"] & LVIF_PARAM:
                mem.put_u32(lparam + 32, row.param)
            if item["mask"] & LVIF_STATE:
                mem.put_u32(lparam + 12, row.state & item["state_mask"])
            return 1
        if item["mask"] & LVIF_TEXT:
            row.texts[item["sub"]] = mem.wstr(item["text"], 4096) if item["text"] else ""
        if item["mask"] & LVIF_PARAM and item["sub"] == 0:
            row.param = item["param"]
        if item["mask"] & LVIF_STATE and item["sub"] == 0:
            yield from _set_state(system, window, item["item"], item["state"],
                                  item["state_mask"])
        return 1
    if message in (LVM_SETITEMTEXTW, LVM_GETITEMTEXTW):
        item = _read_item(mem, lparam)
        if not 0 <= index < len(rows):
            return 0
        if message == LVM_SETITEMTEXTW:
            rows[index].texts[item["sub"]] = mem.wstr(item["text"], 4096) if item["text"] else ""
            return 1
        if item["chars"] <= 0:
            return 0
        return mem.put_wstr(item["text"], rows[index].texts.get(item["sub"], ""), item["chars"])
    if message == LVM_SETITEMSTATE:
        mem.check(lparam, 20, align=4)
        state_value, mask = mem.u32(lparam + 12), mem.u32(lparam + 16)
        targets = range(len(rows)) if index == -1 else [index]
        if index != -1 and not 0 <= index < len(rows):
            return 0
        for each in targets:
            yield from _set_state(system, window, each, state_value, mask)
        return 1
    if message == LVM_GETITEMSTATE:
        return rows[index].state & lparam if 0 <= index < len(rows) else 0
    if message == LVM_GETNEXTITEM:
        start = index + 1 if index >= 0 else 0
        for each in range(start, len(rows)):
            flags = lparam & (LVNI_FOCUSED | LVNI_SELECTED)
            if rows[each].state & flags == flags:
                return each
        return 0xFFFFFFFF
    if message == LVM_DELETEITEM:
        if not 0 <= index < len(rows):
            return 0
        yield from _list_notify(system, window, LVN_DELETEITEM, index, param=rows[index].param)
        focused = rows[index].state & LVIS_FOCUSED
        del rows[index]
        if focused and rows:  # the focus goes to the row that took its place
            rows[min(index, len(rows) - 1)].state |= LVIS_FOCUSED
        return 1
    if message == LVM_DELETEALLITEMS:
        each_told = yield from _list_notify(system, window, LVN_DELETEALLITEMS, -1)
        if not each_told:
            for at in range(len(rows)):
                yield from _list_notify(system, window, LVN_DELETEITEM, at, param=rows[at].param)
        rows.clear()
        return 1
    if message == LVM_SORTITEMS:
        return (yield from _sort(system, window, lparam, wparam))
    if message == WM_LBUTTONDOWN:
        # A tap selects and focuses the row under it; the click is told on lifting.
        row = ((lparam >> 16) & 0xFFFF) - HEADER_HEIGHT
        state.pressed = None
        if not system.reachable(window):
            return 0
        at = row // ROW_HEIGHT if row >= 0 else -1
        if 0 <= at < len(rows):
            yield from _set_state(system, window, at, LVIS_FOCUSED | LVIS_SELECTED,
                                  LVIS_FOCUSED | LVIS_SELECTED)
        else:
            at = -1
        state.pressed = at
        return 0
    if message == WM_LBUTTONUP:
        pressed, state.pressed = state.pressed, None
        if pressed is not None and system.reachable(window):
            yield from _list_notify(system, window, NM_CLICK, pressed)
        return 0
    if message in (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, WM_ENABLE, WM_SETREDRAW):
        result = _common(system, window, message, wparam, lparam)
        if message == WM_SETREDRAW:
            state.redraw = bool(wparam)
        return result
    return 0


def row_point(index):
    """Where a tap on a row lands, as the list view's lParam gives it."""
    return ((HEADER_HEIGHT + index * ROW_HEIGHT + ROW_HEIGHT // 2) << 16) | 20


def menu_bar(system, window, message, wparam, lparam):
    return 0


def register(system):
    def always(dev):
        return True

    def list_views(dev):
        return dev.proc.common_controls & 0x1  # ICC_LISTVIEW_CLASSES

    for name, procedure, available in (("BUTTON", button, always), ("EDIT", edit, always),
                                       ("STATIC", static, always),
                                       ("COMBOBOX", combo_box, always),
                                       ("SysListView32", list_view, list_views)):
        system.builtin[name.lower()] = (name, procedure, available)


ATOMS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x85: "COMBOBOX"}


def class_of_atom(atom):
    if atom not in ATOMS:
        raise Failure(f"a dialog control of class atom {atom:#x}, which the stand-in has not")
    return ATOMS[atom]
