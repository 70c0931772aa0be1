"""A small window system, as Windows CE's GWES keeps it: classes, windows with
parent and owner, one message queue per process (posted messages, input, the
quit flag, timers on the virtual clock), sending that calls a window's own
procedure, and the calls the program makes of it."""
import collections

from api import ArmCall, Wait, api, run_generator, signed
from memory import Failure

WM_NULL, WM_CREATE, WM_DESTROY, WM_MOVE, WM_SIZE = 0x0000, 0x0001, 0x0002, 0x0003, 0x0005
WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_ENABLE = 0x0006, 0x0007, 0x0008, 0x000A
WM_SETREDRAW, WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH = 0x000B, 0x000C, 0x000D, 0x000E
WM_CLOSE, WM_QUIT, WM_SETTINGCHANGE, WM_NOTIFY = 0x0010, 0x0012, 0x001A, 0x004E
WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_KEYLAST = 0x0100, 0x0101, 0x0102, 0x0108
WM_INITDIALOG, WM_COMMAND, WM_TIMER = 0x0110, 0x0111, 0x0113
WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEFIRST, WM_MOUSELAST = 0x0201, 0x0202, 0x0200, 0x0209
WM_RASDIALEVENT = 0xCCCD
INPUT_RANGES = ((0x0100, 0x0108), (0x0200, 0x0209), (0x00A0, 0x00A9))
WS_DISABLED, WS_VISIBLE, WS_CHILD = 0x08000000, 0x10000000, 0x40000000
CW_USEDEFAULT = 0x80000000
SCREEN = (240, 320)
WORK_AREA = (0, 26, 240, 294)  # below the task bar; the menu bar is the program's

NAMES = {WM_CREATE: "WM_CREATE", WM_DESTROY: "WM_DESTROY", WM_ACTIVATE: "WM_ACTIVATE",
         WM_ENABLE: "WM_ENABLE", WM_SETTEXT: "WM_SETTEXT", WM_GETTEXT: "WM_GETTEXT",
         WM_CLOSE: "WM_CLOSE", WM_QUIT: "WM_QUIT", WM_SETTINGCHANGE: "WM_SETTINGCHANGE",
         WM_NOTIFY: "WM_NOTIFY", WM_CHAR: "WM_CHAR", WM_INITDIALOG: "WM_INITDIALOG",
         WM_COMMAND: "WM_COMMAND", WM_TIMER: "WM_TIMER", WM_LBUTTONDOWN: "WM_LBUTTONDOWN",
         WM_LBUTTONUP: "WM_LBUTTONUP", WM_RASDIALEVENT: "WM_RASDIALEVENT"}


def message_name(message):
    return NAMES.get(message, f"message {message:#06x}")


def is_input(message):
    return any(low <= message <= high for low, high in INPUT_RANGES)


class Message:
    __slots__ = ("hwnd", "message", "wparam", "lparam", "time")

    def __init__(self, hwnd, message, wparam, lparam, time):
        self.hwnd, self.message = hwnd, message
        self.wparam, self.lparam, self.time = wparam & 0xFFFFFFFF, lparam & 0xFFFFFFFF, time


class Window:
    def __init__(self, hwnd, process, class_name, procedure, parent, owner, ident, text, style):
        self.hwnd, self.process, self.class_name = hwnd, process, class_name
        self.procedure = procedure  # the program's code (an address) or a built-in
        self.parent, self.owner, self.ident = parent, owner, ident
        self.text, self.style = text, style
        self.enabled = not style & WS_DISABLED
        self.visible = bool(style & WS_VISIBLE)
        self.children = []
        self.alive = True
        self.control = None  # a built-in control's state
        self.dialog = None  # a dialog's state
        self.rect = (0, 0, 0, 0)
        self.menu = None

    def __repr__(self):
        return f"<{self.class_name} {self.hwnd:#x} id {self.ident}>"


class Queue:
    def __init__(self):
        self.posted = collections.deque()
        self.input = collections.deque()
        self.quit = None
        self.timers = {}  # (hwnd, id) -> [period, due]


class WindowSystem:
    def __init__(self, dev):
        self.dev = dev
        self.windows = {}
        self.classes = {}  # (process, lower name) -> (name, procedure)
        self.builtin = {}  # lower name -> (name, procedure, available), the device's own
        self.atoms = {}
        self.next_handle = 0x00C00010
        self.queues = {}
        self.dialogs = []  # open dialogs, innermost last
        self.boxes = []  # open message boxes, innermost last
        self.most_boxes = 0  # the most open at once since the scenario last looked
        self.focus = 0
        self.foreground = 0
        self.cursor = 0

    # Windows
    def window(self, hwnd):
        window = self.windows.get(hwnd & 0xFFFFFFFF)
        return window if window is not None and window.alive else None

    def queue(self, process):
        return self.queues.setdefault(process, Queue())

    def make(self, process, class_name, procedure, parent, owner, ident, text, style):
        hwnd = self.next_handle
        self.next_handle += 0x10
        window = Window(hwnd, process, class_name, procedure, parent, owner, ident, text, style)
        self.windows[hwnd] = window
        if parent:
            parent.children.append(window)
        return window

    def top_level(self, window):
        while window.parent is not None:
            window = window.parent
        return window

    def reachable(self, window):
        """A tap can reach the window: it and all it sits in are enabled and
        shown, and no dialog or message box of the program covers it."""
        at = window
        while at is not None:
            if not (at.alive and at.enabled and at.visible):
                return False
            at = at.parent
        top = self.top_level(window)
        covering = [d for d in self.dialogs if d.alive and not d.dialog.ended]
        if covering and covering[-1] is not top:
            return False
        return not any(box.process is window.process for box in self.boxes)

    def children_of(self, window, ident):
        for child in window.children:
            if child.alive and child.ident == ident:
                return child
        return None

    def send(self, hwnd, message, wparam, lparam):
        """SendMessage within the program's thread: the window's own procedure,
        now. A generator: its value is the procedure's result."""
        window = self.window(hwnd)
        if window is None:
            return 0
        if isinstance(window.procedure, int):
            result = yield ArmCall(window.procedure, [window.hwnd, message, wparam, lparam],
                                   f"the window procedure of {window.class_name} "
                                   f"({message_name(message)})")
            return result
        return (yield from run_generator(window.procedure(self, window, message, wparam, lparam)))

    def destroy(self, window):
        """DestroyWindow: owned windows go first, then WM_DESTROY to the window
        and to its children, then the window."""
        if not window.alive:
            return
        for owned in [w for w in self.windows.values() if w.alive and w.owner is window]:
            yield from self.destroy(owned)
        yield from self.send(window.hwnd, WM_DESTROY, 0, 0)
        for child in list(window.children):
            yield from self.destroy(child)
        self.forget(window)

    def forget(self, window):
        window.alive = False
        queue = self.queue(window.process)
        for kept in (queue.posted, queue.input):
            for message in [m for m in kept if m.hwnd == window.hwnd]:
                kept.remove(message)
        for key in [k for k in queue.timers if k[0] == window.hwnd]:
            del queue.timers[key]
        if self.focus == window.hwnd:
            self.focus = 0

    def process_ended(self, process):
        """The process is gone, and its windows with it, without a message."""
        for window in self.windows.values():
            if window.process is process and window.alive:
                self.forget(window)
        self.queues.pop(process, None)
        self.dialogs = [d for d in self.dialogs if d.process is not process]
        self.boxes = [b for b in self.boxes if b.process is not process]

    # Messages
    def post(self, hwnd, message, wparam, lparam, process=None, tapped=False):
        if hwnd == 0:
            target = process or self.dev.proc
        else:
            window = self.window(hwnd)
            if window is None:
                return False
            target = window.process
        if target is None or target.state in ("exited", "failed"):
            return False
        queue = self.queue(target)
        # What a tap made (the Done button's command) keeps its place among the taps.
        kind = queue.input if tapped or is_input(message) else queue.posted
        kind.append(Message(hwnd, message, wparam, lparam, self.dev.now()))
        return True

    def _matches(self, message, hwnd, low, high):
        if hwnd and message.hwnd != hwnd:
            return False
        return (low == 0 and high == 0) or low <= message.message <= high

    def peek(self, process, hwnd, low, high, remove):
        """The next message for the thread, in the order Windows gives them:
        posted messages, the quit flag (whatever the range), input, timers."""
        queue = self.queue(process)
        for kept in (queue.posted, None, queue.input):
            if kept is None:
                if queue.quit is not None:
                    message = Message(0, WM_QUIT, queue.quit, 0, self.dev.now())
                    if remove:
                        queue.quit = None
                    return message
                continue
            for message in kept:
                if self._matches(message, hwnd, low, high):
                    if remove:
                        kept.remove(message)
                    return message
        if (low == 0 and high == 0) or low <= WM_TIMER <= high:
            due = [(timer[1], key) for key, timer in queue.timers.items()
                   if timer[1] <= self.dev.now() and (not hwnd or key[0] == hwnd)]
            if due:
                _, key = min(due)
                if remove:
                    period = queue.timers[key][0]
                    queue.timers[key][1] = self.dev.now() + period
                return Message(key[0], WM_TIMER, key[1], 0, self.dev.now())
        return None

    def wait_message(self, process, hwnd, low, high, what):
        return Wait(what, lambda: self.peek(process, hwnd, low, high, False) is not None,
                    lambda: self.peek(process, hwnd, low, high, True))

    def dispatch(self, message):
        if message.hwnd == 0 or message.message == WM_QUIT:
            return 0
        return (yield from self.send(message.hwnd, message.message, message.wparam,
                                     message.lparam))

    def next_timer_due(self, after):
        """The first timer to fall due after `after`; one due already waits to be taken."""
        dues = [timer[1] for queue in self.queues.values() for timer in queue.timers.values()
                if timer[1] > after]
        return min(dues) if dues else None

    def write_message(self, mem, address, message):
        mem.write(address, b"".join(v.to_bytes(4, "little") for v in (
            message.hwnd, message.message, message.wparam, message.lparam,
            message.time & 0xFFFFFFFF, 0, 0)))

    # What the scenario reads and does
    def main_window(self, class_name="TAMLINKPPC", title="Tamlink PPC"):
        for window in self.windows.values():
            if (window.alive and window.parent is None and window.text == title and
                    window.class_name.lower() == class_name.lower()):
                return window
        return None

    def current_dialog(self):
        for dialog in reversed(self.dialogs):
            if dialog.alive and not dialog.dialog.ended:
                return dialog
        return None

    def note_boxes(self):
        self.most_boxes = max(self.most_boxes, len(self.boxes))


# The calls
def ws(dev):
    return dev.win


def _class_name(dev, pointer):
    if pointer < 0x10000:  # an atom
        return ws(dev).atoms.get(pointer, f"#{pointer}")
    return dev.mem.wstr(pointer, 256)


@api("COREDLL", "RegisterClassW", 1)
def RegisterClassW(dev, info):
    mem = dev.mem
    mem.check(info, 40, align=4)
    procedure, name = mem.u32(info + 4), mem.u32(info + 36)
    if procedure == 0 or name == 0:
        return 0
    name = dev.mem.wstr(name, 256)
    key = (dev.proc, name.lower())
    if key in ws(dev).classes:
        return 0  # ERROR_CLASS_ALREADY_EXISTS
    ws(dev).classes[key] = (name, procedure)
    atom = 0xC000 | (len(ws(dev).atoms) & 0x3FFF)
    ws(dev).atoms[atom] = name
    return atom


@api("COREDLL", "CreateWindowExW", 12)
def CreateWindowExW(dev, exstyle, class_pointer, title, style, x, y, width, height, parent,
                    menu, instance, parameter):
    system = ws(dev)
    name = _class_name(dev, class_pointer)
    text = dev.mem.wstr(title, 4096) if title else ""
    parent_window = system.window(parent) if parent else None
    if parent and parent_window is None:
        return 0
    registered = system.classes.get((dev.proc, name.lower()))
    owner = None
    if not style & WS_CHILD:
        owner, parent_window = parent_window, None
    if registered:
        window = system.make(dev.proc, registered[0], registered[1], parent_window, owner,
                             menu if style & WS_CHILD else 0, text, style)
    else:
        builtin = system.builtin.get(name.lower())
        if builtin is None or not builtin[2](dev):
            return 0  # no such class (yet): commctrl's are there after InitCommonControlsEx
        window = system.make(dev.proc, builtin[0], builtin[1], parent_window, owner,
                             menu if style & WS_CHILD else 0, text, style)
    # CW_USEDEFAULT on the device: the screen below the task bar.
    if x == CW_USEDEFAULT or width == CW_USEDEFAULT:
        left, top, width, height = WORK_AREA
    else:
        left, top = signed(x), signed(y)
    window.rect = (left, top, signed(width), signed(height))
    create = b"".join(v.to_bytes(4, "little") for v in (
        parameter, instance, menu, parent, height & 0xFFFFFFFF, width & 0xFFFFFFFF,
        top & 0xFFFFFFFF, left & 0xFFFFFFFF, style, title, class_pointer, exstyle))
    mark = dev.proc.reg_sp()
    address = dev.proc.push(create)
    result = yield from system.send(window.hwnd, WM_CREATE, 0, address)
    dev.proc.set_sp(mark)
    if signed(result) == -1:
        yield from system.destroy(window)
        return 0
    return window.hwnd


@api("COREDLL", "DefWindowProcW", 4)
def DefWindowProcW(dev, hwnd, message, wparam, lparam):
    window = ws(dev).window(hwnd)
    if window is not None and message == WM_CLOSE:
        yield from ws(dev).destroy(window)
    return 0


@api("COREDLL", "DestroyWindow", 1)
def DestroyWindow(dev, hwnd):
    window = ws(dev).window(hwnd)
    if window is None or window.process is not dev.proc:
        return 0
    yield from ws(dev).destroy(window)
    return 1


@api("COREDLL", "FindWindowW", 2)
def FindWindowW(dev, class_pointer, title):
    name = _class_name(dev, class_pointer) if class_pointer else None
    text = dev.mem.wstr(title, 4096) if title else None
    for window in ws(dev).windows.values():
        if not window.alive or window.parent is not None:
            continue
        if name is not None and window.class_name.lower() != name.lower():
            continue
        if text is not None and window.text != text:
            continue
        return window.hwnd
    return 0


@api("COREDLL", "IsWindow", 1)
def IsWindow(dev, hwnd):
    return 1 if ws(dev).window(hwnd) else 0


@api("COREDLL", "GetMessageW", 4)
def GetMessageW(dev, address, hwnd, low, high):
    dev.mem.check(address, 28, write=True, align=4)
    process = dev.proc
    process.marks.setdefault("first GetMessageW", process.instructions)
    if hwnd and ws(dev).window(hwnd) is None:
        return 0xFFFFFFFF
    message = yield ws(dev).wait_message(process, hwnd, low, high, "GetMessageW")
    ws(dev).write_message(dev.mem, address, message)
    return 0 if message.message == WM_QUIT else 1


@api("COREDLL", "PeekMessageW", 5)
def PeekMessageW(dev, address, hwnd, low, high, flags):
    dev.mem.check(address, 28, write=True, align=4)
    message = ws(dev).peek(dev.proc, hwnd, low, high, bool(flags & 1))  # PM_REMOVE
    if message is None:
        return 0
    ws(dev).write_message(dev.mem, address, message)
    return 1


@api("COREDLL", "TranslateMessage", 1)
def TranslateMessage(dev, address):
    dev.mem.check(address, 28, align=4)
    return 0  # typed characters arrive as WM_CHAR already


@api("COREDLL", "DispatchMessageW", 1)
def DispatchMessageW(dev, address):
    mem = dev.mem
    hwnd, message, wparam, lparam = (mem.u32(address + 4 * i) for i in range(4))
    if message == WM_TIMER and lparam:
        raise Failure("DispatchMessageW: a timer procedure, which the program never sets")
    return (yield from ws(dev).send(hwnd, message, wparam, lparam))


@api("COREDLL", "PostMessageW", 4)
def PostMessageW(dev, hwnd, message, wparam, lparam):
    return 1 if ws(dev).post(hwnd, message, wparam, lparam) else 0


@api("COREDLL", "PostQuitMessage", 1)
def PostQuitMessage(dev, code):
    ws(dev).queue(dev.proc).quit = code
    return 0


@api("COREDLL", "SendMessageW", 4)
def SendMessageW(dev, hwnd, message, wparam, lparam):
    window = ws(dev).window(hwnd)
    if window is not None and window.process is not dev.proc:
        raise Failure("SendMessageW: to another program's window, which the stand-in does "
                      "not carry across")
    return (yield from ws(dev).send(hwnd, message, wparam, lparam))


@api("COREDLL", "SetTimer", 4)
def SetTimer(dev, hwnd, ident, period, procedure):
    if procedure:
        raise Failure("SetTimer: a timer procedure, which the program never sets")
    window = ws(dev).window(hwnd)
    if window is None:
        return 0
    period = max(period, 1)
    ws(dev).queue(window.process).timers[(hwnd, ident)] = [period, dev.now() + period]
    return ident or 1


@api("COREDLL", "KillTimer", 2)
def KillTimer(dev, hwnd, ident):
    return 1 if ws(dev).queue(dev.proc).timers.pop((hwnd, ident), None) else 0


@api("COREDLL", "EnableWindow", 2)
def EnableWindow(dev, hwnd, enable):
    window = ws(dev).window(hwnd)
    if window is None:
        return 0
    was_disabled = not window.enabled
    if window.enabled != bool(enable):
        window.enabled = bool(enable)
        yield from ws(dev).send(hwnd, WM_ENABLE, 1 if enable else 0, 0)
    return 1 if was_disabled else 0


@api("COREDLL", "InvalidateRect", 3)
def InvalidateRect(dev, hwnd, rect, erase):
    if rect:
        dev.mem.check(rect, 16, align=4)
    return 1 if hwnd == 0 or ws(dev).window(hwnd) else 0


@api("COREDLL", "SetForegroundWindow", 1)
def SetForegroundWindow(dev, hwnd):
    # The handheld's convention: the low bit brings the owned windows along.
    window = ws(dev).window(hwnd & ~1)
    dev.note(f"SetForegroundWindow {hwnd:#x}" + (" (with its owned windows)" if hwnd & 1 else ""))
    if window is None:
        return 0
    ws(dev).foreground = window.hwnd
    return 1


@api("COREDLL", "GetDlgItem", 2)
def GetDlgItem(dev, hwnd, ident):
    window = ws(dev).window(hwnd)
    child = window and ws(dev).children_of(window, signed(ident) & 0xFFFF)
    return child.hwnd if child else 0


def _dialog_item(dev, hwnd, ident):
    window = ws(dev).window(hwnd)
    return window and ws(dev).children_of(window, signed(ident) & 0xFFFF)


@api("COREDLL", "GetDlgItemTextW", 4)
def GetDlgItemTextW(dev, hwnd, ident, buffer, chars):
    child = _dialog_item(dev, hwnd, ident)
    if child is None:
        if chars:
            dev.mem.put_wstr(buffer, "", 1)
        return 0
    return (yield from ws(dev).send(child.hwnd, WM_GETTEXT, chars, buffer))


@api("COREDLL", "SetDlgItemTextW", 3)
def SetDlgItemTextW(dev, hwnd, ident, text):
    child = _dialog_item(dev, hwnd, ident)
    if child is None:
        return 0
    return (yield from ws(dev).send(child.hwnd, WM_SETTEXT, 0, text))


@api("COREDLL", "SendDlgItemMessageW", 5)
def SendDlgItemMessageW(dev, hwnd, ident, message, wparam, lparam):
    child = _dialog_item(dev, hwnd, ident)
    if child is None:
        return 0
    return (yield from ws(dev).send(child.hwnd, message, wparam, lparam))


@api("COREDLL", "LoadIconW", 2)
def LoadIconW(dev, instance, name):
    if instance == 0:
        return 0x00A00000 | (name & 0xFFFF)  # a system icon
    found = dev.proc.resources.find(14, name if name < 0x10000 else dev.mem.wstr(name, 256))
    return 0x00A10000 | (name & 0xFFFF) if found else 0  # RT_GROUP_ICON


@api("COREDLL", "LoadCursorW", 2)
def LoadCursorW(dev, instance, name):
    if instance or name not in (32512, 32514):  # the arrow and the wait cursor
        return 0
    return 0x00B00000 | name


@api("COREDLL", "SetCursor", 1)
def SetCursor(dev, cursor):
    previous, ws(dev).cursor = ws(dev).cursor, cursor
    return previous


@api("COREDLL", "GetStockObject", 1)
def GetStockObject(dev, index):
    return 0x00D00000 | index if index <= 17 else 0
