"""Modal dialogs made from the exe's own templates, and message boxes: each
runs a message loop of its own on the program's thread, so the main window
keeps its ticks and notices while one is open, as on the device."""
from api import ArmCall, Wait, api, signed
from controls import class_of_atom
from memory import Failure
from windows import (WM_CLOSE, WM_COMMAND, WM_ENABLE, WM_INITDIALOG, WM_QUIT, WS_CHILD,
                     WS_VISIBLE, message_name)

DS_SETFONT = 0x40
WS_TABSTOP = 0x00010000
IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO = 1, 2, 3, 4, 5, 6, 7
BUTTONS = {0: ("OK", {IDOK}), 1: ("OK/Cancel", {IDOK, IDCANCEL}),
           2: ("Abort/Retry/Ignore", {IDABORT, IDRETRY, IDIGNORE}),
           3: ("Yes/No/Cancel", {IDYES, IDNO, IDCANCEL}), 4: ("Yes/No", {IDYES, IDNO}),
           5: ("Retry/Cancel", {IDRETRY, IDCANCEL})}
ICONS = {0x00: "no icon", 0x10: "error", 0x20: "question", 0x30: "warning", 0x40: "information"}


class DialogState:
    def __init__(self, procedure):
        self.procedure = procedure
        self.ended = False
        self.result = 0
        self.done_button = False
        self.flags = None


class Template:
    def __init__(self, style, title, items):
        self.style, self.title, self.items = style, title, items


def _name_or_ordinal(mem, at):
    first = mem.u16(at)
    if first == 0xFFFF:
        return mem.u16(at + 2), at + 4
    if first == 0:
        return "", at + 2
    text = mem.wstr(at, 4096)
    return text, at + 2 * (len(text) + 1)


def parse_template(mem, at):
    """A DLGTEMPLATE, the plain kind the handheld's resource compiler writes."""
    if mem.u16(at) == 1 and mem.u16(at + 2) == 0xFFFF:
        raise Failure("DialogBoxIndirectParamW: an extended template (DLGTEMPLATEEX); the "
                      "handheld's resources are plain ones")
    style, count = mem.u32(at), mem.u16(at + 8)
    cursor = at + 18
    _, cursor = _name_or_ordinal(mem, cursor)  # menu
    _, cursor = _name_or_ordinal(mem, cursor)  # class
    title, cursor = _name_or_ordinal(mem, cursor)
    if style & DS_SETFONT:
        cursor += 2
        _, cursor = _name_or_ordinal(mem, cursor)
    items = []
    for _ in range(count):
        cursor = (cursor + 3) & ~3
        item_style = mem.u32(cursor)
        ident = mem.u16(cursor + 16)
        cursor += 18
        kind, cursor = _name_or_ordinal(mem, cursor)
        text, cursor = _name_or_ordinal(mem, cursor)
        extra = mem.u16(cursor)
        cursor += 2 + extra
        kind = class_of_atom(kind) if isinstance(kind, int) else kind
        items.append((kind, ident, item_style, text if isinstance(text, str) else ""))
    return Template(style, title if isinstance(title, str) else "", items)


def dialog_procedure(system, window, message, wparam, lparam):
    """The dialog's window procedure: the program's dialog procedure first,
    then what the dialog manager does by default."""
    handled = yield ArmCall(window.dialog.procedure, [window.hwnd, message, wparam, lparam],
                            f"the dialog procedure ({message_name(message)})")
    if handled or message == WM_INITDIALOG:
        return handled
    if message == WM_CLOSE:
        yield from system.send(window.hwnd, WM_COMMAND, IDCANCEL, 0)
    return 0


def modal_loop(dev, until, what):
    """A nested message loop: it runs the thread's messages until `until()`;
    a quit message ends it and is posted again for the loop outside."""
    system = dev.win
    process = dev.proc
    while not until():
        message = yield Wait(what, lambda: until() or system.peek(process, 0, 0, 0, False),
                             lambda: None if until() else system.peek(process, 0, 0, 0, True))
        if message is None:
            break
        if message.message == WM_QUIT:
            system.queue(process).quit = message.wparam
            return False
        yield from system.dispatch(message)
    return True


def _set_owner_enabled(system, owner, enabled):
    """1 when the owner's state changed: only an owner a modal loop disabled is
    enabled again when it ends, so a dialog over a dialog leaves the first's
    owner as it found it."""
    if owner is None or not owner.alive or owner.enabled == enabled:
        return 0
    owner.enabled = enabled
    yield from system.send(owner.hwnd, WM_ENABLE, 1 if enabled else 0, 0)
    return 1


@api("COREDLL", "DialogBoxIndirectParamW", 5)
def DialogBoxIndirectParamW(dev, instance, template_address, owner_hwnd, procedure, parameter):
    system = dev.win
    template = parse_template(dev.mem, template_address)
    owner = system.window(owner_hwnd) if owner_hwnd else None
    window = system.make(dev.proc, "Dialog", dialog_procedure, None, owner, 0, template.title,
                         template.style & ~WS_VISIBLE)
    window.dialog = DialogState(procedure)
    window.rect = (0, 26, 240, 294)
    first_stop = None
    for kind, ident, style, text in template.items:
        builtin = system.builtin.get(kind.lower())
        if builtin is None:
            raise Failure(f"DialogBoxIndirectParamW: a control of class {kind!r}, which the "
                          "device's dialog manager does not know")
        control = system.make(dev.proc, builtin[0], builtin[1], window, None, ident, text,
                              style | WS_CHILD)
        if first_stop is None and style & WS_TABSTOP:
            first_stop = control
    system.dialogs.append(window)
    disabled = yield from _set_owner_enabled(system, owner, False)
    focus = yield from system.send(window.hwnd, WM_INITDIALOG,
                                   first_stop.hwnd if first_stop else 0, parameter)
    if focus and first_stop is not None:
        system.focus = first_stop.hwnd
    if not window.dialog.ended:
        window.visible = True
    yield from modal_loop(dev, lambda: window.dialog.ended or not window.alive,
                          "the dialog's message loop")
    if disabled:
        yield from _set_owner_enabled(system, owner, True)
    if window.alive:
        yield from system.destroy(window)
    system.dialogs.remove(window)
    return window.dialog.result if window.dialog.ended else 0xFFFFFFFF


@api("COREDLL", "EndDialog", 2)
def EndDialog(dev, hwnd, result):
    window = dev.win.window(hwnd)
    if window is None or window.dialog is None:
        return 0
    window.dialog.ended, window.dialog.result = True, result
    window.visible = False
    return 1


class Box:
    def __init__(self, process, owner, text, caption, style, opened):
        self.process, self.owner, self.text, self.caption = process, owner, text, caption
        self.style, self.opened = style, opened
        self.answer = None

    @property
    def buttons(self):
        return BUTTONS.get(self.style & 0xF, (f"buttons {self.style & 0xF}", set()))

    @property
    def icon(self):
        return ICONS.get(self.style & 0xF0, f"icon {self.style & 0xF0:#x}")

    @property
    def default(self):
        return ((self.style >> 8) & 0xF) + 1

    def describe(self):
        from device import Device
        return (f"{Device.quoted(self.text)} (caption {Device.quoted(self.caption)}, "
                f"{self.icon}, {self.buttons[0]}, default button {self.default})")


@api("COREDLL", "MessageBoxW", 4)
def MessageBoxW(dev, owner_hwnd, text, caption, style):
    system = dev.win
    owner = system.window(owner_hwnd) if owner_hwnd else None
    if owner_hwnd and owner is None:  # refused, as a window handle that is no more
        dev.note(f"MessageBoxW refused, its owner {owner_hwnd:#x} is no window: "
                 f"{dev.quoted(dev.mem.wstr(text, 4096) if text else '')}")
        return 0
    box = Box(dev.proc, owner, dev.mem.wstr(text, 4096) if text else "",
              dev.mem.wstr(caption, 4096) if caption else "Error", style, dev.now())
    if not box.buttons[1]:
        raise Failure(f"MessageBoxW: {box.describe()}: no such set of buttons")
    system.boxes.append(box)
    system.note_boxes()
    dev.note(f"MessageBoxW {box.describe()}")
    disabled = yield from _set_owner_enabled(system, owner, False)
    yield from modal_loop(dev, lambda: box.answer is not None,
                          f"the message box {dev.quoted(box.text)}")
    system.boxes.remove(box)
    if disabled:
        yield from _set_owner_enabled(system, owner, True)
    if box.answer is None:  # a quit message ended it
        return IDCANCEL if IDCANCEL in box.buttons[1] else IDOK
    dev.note(f"MessageBoxW answered {box.answer}: {dev.quoted(box.text)}")
    return box.answer


def answer(system, name):
    codes = {"IDOK": IDOK, "IDCANCEL": IDCANCEL, "IDYES": IDYES, "IDNO": IDNO}
    if name.upper() not in codes:
        raise ValueError(f"no such answer {name!r}")
    if not system.boxes:
        return "no message box is open"
    box = system.boxes[-1]
    code = codes[name.upper()]
    if code not in box.buttons[1]:
        return f"the box {box.describe()} has no {name} button"
    box.answer = code
    return None


def signed_result(value):
    return signed(value)
