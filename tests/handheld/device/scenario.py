"""Scenario files: one step a line, driven as a person drives the program, on
the virtual clock. A step with a time limit runs the program until it holds
or the limit passes; one without runs the program until it waits at the
present moment, then looks once. Taps, keys and commands only queue what
the person did: the program takes them when it next runs."""
import fnmatch
import pathlib
import re
import shutil

import controls
import dialogs
from memory import Failure

QUIT, IDOK = 40007, 1
WM_COMMAND, WM_CHAR = 0x0111, 0x0102
WM_LBUTTONDOWN, WM_LBUTTONUP = 0x0201, 0x0202
CBN_SELCHANGE = 1
DEVICE_COMBO, ACCOUNT_LIST = 203, 102


class ScenarioError(Exception):
    """The scenario file itself is wrong."""


class StepFailed(Exception):
    pass


class Step:
    def __init__(self, line, words, limit, text):
        self.line, self.words, self.limit, self.text = line, words, limit, text


ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}


def split_words(line, number):
    """Words split by blanks; "..." with escapes, '...' as it stands, # a comment."""
    words, quoted = [], []
    at = 0
    while at < len(line):
        char = line[at]
        if char.isspace():
            at += 1
            continue
        if char == "#":
            break
        if char == '"':
            at += 1
            text = []
            while True:
                if at >= len(line):
                    raise ScenarioError(f"line {number}: a \" that is never closed")
                char = line[at]
                if char == '"':
                    at += 1
                    break
                if char == "\\":
                    code = line[at + 1:at + 2]
                    if code in ESCAPES:
                        text.append(ESCAPES[code])
                        at += 2
                    elif code == "x" and re.fullmatch(r"[0-9a-fA-F]{2}", line[at + 2:at + 4]):
                        text.append(chr(int(line[at + 2:at + 4], 16)))
                        at += 4
                    else:
                        raise ScenarioError(f"line {number}: unknown escape \\{code}")
                    continue
                text.append(char)
                at += 1
            words.append("".join(text))
            quoted.append(True)
            continue
        if char == "'":
            end = line.find("'", at + 1)
            if end < 0:
                raise ScenarioError(f"line {number}: a ' that is never closed")
            words.append(line[at + 1:end])
            quoted.append(True)
            at = end + 1
            continue
        end = at
        while end < len(line) and not line[end].isspace():
            end += 1
        words.append(line[at:end])
        quoted.append(False)
        at = end
    return words, quoted


class Scenario:
    def __init__(self, path):
        self.path = pathlib.Path(path)
        self.name = self.path.name
        self.fixtures, self.expected_files, self.folders, self.steps = [], [], [], []
        text = self.path.read_text(encoding="utf-8-sig")
        for number, line in enumerate(text.splitlines(), 1):
            words, quoted = split_words(line, number)
            if not words:
                continue
            limit = None
            if not quoted[-1] and re.fullmatch(r"\[\d+\]", words[-1]):
                limit = int(words[-1][1:-1])
                words = words[:-1]
            head = words[0]
            if head == "@fixture" and len(words) == 3:
                self.fixtures.append((words[1], self.path.parent / words[2]))
            elif head == "@expect-file" and len(words) == 3:
                self.expected_files.append((words[1], self.path.parent / words[2]))
            elif head == "@mkdir" and len(words) == 2:
                self.folders.append(words[1])
            elif head.startswith("@"):
                raise ScenarioError(f"{self.name} line {number}: {line.strip()!r}")
            else:
                self.steps.append(Step(number, words, limit, line.strip()))


def file_bytes(text):
    """A step's bytes: each character below 256 is that byte, others the code page's."""
    out = bytearray()
    for char in text:
        out += bytes([ord(char)]) if ord(char) < 256 else char.encode("cp1252", "replace")
    return bytes(out)


class Runner:
    def __init__(self, device, exe, scenario, say):
        self.dev, self.exe, self.scenario, self.say = device, exe, scenario, say
        self.started = []

    # The clock and the program
    def settle(self):
        """Runs every program that can run at this moment, until each waits."""
        for _ in range(1000000):
            ready = [p for p in self.dev.processes if p.runnable()]
            if not ready:
                return
            for process in ready:
                process.run()
                if process.state == "failed":
                    raise StepFailed(f"the program failed: {process.failure}")
        raise StepFailed("the program never waits")

    def run_until(self, holds, limit):
        deadline = self.dev.now() + (limit or 0)
        while True:
            self.settle()
            if holds():
                return True
            upcoming = self.dev.next_event()
            if upcoming is None or upcoming > deadline:
                if self.dev.now() >= deadline:
                    return False
                upcoming = deadline
            self.dev.advance_to(upcoming)

    # What the scenario looks at
    @property
    def win(self):
        return self.dev.win

    def process(self):
        if not self.started:
            raise StepFailed("no program was started")
        return self.started[-1]

    def main_window(self):
        window = self.win.main_window()
        if window is None:
            raise StepFailed("the main window (TAMLINKPPC, \"Tamlink PPC\") does not exist")
        return window

    def control(self, ident):
        dialog = self.win.current_dialog()
        for owner in ([dialog] if dialog else []) + [self.win.main_window()]:
            if owner is not None:
                found = self.win.children_of(owner, ident)
                if found is not None:
                    return found
        where = f"the dialog {dialog.text!r}" if dialog else "the main window"
        raise StepFailed(f"no control {ident} in {where}")

    def host(self, path):
        import files
        try:
            return files.host_path(self.dev, path)
        except ValueError as error:
            raise StepFailed(f"{path}: no path the device can hold ({error})") from None

    def list_rows(self):
        view = self.list_view()
        return view.control.rows if view.control else []

    # Steps
    def check(self, step, holds, seen):
        """Until the step holds or its limit passes; what is missing meanwhile
        (a dialog not open yet) is only not holding yet."""
        def holding():
            try:
                return holds()
            except StepFailed:
                return False
        if not self.run_until(holding, step.limit):
            holds()  # says what is missing, if anything is
            raise StepFailed(f"seen {seen()}")

    def staged(self, name):
        """A stage line's file: a name in the device's \\windows\\, or a device path."""
        return self.host(name if "\\" in name else "\\windows\\" + name)

    def run(self):
        try:
            for name, source in self.scenario.fixtures:
                target = self.staged(name)
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(source, target)
            for name in self.scenario.folders:
                self.staged(name).mkdir(parents=True, exist_ok=True)
        except (OSError, StepFailed) as error:
            return self.failed(None, f"the stage cannot be set: {error}")
        for step in self.scenario.steps:
            self.win.most_boxes = len(self.win.boxes)
            try:
                self.step(step)
            except StepFailed as failure:
                return self.failed(step, str(failure))
            except Failure as failure:
                return self.failed(step, f"the program failed: {failure}")
            self.say(f"  ok   {step.line:3} {step.text}")
        for name, source in self.scenario.expected_files:
            if any(p.state not in ("exited", "failed") for p in self.started):
                return self.failed(None, f"@expect-file {name}: the program has not ended")
            target = self.staged(name)
            if not source.is_file():
                return self.failed(None, f"@expect-file {name}: no file {source}")
            want = source.read_bytes()
            got = target.read_bytes() if target.is_file() else None
            if got != want:
                return self.failed(None, f"@expect-file {name}: expected {want!r}, seen "
                                         f"{'no file' if got is None else repr(got)}")
            self.say(f"  ok       @expect-file {name}")
        return True

    def failed(self, step, message):
        where = f"line {step.line}: {step.text}" if step else "at the end"
        self.say(f"  FAIL {self.scenario.name} {where}")
        for line in message.splitlines():
            self.say(f"       {line}")
        for process in self.started:
            if process.state in ("running", "blocked"):
                self.say(f"       the program: {process.where()}")
        return False

    def step(self, step):
        words = step.words
        verb, arguments = words[0], words[1:]
        handler = getattr(self, "do_" + verb.replace("-", "_"), None)
        if handler is None:
            raise StepFailed(f"no such step {verb!r}")
        try:
            handler(step, *arguments)
        except TypeError as error:
            if "positional argument" in str(error):
                raise StepFailed(f"{verb}: wrong number of words ({error})") from None
            raise

    # The program
    def do_start(self, step, app):
        import process
        if app not in ("$APP", str(self.exe)):
            raise StepFailed(f"start {app}: only $APP, the exe under test, can be started")
        program = process.Process(self.dev, self.exe, f"{self.exe.name}#{len(self.started) + 1}")
        self.dev.processes.append(program)
        self.started.append(program)
        program.start()
        first = len(self.started) == 1

        def holds():
            return self.win.main_window() is not None or program.state == "exited"
        if not self.run_until(holds, step.limit) or (first and self.win.main_window() is None):
            raise StepFailed(f"no main window; the program is {program.state}" +
                             (f" (exit code {program.exit_code})"
                              if program.exit_code is not None else ""))

    # A command comes from a tap on the menu bar: it keeps its place among the taps.
    def do_command(self, step, ident):
        self.win.post(self.main_window().hwnd, WM_COMMAND, int(ident, 0), 0, tapped=True)

    def do_quit(self, step):
        self.win.post(self.main_window().hwnd, WM_COMMAND, QUIT, 0, tapped=True)

    def do_finish(self, step):
        program = self.process()
        self.do_quit(step)
        self.check(step, lambda: program.state == "exited",
                   lambda: f"the program {program.state}")
        if program.exit_code != 0:
            raise StepFailed(f"exit code {program.exit_code}, expected 0")

    def do_expect_exit(self, step, code):
        program = self.process()
        self.check(step, lambda: program.state == "exited",
                   lambda: f"the program {program.state}")
        if program.exit_code != int(code, 0):
            raise StepFailed(f"exit code {program.exit_code}, expected {code}")

    def do_expect_window(self, step):
        self.check(step, lambda: self.win.main_window() is not None, lambda: "no main window")

    def do_expect_no_window(self, step):
        self.check(step, lambda: self.win.main_window() is None, lambda: "the main window")

    def do_sleep(self, step, milliseconds):
        self.run_until(lambda: False, int(milliseconds))

    def do_page_out(self, step):
        self.settle()
        for program in self.started:
            if program.state in ("running", "blocked"):
                program.page_out()

    # Dialogs and their controls
    def _dialog_with(self, ident):
        return [d for d in self.win.dialogs if d.alive and not d.dialog.ended and
                self.win.children_of(d, ident) is not None]

    def do_wait_dialog(self, step, ident):
        ident = int(ident, 0)

        def holds():
            dialog = self.win.current_dialog()
            return dialog is not None and self.win.children_of(dialog, ident) is not None
        self.check(step, holds, lambda: f"the current dialog: {self.describe_dialog()}")

    def do_expect_no_dialog(self, step, ident):
        ident = int(ident, 0)
        self.check(step, lambda: not self._dialog_with(ident),
                   lambda: f"the current dialog: {self.describe_dialog()}")

    def describe_dialog(self):
        dialog = self.win.current_dialog()
        if dialog is None:
            return "none"
        ids = sorted(c.ident for c in dialog.children if c.ident != 0xFFFF)
        return f"{dialog.text!r} with controls {ids}"

    def reachable(self, control, what):
        if not control.enabled:
            raise StepFailed(f"{what}: control {control.ident} is disabled")
        if not self.win.reachable(control):
            boxes = [b.describe() for b in self.win.boxes]
            raise StepFailed(f"{what}: control {control.ident} cannot be reached" +
                             (f" (a message box is open: {boxes[-1]})" if boxes else
                              f" (the current dialog: {self.describe_dialog()})"))

    def do_set(self, step, ident, text):
        control = self.control(int(ident, 0))
        if isinstance(control.procedure, int):
            raise StepFailed(f"set: {ident} is a window of the program's, not a control")
        control.text = text

    def do_type(self, step, ident, text):
        control = self.control(int(ident, 0))
        self.reachable(control, "type")
        self.win.focus = control.hwnd
        for char in text.encode("utf-16-le", "surrogatepass").decode("utf-16-le",
                                                                       "surrogatepass"):
            for unit in range(0, len(char.encode("utf-16-le")), 2):
                value = int.from_bytes(char.encode("utf-16-le")[unit:unit + 2], "little")
                self.win.post(control.hwnd, WM_CHAR, value, 1)

    def do_click(self, step, ident):
        control = self.control(int(ident, 0))
        self.reachable(control, "click")
        self.win.post(control.hwnd, WM_LBUTTONDOWN, 1, 0x00050005)
        self.win.post(control.hwnd, WM_LBUTTONUP, 0, 0x00050005)

    def do_done(self, step):
        dialog = self.win.current_dialog()
        if dialog is None:
            raise StepFailed("done: no dialog is open")
        if not dialog.dialog.done_button:
            raise StepFailed(f"done: the dialog {self.describe_dialog()} has no Done button "
                             "(SHInitDialog was not asked for one)")
        if self.win.boxes:
            raise StepFailed(f"done: a message box is open: {self.win.boxes[-1].describe()}")
        self.win.post(dialog.hwnd, WM_COMMAND, IDOK, 0, tapped=True)

    def combo(self):
        control = self.control(DEVICE_COMBO)
        if control.control is None:
            control.control = controls.ComboState()
        return control

    def do_select_device(self, step, index):
        control = self.combo()
        self.reachable(control, "select-device")
        index = int(index, 0)
        if not 0 <= index < len(control.control.items):
            raise StepFailed(f"select-device: no entry {index} among "
                             f"{control.control.items}")
        control.control.selection = index
        self.win.post(control.parent.hwnd, WM_COMMAND, (CBN_SELCHANGE << 16) | DEVICE_COMBO,
                      control.hwnd)

    def do_expect_device_count(self, step, count):
        self.check(step, lambda: len(self.combo().control.items) == int(count, 0),
                   lambda: f"{len(self.combo().control.items)}: {self.combo().control.items}")

    def text_of(self, ident):
        control = self.control(ident)
        if isinstance(control.control, controls.ComboState):
            state = control.control
            return state.items[state.selection] if state.selection >= 0 else ""
        return control.text

    def do_expect_text(self, step, ident, text):
        ident = int(ident, 0)
        self.check(step, lambda: self.text_of(ident) == text, lambda: repr(self.text_of(ident)))

    def do_expect_match(self, step, ident, pattern):
        ident = int(ident, 0)
        self.check(step, lambda: fnmatch.fnmatchcase(self.text_of(ident), pattern),
                   lambda: repr(self.text_of(ident)))

    def do_expect_enabled(self, step, ident):
        ident = int(ident, 0)
        self.check(step, lambda: self.control(ident).enabled, lambda: "disabled")

    def do_expect_disabled(self, step, ident):
        ident = int(ident, 0)
        self.check(step, lambda: not self.control(ident).enabled, lambda: "enabled")

    # Message boxes
    def top_box(self):
        return self.win.boxes[-1] if self.win.boxes else None

    def describe_box(self):
        box = self.top_box()
        return box.describe() if box else "no message box"

    def do_expect_msgbox(self, step, text):
        self.check(step, lambda: self.top_box() is not None and self.top_box().text == text and
                   self.top_box().caption == "Tamlink PPC", self.describe_box)

    def do_expect_msgbox_match(self, step, pattern):
        self.check(step, lambda: self.top_box() is not None and
                   fnmatch.fnmatchcase(self.top_box().text, pattern) and
                   self.top_box().caption == "Tamlink PPC", self.describe_box)

    def do_answer(self, step, name):
        try:
            problem = dialogs.answer(self.win, name)
        except ValueError as error:
            raise StepFailed(str(error)) from None
        if problem:
            raise StepFailed(problem)

    def do_expect_no_msgbox(self, step):
        self.check(step, lambda: not self.win.boxes, self.describe_box)

    def do_expect_msgbox_count(self, step, count):
        count = int(count, 0)
        self.check(step, lambda: len(self.win.boxes) == count,
                   lambda: f"{len(self.win.boxes)} open: {self.describe_box()}")
        if self.win.most_boxes > count:
            raise StepFailed(f"{self.win.most_boxes} message boxes were open at once")

    # The account list
    def do_expect_rows(self, step, count):
        self.check(step, lambda: len(self.list_rows()) == int(count, 0),
                   lambda: f"{len(self.list_rows())} rows: {self.describe_rows()}")

    def describe_rows(self):
        return ", ".join(f"{r.texts.get(0, '')!r}/{r.texts.get(1, '')!r}"
                         for r in self.list_rows())

    def do_expect_row(self, step, index, name, number):
        index = int(index, 0)

        def holds():
            rows = self.list_rows()
            return index < len(rows) and rows[index].texts.get(0, "") == name and \
                rows[index].texts.get(1, "") == number
        self.check(step, holds, lambda: self.describe_rows() or "no rows")

    def list_view(self):
        view = self.win.children_of(self.main_window(), ACCOUNT_LIST)
        if view is None:
            raise StepFailed("the main window has no list view 102")
        return view

    def row(self, verb, index):
        """The list view and the index of one of its rows."""
        index, rows = int(index, 0), self.list_rows()
        if not 0 <= index < len(rows):
            raise StepFailed(f"{verb}: no row {index} among {len(rows)}")
        return self.list_view(), index

    def do_select_row(self, step, index):
        view, index = self.row("select-row", index)
        for at, row in enumerate(view.control.rows):
            wanted = controls.LVIS_FOCUSED | controls.LVIS_SELECTED if at == index else 0
            row.state = (row.state & ~(controls.LVIS_FOCUSED | controls.LVIS_SELECTED)) | wanted

    def do_tap_row(self, step, index):
        view, index = self.row("tap-row", index)
        self.reachable(view, "tap-row")
        point = controls.row_point(index)
        self.win.post(view.hwnd, WM_LBUTTONDOWN, 1, point)
        self.win.post(view.hwnd, WM_LBUTTONUP, 0, point)

    # Files
    def file(self, path):
        target = self.host(path)
        return target.read_bytes() if target.is_file() else None

    def file_check(self, step, path, test, what):
        def seen():
            data = self.file(path)
            return "no file " + path if data is None else repr(data[-2000:])
        self.check(step, lambda: self.file(path) is not None and test(self.file(path)), seen)

    def do_expect_file(self, step, path, data):
        self.file_check(step, path, lambda got: got == file_bytes(data), "")

    def do_expect_file_contains(self, step, path, text):
        self.file_check(step, path, lambda got: file_bytes(text) in got, "")

    def do_expect_file_lacks(self, step, path, text):
        self.file_check(step, path, lambda got: file_bytes(text) not in got, "")

    def do_expect_file_count(self, step, path, text, count):
        self.file_check(step, path, lambda got: got.count(file_bytes(text)) == int(count, 0), "")

    def do_expect_no_file(self, step, path):
        self.check(step, lambda: not self.host(path).exists(), lambda: f"{path} exists")

    def do_write_file(self, step, path, data):
        target = self.host(path)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(file_bytes(data))
