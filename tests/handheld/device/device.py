"""The device the program runs on: its virtual clock and what happens on it,
its file system, the processes on it, and the services that the stand-ins of
the calls share (windows, RAS). Nothing here waits in real time: the clock
moves only when every process waits, or when a process sleeps."""
import heapq
import itertools
import pathlib

from memory import Failure


class Device:
    def __init__(self, root, cpu_model):
        self.root = pathlib.Path(root)  # the device's "\"
        self.windows_dir = self.root / "windows"
        self.windows_dir.mkdir(parents=True, exist_ok=True)
        self.cpu_model = cpu_model
        self.clock = 0  # virtual milliseconds since the device started
        self._events = []  # (time, order, action)
        self._order = itertools.count()
        self._cancelled = set()
        self.processes = []
        self.proc = None  # the process whose call is being answered
        self.services = {}  # what the stand-ins keep, by name (ras, files, ...)
        self.journal = []  # (ms, line) for device.log
        import controls
        import windows
        self.win = windows.WindowSystem(self)
        controls.register(self.win)
        # Every module of stand-ins registers its calls as it is read.
        import crt, dialogs, files, ras, system  # noqa: F401,E401

    # The clock
    def now(self):
        return self.clock

    def schedule(self, at, action):
        """Runs action() when the clock reaches `at` (virtual ms); a token for cancel()."""
        token = next(self._order)
        heapq.heappush(self._events, (max(at, self.clock), token, action))
        return token

    def cancel(self, token):
        self._cancelled.add(token)

    def next_event(self):
        while self._events and self._events[0][1] in self._cancelled:
            self._cancelled.discard(heapq.heappop(self._events)[1])
        times = [self._events[0][0]] if self._events else []
        due = self.win.next_timer_due(after=self.clock)
        if due is not None:
            times.append(due)
        return min(times) if times else None

    def run_due_events(self):
        while self._events and self._events[0][0] <= self.clock:
            _, token, action = heapq.heappop(self._events)
            if token in self._cancelled:
                self._cancelled.discard(token)
                continue
            action()

    def advance_to(self, when):
        """Moves the clock to `when`, running what falls due on the way in order."""
        while True:
            self.run_due_events()
            pending = [e for e in self._events if e[1] not in self._cancelled]
            upcoming = min((e[0] for e in pending), default=None)
            if upcoming is None or upcoming > when:
                break
            self.clock = max(self.clock, upcoming)
        self.clock = max(self.clock, when)

    # Services the stand-ins share
    @property
    def mem(self):
        return self.proc.mem

    def service(self, name, make):
        if name not in self.services:
            self.services[name] = make(self)
        return self.services[name]

    def post_message(self, hwnd, message, wparam, lparam):
        return self.win.post(hwnd, message, wparam, lparam)

    def note(self, line):
        """A line of device.log: what the device was asked outside RAS."""
        self.journal.append((self.clock, line))
        with open(self.windows_dir / "device.log", "a", encoding="utf-8") as log:
            log.write(f"{self.clock} {line}\n")

    @staticmethod
    def quoted(text):
        """A text as device.log gives it: in double quotes, line ends shown."""
        return '"' + text.replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t") + '"'

    def fail(self, message):
        raise Failure(message)
