"""The rest of what the program asks of the device: its own resources, memory,
the thread's end and its pauses, and the Pocket PC shell (aygshell's menu
bar, full-screen dialogs and input panel, commctrl's start, the shell's
"open")."""
from api import api
from image import RT_MENU, RT_RCDATA
from memory import Failure
from process import ProcessExit
from windows import WM_SETTINGCHANGE

LMEM_ZEROINIT = 0x40
SHIDIM_FLAGS = 0x1
SHIDIF_DONEBUTTON, SHIDIF_SIPDOWN, SHIDIF_FULLSCREENNOMENUBAR = 0x1, 0x8, 0x10
SIP_STATES = {0: "SIP_UP", 1: "SIP_DOWN", 2: "SIP_FORCEDOWN", 3: "SIP_UNCHANGED",
              4: "SIP_INPUTDIALOG"}
SPI_SETSIPINFO = 224
ICC_LISTVIEW_CLASSES = 0x1


def _resource_name(dev, value):
    return value if value < 0x10000 else dev.mem.wstr(value, 256)


def _own_instance(dev, instance, call):
    if instance != dev.proc.instance:
        raise Failure(f"{call}: instance {instance:#x}, not the program's own "
                      f"({dev.proc.instance:#x})")


@api("COREDLL", "FindResourceW", 3)
def FindResourceW(dev, instance, name, kind):
    _own_instance(dev, instance, "FindResourceW")
    return dev.proc.resources.find(_resource_name(dev, kind), _resource_name(dev, name))


@api("COREDLL", "LoadResource", 2)
def LoadResource(dev, instance, found):
    _own_instance(dev, instance, "LoadResource")
    if found == 0:
        return 0
    # The handheld's LoadResource hands back the data itself (LockResource is
    # a macro there).
    return dev.proc.resources.data(found, dev.proc.image.base)[0]


@api("COREDLL", "LoadStringW", 4)
def LoadStringW(dev, instance, ident, buffer, chars):
    _own_instance(dev, instance, "LoadStringW")
    text = dev.proc.resources.string(dev.proc.image.base, ident & 0xFFFF)
    if chars == 0:
        raise Failure("LoadStringW: a buffer of 0 characters (the handheld would hand back "
                      "the resource itself), which the program never asks for")
    return dev.mem.put_wstr(buffer, text or "", chars)


@api("COREDLL", "LocalAlloc", 2)
def LocalAlloc(dev, flags, size):
    if flags & ~LMEM_ZEROINIT:
        raise Failure(f"LocalAlloc: flags {flags:#x}; the program takes fixed blocks only")
    return dev.proc.heap.allocate(size, bool(flags & LMEM_ZEROINIT))


@api("COREDLL", "LocalFree", 1)
def LocalFree(dev, block):
    if block == 0:
        return 0
    if not dev.proc.heap.free(block):
        raise Failure(f"LocalFree: {block:#x} is no block LocalAlloc gave (freed twice?)")
    return 0


@api("COREDLL", "ExitThread", 1)
def ExitThread(dev, code):
    # The primary thread's end is the process's end, with its exit code.
    raise ProcessExit(code)


@api("COREDLL", "Sleep", 1)
def Sleep(dev, milliseconds):
    # The thread blocks: nothing of the program runs, while what RAS sends
    # meanwhile waits in its queue.
    dev.advance_to(dev.now() + milliseconds)
    dev.proc.slept += milliseconds
    return 0


@api("COMMCTRL", "InitCommonControlsEx", 1)
def InitCommonControlsEx(dev, info):
    size, classes = dev.mem.u32(info), dev.mem.u32(info + 4)
    if size != 8:
        raise Failure(f"InitCommonControlsEx: dwSize {size}, the device takes 8")
    dev.proc.common_controls |= classes
    return 1


def _menu_bar_definition(dev, ident, instance):
    """The menu bar resource: menu id, button count, then seven words a button."""
    found = dev.proc.resources.find(RT_RCDATA, ident)
    if not found:
        return None
    at, size = dev.proc.resources.data(found, instance)
    words = [dev.mem.u16(at + 2 * i) for i in range(size // 2)]
    if len(words) < 2 or len(words) < 2 + 7 * words[1]:
        raise Failure(f"SHCreateMenuBar: menu bar resource {ident} is cut short")
    buttons = [words[2 + 7 * i: 9 + 7 * i] for i in range(words[1])]
    return words[0], buttons


def _menu_commands(dev, ident, instance):
    found = dev.proc.resources.find(RT_MENU, ident)
    if not found:
        return None
    at, size = dev.proc.resources.data(found, instance)
    data = dev.mem.read(at, size)
    commands, cursor = [], 4  # after the MENUITEMTEMPLATEHEADER
    while cursor + 2 <= len(data):
        flags = int.from_bytes(data[cursor:cursor + 2], "little")
        cursor += 2
        if not flags & 0x10:  # MF_POPUP has no id
            commands.append(int.from_bytes(data[cursor:cursor + 2], "little"))
            cursor += 2
        end = cursor
        while data[end:end + 2] != b"\0\0":
            end += 2
        cursor = end + 2
    return [c for c in commands if c]


@api("AYGSHELL", "SHCreateMenuBar", 1)
def SHCreateMenuBar(dev, info):
    mem = dev.mem
    mem.check(info, 36, write=True, align=4)
    size, parent, ident, instance = (mem.u32(info), mem.u32(info + 4), mem.u32(info + 12),
                                     mem.u32(info + 16))
    if size != 36:
        raise Failure(f"SHCreateMenuBar: cbSize {size}, the device takes 36")
    owner = dev.win.window(parent)
    if owner is None:
        return 0
    definition = _menu_bar_definition(dev, ident, instance)
    if definition is None:
        return 0
    menu, buttons = definition
    commands = _menu_commands(dev, menu, instance)
    if commands is None:
        raise Failure(f"SHCreateMenuBar: menu bar {ident} names menu {menu}, which the exe "
                      "has not")
    labels = [dev.proc.resources.string(instance, b[4]) for b in buttons]
    if None in labels:
        raise Failure(f"SHCreateMenuBar: a button's label string is missing ({buttons})")
    import controls
    bar = dev.win.make(dev.proc, "menu_worker", controls.menu_bar, None, owner, 0, "",
                       0x10000000)
    bar.menu = {"buttons": labels, "commands": commands}
    dev.proc.menu_bar = bar
    mem.put_u32(info + 28, bar.hwnd)
    return 1


@api("AYGSHELL", "SHInitDialog", 1)
def SHInitDialog(dev, info):
    mem = dev.mem
    mask, hwnd, flags = mem.u32(info), mem.u32(info + 4), mem.u32(info + 8)
    window = dev.win.window(hwnd)
    if window is None or window.dialog is None:
        return 0
    if mask & SHIDIM_FLAGS:
        window.dialog.flags = flags
        window.dialog.done_button = bool(flags & SHIDIF_DONEBUTTON)
        if flags & SHIDIF_FULLSCREENNOMENUBAR:
            window.rect = (0, 26, 240, 294)
        if flags & SHIDIF_SIPDOWN:
            _set_input_panel(dev, 1)
    return 1


def _set_input_panel(dev, state):
    if dev.proc.input_panel == state:
        return
    dev.proc.input_panel = state
    # The shell tells the programs' top-level windows that the panel moved.
    for window in list(dev.win.windows.values()):
        if window.alive and window.parent is None and window.owner is None and \
                window.process is dev.proc:
            dev.win.post(window.hwnd, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0)


@api("AYGSHELL", "SHSipPreference", 2)
def SHSipPreference(dev, hwnd, state):
    if dev.win.window(hwnd) is None:
        return 0
    if state not in SIP_STATES:
        raise Failure(f"SHSipPreference: state {state}, which the device does not know")
    dev.note(f"SHSipPreference {SIP_STATES[state]}")
    if state in (0, 1, 2):
        _set_input_panel(dev, 0 if state == 0 else 1)
    return 1


@api("AYGSHELL", 83, 4)
def SHHandleWMSettingChange(dev, hwnd, wparam, lparam, info):
    mem = dev.mem
    size = mem.u32(info)
    if size != 12:
        raise Failure(f"SHHandleWMSettingChange: the SHACTIVATEINFO's cbSize is {size}, the "
                      "device takes 12")
    window = dev.win.window(hwnd)
    return 1 if window is not None else 0


@api("COREDLL", "ShellExecuteEx", 1)
def ShellExecuteEx(dev, info):
    mem = dev.mem
    size = mem.u32(info)
    if size != 60:
        raise Failure(f"ShellExecuteEx: cbSize {size}, the device takes 60")
    mask, owner, verb, target, parameters, folder, show = (
        mem.u32(info + 4 * i) for i in range(1, 8))
    verb_text = mem.wstr(verb, 256) if verb else ""
    target_text = mem.wstr(target, 4096) if target else ""
    parameters_text = mem.wstr(parameters, 4096) if parameters else ""
    dev.note(f"ShellExecuteEx {verb_text} {dev.quoted(target_text)} parameters "
             f"{dev.quoted(parameters_text)} show {show} owner {owner:#x} mask {mask:#x}")
    dev.proc.launches.append((verb_text, target_text, parameters_text, show, owner))
    if not target_text:
        return 0
    if target_text.startswith("\\"):
        import files
        if files.kind(dev, target_text) != "file":
            return 0  # ERROR_FILE_NOT_FOUND: the device says nothing
    mem.put_u32(info + 32, 33)  # hInstApp above 32: it started
    return 1
