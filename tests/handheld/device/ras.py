"""The handheld's RAS with a modem on a phone line behind it: the eight RAS
calls coredll exports to the program, answered as the project's simulated
RAS service answers them in its handheld dialect, with the records at the
handheld's sizes.

It is configured by "\\windows\\rassim.ini", keeps its phone book in
"\\windows\\rassim.pbk" and appends every call and notification to
"\\windows\\rassim.log", all three in the forms the simulated service uses, so
that one scenario reads the same files whichever of the two ran. The
configuration is read at the program's first RAS call, which is also the 0
of the log's times. Notifications are posted to the dialling window as
WM_RASDIALEVENT on the device's virtual clock."""
import collections

import files
from api import api
from memory import Failure

WM_RASDIALEVENT = 0xCCCD
NOTIFIER_WINDOW = 0xFFFFFFFF

CONFIG_PATH = "\\windows\\rassim.ini"
PHONEBOOK_PATH = "\\windows\\rassim.pbk"
LOG_PATH = "\\windows\\rassim.log"

# Codes (winerror.h, raserror.h).
ERROR_NOT_ENOUGH_MEMORY = 8
ERROR_INVALID_HANDLE = 6
ERROR_INVALID_PARAMETER = 87
ERROR_INVALID_NAME = 123
ERROR_ALREADY_EXISTS = 183
ERROR_BUFFER_TOO_SMALL = 603
ERROR_DEVICE_DOES_NOT_EXIST = 608
ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623
ERROR_REMOTE_DISCONNECTION = 629
ERROR_HARDWARE_FAILURE = 630
ERROR_INVALID_SIZE = 632
ERROR_PORT_NOT_AVAILABLE = 633
ERROR_LINE_BUSY = 676
ERROR_VOICE_ANSWER = 677
ERROR_NO_ANSWER = 678
ERROR_NO_CARRIER = 679
ERROR_NO_DIALTONE = 680
ERROR_AUTHENTICATION_FAILURE = 691

# Connection states.
RASCS_OpenPort = 0
RASCS_PortOpened = 1
RASCS_ConnectDevice = 2
RASCS_DeviceConnected = 3
RASCS_AllDevicesConnected = 4
RASCS_Authenticate = 5
RASCS_AuthNotify = 6
RASCS_Authenticated = 14
RASCS_Connected = 0x2000
RASCS_Disconnected = 0x2001
NO_STATE = 0xFFFFFFFF  # a dial before its first state

STATE_NAMES = {
    RASCS_OpenPort: "RASCS_OpenPort",
    RASCS_PortOpened: "RASCS_PortOpened",
    RASCS_ConnectDevice: "RASCS_ConnectDevice",
    RASCS_DeviceConnected: "RASCS_DeviceConnected",
    RASCS_AllDevicesConnected: "RASCS_AllDevicesConnected",
    RASCS_Authenticate: "RASCS_Authenticate",
    RASCS_AuthNotify: "RASCS_AuthNotify",
    RASCS_Authenticated: "RASCS_Authenticated",
    RASCS_Connected: "RASCS_Connected",
    RASCS_Disconnected: "RASCS_Disconnected",
}

# Field limits in characters, without the terminator.
MAX_ENTRY_NAME = 20
MAX_DEVICE_TYPE = 16
MAX_DEVICE_NAME = 32  # the handheld's records
MAX_STORED_DEVICE_NAME = 128  # what the phone book's file gives back
MAX_PHONE_NUMBER = 128
UNLEN = 256
PWLEN = 256

# The Windows CE 3.0 records: 32-bit ARM, WCHAR of 2 bytes, DWORDs 4-aligned.
RASENTRY_SIZE = 3276
RASENTRY_OPTIONS = 4
RASENTRY_LOCAL_PHONE_NUMBER = 38
RASENTRY_FRAME_SIZE = 320
RASENTRY_NET_PROTOCOLS = 324
RASENTRY_FRAMING_PROTOCOL = 328
RASENTRY_DEVICE_TYPE = 1892
RASENTRY_DEVICE_NAME = 1926

RASDIALPARAMS_SIZE = 1464
RASDIALPARAMS_ENTRY_NAME = 4
RASDIALPARAMS_PHONE_NUMBER = 46
RASDIALPARAMS_USER_NAME = 402
RASDIALPARAMS_PASSWORD = 916

RASCONN_SIZE = 52
RASCONN_HANDLE = 4
RASCONN_ENTRY_NAME = 8

RASCONNSTATUS_SIZE = 112
RASCONNSTATUS_STATE = 4
RASCONNSTATUS_ERROR = 8
RASCONNSTATUS_DEVICE_TYPE = 12
RASCONNSTATUS_DEVICE_NAME = 46

RASDEVINFO_SIZE = 104
RASDEVINFO_DEVICE_TYPE = 4
RASDEVINFO_DEVICE_NAME = 38

DEFAULT_DIAL_MS = 2000
DEFAULT_AUTH_MS = 1000
# A refused hang-up: the handheld's answer when it cannot let a live line go.
HANG_UP_REFUSAL = ERROR_NOT_ENOUGH_MEMORY

MAX_DEVICES = 32
MAX_NUMBER_RULES = 64
MAX_ACCOUNTS = 32
MAX_CONNECTIONS = 16

DEFAULT_DEVICES = [
    ("modem", "Hayes Compatible on COM1:"),
    ("isdn", "ISDN Terminal Adapter"),
    ("direct", "Serial Cable on COM1:"),
]

OUTCOMES = {
    "connect": 0,
    "busy": ERROR_LINE_BUSY,
    "noanswer": ERROR_NO_ANSWER,
    "nodialtone": ERROR_NO_DIALTONE,
    "nocarrier": ERROR_NO_CARRIER,
    "voice": ERROR_VOICE_ANSWER,
    "hardware": ERROR_HARDWARE_FAILURE,
}

DIALING, CONNECTED, ENDED = "dialing", "connected", "ended"

ConnectionView = collections.namedtuple("ConnectionView", "handle state error number device")


# --- Texts compared as the C library compares them -------------------------

def _ascii_lower(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def same_text_ignoring_case(a, b):
    """_wcsicmp in the C locale: only A-Z fold."""
    return _ascii_lower(a) == _ascii_lower(b)


def _units(text):
    """Its length as wcslen counts it: UTF-16 units."""
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


def _cut(text, units):
    """At most that many UTF-16 units of it, as a fixed field keeps them."""
    data = text.encode("utf-16-le", "surrogatepass")[:2 * max(units, 0)]
    return data.decode("utf-16-le", "surrogatepass")


def _trim(text):
    return text.strip()  # iswspace's blanks


def _all_digits(text):
    return bool(text) and all("0" <= c <= "9" for c in text)


def _to_ulong(digits):
    # wcstoul saturates at ULONG_MAX.
    return min(int(digits), 0xFFFFFFFF)


def _parse_outcome(text):
    """(error, drop seconds) for "busy", "drop:30" or an error number such as
    "691"; None for anything else."""
    for name, error in OUTCOMES.items():
        if same_text_ignoring_case(text, name):
            return error, 0
    if same_text_ignoring_case(text[:5], "drop:") and _all_digits(text[5:]):
        return 0, _to_ulong(text[5:])
    if _all_digits(text):
        return _to_ulong(text), 0
    return None


def valid_entry_name(name):
    """An entry name the handheld accepts, and one the phone book's file can hold."""
    if name is None or not 0 < _units(name) <= MAX_ENTRY_NAME:
        return False
    if name[0] == " " or name[-1] == " " or name[0] == ";":
        return False
    return not any(ord(c) < 0x20 or c in "[]" for c in name)


# --- The profile files, as the Win32 profile calls read and write them ----

def _profile_space(c):
    return c.isspace() or c == "\x1a"  # a DOS end-of-file mark counts as a blank


def _fold(text):
    return "".join(c.lower() if len(c.lower()) == 1 else c for c in text)


def _build_ansi_table():
    table = []
    for byte in range(256):
        try:
            table.append(bytes([byte]).decode("cp1252"))
        except UnicodeDecodeError:
            table.append(chr(byte))  # the code page's holes map to themselves
    return table


_ANSI = _build_ansi_table()
_ANSI_BACK = {c: bytes([i]) for i, c in enumerate(_ANSI)}


def _decode(data):
    """(text, encoding) of a profile file: a byte-order mark says which,
    otherwise it is in the ANSI code page."""
    if data[:3] == b"\xef\xbb\xbf":
        return data[3:].decode("utf-8", "replace"), "utf-8"
    if data[:2] == b"\xff\xfe":
        return data[2:].decode("utf-16-le", "replace"), "utf-16-le"
    if data[:2] == b"\xfe\xff":
        return data[2:].decode("utf-16-be", "replace"), "utf-16-be"
    return "".join(_ANSI[b] for b in data), "ansi"


def _encode(text, encoding):
    if encoding == "utf-8":
        return b"\xef\xbb\xbf" + _no_lone_surrogates(text).encode("utf-8")
    if encoding == "utf-16-le":
        return b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass")
    if encoding == "utf-16-be":
        return b"\xfe\xff" + text.encode("utf-16-be", "surrogatepass")
    return b"".join(_ANSI_BACK.get(c, b"?") for c in text)


def _no_lone_surrogates(text):
    return "".join("\ufffd" if 0xD800 <= ord(c) <= 0xDFFF else c for c in text)


class Profile:
    """An INI file as the profile calls hold it: sections in file order (the
    first, nameless, holds what comes before any header), each a list of
    [name, value] keys, value None for a line without "="."""

    def __init__(self, path):
        self.path = path
        self.encoding = "ansi"
        self.sections = [["", []]]
        self.readable = True
        if path.is_dir():
            self.readable = False  # the profile calls cannot open it
            return
        try:
            data = path.read_bytes()
        except FileNotFoundError:
            return
        except OSError:
            self.readable = False
            return
        text, self.encoding = _decode(data)
        self._parse(text)

    def _parse(self, text):
        keys = self.sections[0][1]
        for line in text.split("\n"):
            start, end = 0, len(line)
            while start < end and _profile_space(line[start]):
                start += 1
            while end > start and _profile_space(line[end - 1]):
                end -= 1
            line = line[start:end]
            if not line:
                continue
            if line[0] == "[":
                close = line.rfind("]")
                if close > 0:
                    keys = []
                    self.sections.append([_strip_profile(line[1:close]), keys])
                    continue
            equals = line.find("=")
            if equals >= 0:
                name = _rstrip_profile(line[:equals])
                value = _lstrip_profile(line[equals + 1:])
            else:
                name, value = line, None
            # Of several lines that start with "=", only the first is kept.
            if name or not keys or keys[-1][0]:
                keys.append([name, value])

    # Reading
    def section_names(self):
        return [name for name, _ in self.sections if name]

    def section_lines(self, section):
        """The lines of the first section of that name as GetPrivateProfileSection
        gives them: "key=value", or the key alone for a line without "=";
        comments left out."""
        for name, keys in self.sections:
            if name and _fold(name) == _fold(section):
                return [key if value is None else f"{key}={value}" for key, value in keys
                        if not key.startswith(";")]
        return []

    def _find(self, section, key):
        section, key = _strip_profile(section), _strip_profile(key)
        for name, keys in self.sections:
            if name and _fold(name) == _fold(section):
                for entry in keys:
                    if _fold(entry[0]) == _fold(key):
                        return entry
                return None
        return None

    def get_string(self, section, key, default, chars):
        """GetPrivateProfileString into a buffer of chars characters."""
        entry = self._find(section, key)
        value = entry[1] if entry is not None and entry[1] is not None else default
        return _copy_entry(value, chars)

    def get_int(self, section, key, default):
        value = self.get_string(section, key, "", 30)
        if not value:
            return default & 0xFFFFFFFF
        return _string_to_integer(value)

    # Writing
    def delete_section(self, section):
        for index, (name, _) in enumerate(self.sections):
            if name and _fold(name) == _fold(section):
                del self.sections[index]
                return True
        return False

    def set_string(self, section, key, value):
        section_name = _strip_profile(section)
        key_name = _strip_profile(key)
        value = _strip_profile(value)
        entry = self._find(section, key)
        if entry is None:
            keys = None
            for name, existing in self.sections:
                if name and _fold(name) == _fold(_strip_profile(section)):
                    keys = existing
                    break
            if keys is None:
                keys = []
                self.sections.append([section_name, keys])
            entry = [key_name, None]
            keys.append(entry)
        if entry[1] == value:
            return False
        entry[1] = value
        return True

    def save(self):
        if not self.readable:
            return
        text = []
        for name, keys in self.sections:
            if name:
                text.append(f"[{name}]\r\n")
            for key, value in keys:
                text.append(key if value is None else f"{key}={value}")
                text.append("\r\n")
        try:
            self.path.write_bytes(_encode("".join(text), self.encoding))
        except OSError:
            pass  # as the profile calls, a file that cannot be written is left as it is


def _strip_profile(text):
    start, end = 0, len(text)
    while start < end and _profile_space(text[start]):
        start += 1
    while end > start and _profile_space(text[end - 1]):
        end -= 1
    return text[start:end]


def _rstrip_profile(text):
    end = len(text)
    while end > 0 and _profile_space(text[end - 1]):
        end -= 1
    return text[:end]


def _lstrip_profile(text):
    start = 0
    while start < len(text) and _profile_space(text[start]):
        start += 1
    return text[start:]


def _copy_entry(value, chars):
    """A value into a buffer of chars characters, a pair of quotes around it taken off."""
    quoted = len(value) > 1 and value[0] in "'\"" and value[-1] == value[0]
    if quoted:
        value = value[1:]
    out = _cut(value, chars - 1)
    if quoted and chars >= _units(value):
        out = out[:-1]
    return out


def _string_to_integer(text):
    """RtlUnicodeStringToInteger in base 0: leading blanks, a sign, 0x/0o/0b,
    then digits as far as they go."""
    i = 0
    while i < len(text) and text[i] <= " ":
        i += 1
    negative = False
    if i < len(text) and text[i] in "+-":
        negative = text[i] == "-"
        i += 1
    base = 10
    if text[i:i + 2] in ("0b", "0o", "0x"):
        base = {"b": 2, "o": 8, "x": 16}[text[i + 1]]
        i += 2
    total = 0
    for c in text[i:]:
        if "0" <= c <= "9":
            digit = ord(c) - ord("0")
        elif "A" <= c <= "Z":
            digit = ord(c) - ord("A") + 10
        elif "a" <= c <= "z":
            digit = ord(c) - ord("a") + 10
        else:
            break
        if digit >= base:
            break
        total = (total * base + digit) & 0xFFFFFFFF
    return (-total if negative else total) & 0xFFFFFFFF


# --- The service ----------------------------------------------------------

class Config:
    def __init__(self):
        self.desktop = False
        self.devices = []  # (type, name)
        self.numbers = []  # (number, (error, drop seconds))
        self.other_numbers = (0, 0)
        self.accounts_listed = False
        self.accounts = []  # (user, password)
        self.dial_ms = DEFAULT_DIAL_MS
        self.auth_ms = DEFAULT_AUTH_MS
        self.hang_up_ms = 0
        self.status_lag_ms = 0
        self.hang_up_failures = 0


def _key_value_lines(profile, section):
    """(key, value) of every "key=value" line of a section, trimmed, in file order."""
    for line in profile.section_lines(section):
        if "=" not in line or line.startswith(";"):
            continue
        key, _, value = line.partition("=")
        key, value = _trim(key), _trim(value)
        if key:
            yield key, value


def read_config(path):
    profile = Profile(path)
    config = Config()
    dialect = profile.get_string("Service", "Dialect", "", 64)
    config.desktop = same_text_ignoring_case(_trim(dialect.split(";")[0]), "desktop")

    if not any(same_text_ignoring_case(name, "Devices") for name in profile.section_names()):
        config.devices = list(DEFAULT_DEVICES)
    else:
        for _, value in _key_value_lines(profile, "Devices"):
            if len(config.devices) >= MAX_DEVICES or "," not in value:
                continue
            kind, _, name = value.partition(",")
            # The handheld knows a device by the part of its name it can list.
            config.devices.append((_cut(_trim(kind), MAX_DEVICE_TYPE),
                                   _cut(_trim(name), MAX_DEVICE_NAME)))

    for key, value in _key_value_lines(profile, "Numbers"):
        outcome = _parse_outcome(value)
        if outcome is None:
            continue
        if key == "*":
            config.other_numbers = outcome
        elif len(config.numbers) < MAX_NUMBER_RULES:
            config.numbers.append((_cut(key, MAX_PHONE_NUMBER), outcome))

    for key, value in _key_value_lines(profile, "Accounts"):
        config.accounts_listed = True
        if len(config.accounts) < MAX_ACCOUNTS:
            config.accounts.append((_cut(key, UNLEN), _cut(value, PWLEN)))

    def number(section, key, default):
        value = profile.get_int(section, key, default)
        # A negative value would come back as a huge unsigned one.
        return 0 if value & 0x80000000 else value

    config.dial_ms = number("Timing", "DialMs", DEFAULT_DIAL_MS)
    config.auth_ms = number("Timing", "AuthMs", DEFAULT_AUTH_MS)
    config.hang_up_ms = number("Timing", "HangUpMs", 0)
    config.status_lag_ms = number("Timing", "StatusLagMs", 0)
    config.hang_up_failures = number("Faults", "HangUpFailures", 0)
    return config


class Connection:
    def __init__(self, handle, notifier):
        self.handle = handle
        self.notifier = notifier
        self.going_down = False  # hung up, and its line still coming down
        self.phase = DIALING
        self.last_state = NO_STATE
        self.error = 0  # what it ended with
        self.ended_at = 0  # service ms when it ended
        self.state_before_end = RASCS_OpenPort  # what a lagging status answers
        self.entry_name = ""
        self.device_type = ""
        self.device_name = ""
        self.number = ""
        self.user_name = ""


class Event:
    def __init__(self, due, handle, state, error):
        self.due, self.handle, self.state, self.error = due, handle, state, error
        self.token = None


class StoredEntry:
    def __init__(self):
        self.exists = False
        self.number = ""
        self.device_type = ""
        self.device_name = ""
        self.options = 0
        self.frame_size = 0
        self.net_protocols = 0
        self.framing_protocol = 0


class RasService:
    """The device's RAS. It starts at the program's first RAS call; until then
    the diagnostics below answer without starting it."""

    def __init__(self, dev):
        self.dev = dev
        self.started = False
        self.origin = 0  # device ms at which the service started
        self.config = None
        self.connections_ = []
        self.next_handle = 0  # never reused
        self.events = []  # planned notifications, in planned order
        self.hang_up_refusals_left = 0
        self.calls = collections.Counter()

    # Where its files are on the host
    @property
    def config_path(self):
        return files.host_path(self.dev, CONFIG_PATH)

    @property
    def pbk_path(self):
        return files.host_path(self.dev, PHONEBOOK_PATH)

    @property
    def log_path(self):
        return files.host_path(self.dev, LOG_PATH)

    # The clock: ms since the service started, the log's times
    def now(self):
        return self.dev.now() - self.origin if self.started else 0

    def ensure_started(self):
        if self.started:
            return
        config = read_config(self.config_path)
        if config.desktop:
            raise Failure(f"{CONFIG_PATH} asks for Dialect=desktop; the device answers as the "
                          "handheld only")
        self.config = config
        self.origin = self.dev.now()
        self.started = True
        self.hang_up_refusals_left = config.hang_up_failures
        self.log(f"service started: handheld dialect, {len(config.devices)} devices, "
                 f"{len(config.numbers)} numbers, "
                 f"{'listed accounts only' if config.accounts_listed else 'any account'}, "
                 f"DialMs {config.dial_ms}, AuthMs {config.auth_ms}, "
                 f"HangUpMs {config.hang_up_ms}, StatusLagMs {config.status_lag_ms}, "
                 f"HangUpFailures {config.hang_up_failures}")

    def log(self, text):
        line = f"{self.now()} {text}"
        if len(line) > 1020:  # the line's buffer keeps what fits
            line = line[:1019]
        data = _no_lone_surrogates(line + "\r\n").encode("utf-8")
        try:
            with open(self.log_path, "ab") as log:
                log.write(data)
        except OSError:
            pass  # a log that cannot be opened is skipped, as the service skips it

    # The phone book
    def phonebook(self):
        return Profile(self.pbk_path)

    def has_entry(self, name):
        return any(same_text_ignoring_case(section, name)
                   for section in self.phonebook().section_names())

    def stored_entry(self, name):
        """The entry as the phone book keeps it (exists False when it has none)."""
        stored = StoredEntry()
        book = self.phonebook()
        if not any(same_text_ignoring_case(s, name) for s in book.section_names()):
            return stored
        stored.exists = True
        stored.number = book.get_string(name, "Number", "", MAX_PHONE_NUMBER + 1)
        stored.device_type = book.get_string(name, "DeviceType", "", MAX_DEVICE_TYPE + 1)
        stored.device_name = book.get_string(name, "DeviceName", "", MAX_STORED_DEVICE_NAME + 1)
        stored.options = book.get_int(name, "Options", 0)
        stored.frame_size = book.get_int(name, "FrameSize", 0)
        stored.net_protocols = book.get_int(name, "NetProtocols", 0)
        stored.framing_protocol = book.get_int(name, "FramingProtocol", 0)
        return stored

    def write_entry(self, name, entry):
        # Replace the whole entry, so nothing of an older one lingers.
        book = self.phonebook()
        changed = book.delete_section(name)
        for key, value in (("Number", entry["number"]), ("DeviceType", entry["device_type"]),
                           ("DeviceName", entry["device_name"]),
                           ("Options", str(entry["options"])),
                           ("FrameSize", str(entry["frame_size"])),
                           ("NetProtocols", str(entry["net_protocols"])),
                           ("FramingProtocol", str(entry["framing_protocol"]))):
            changed |= book.set_string(name, key, value)
        if changed:
            book.save()

    def delete_entry(self, name):
        book = self.phonebook()
        if book.delete_section(name):
            book.save()

    # Connections
    def find(self, handle):
        for c in self.connections_:
            if c.handle == handle:
                return c
        return None

    def remove(self, handle):
        self.connections_ = [c for c in self.connections_ if c.handle != handle]

    def configured_device(self, kind, name):
        return any(same_text_ignoring_case(t, kind) and same_text_ignoring_case(n, name)
                   for t, n in self.config.devices)

    def port_in_use(self, name):
        return any(same_text_ignoring_case(c.device_name, name) for c in self.connections_)

    def outcome_of(self, number):
        for listed, outcome in self.config.numbers:
            if listed == number:
                return outcome
        return self.config.other_numbers

    def account_accepted(self, user, password):
        if not self.config.accounts_listed:
            return True
        return any(same_text_ignoring_case(u, user) and p == password
                   for u, p in self.config.accounts)

    # Notifications
    def schedule(self, handle, due, state, error):
        """Plans a state for a connection at a moment on the service clock;
        the device's clock keeps the events of one moment in planned order."""
        event = Event(due, handle, state, error)
        self.events.append(event)
        event.token = self.dev.schedule(self.origin + due, lambda: self._post(event))

    def cancel_events(self, handle):
        for event in [e for e in self.events if e.handle == handle]:
            self.dev.cancel(event.token)
            self.events.remove(event)

    def _post(self, event):
        if not any(e is event for e in self.events):
            return
        self.events = [e for e in self.events if e is not event]
        c = self.find(event.handle)
        if c is None:
            return
        self.reach_state(c, event.state, event.error)
        # A hung-up line is gone once it is down.
        if c.going_down and event.state == RASCS_Disconnected:
            self.remove(event.handle)

    def reach_state(self, c, state, error):
        """The connection reaches a state at once (an error ends it) and its window is told."""
        if c.phase != ENDED and (state == RASCS_Disconnected or error):
            c.ended_at = self.now()
            c.state_before_end = RASCS_OpenPort if c.last_state == NO_STATE else c.last_state
        c.last_state = state
        if state == RASCS_Connected:
            c.phase = CONNECTED
        if state == RASCS_Disconnected or error:
            c.phase = ENDED
            c.error = error
        if not c.notifier:
            return
        self.dev.post_message(c.notifier, WM_RASDIALEVENT, state, error)
        self.log(f"notify connection {c.handle:x}: {state_name(state)} ({state}), error {error}")

    def plan_dial(self, c, password):
        """The road of a dial, every notification planned from its start. The
        handheld ends a failing dial with RASCS_Disconnected."""
        h = c.handle
        start = self.now()
        self.schedule(h, start, RASCS_OpenPort, 0)
        if not self.configured_device(c.device_type, c.device_name):
            self.schedule(h, start, RASCS_Disconnected, ERROR_DEVICE_DOES_NOT_EXIST)
            return
        if self.port_in_use(c.device_name):
            self.schedule(h, start, RASCS_Disconnected, ERROR_PORT_NOT_AVAILABLE)
            return
        self.schedule(h, start, RASCS_PortOpened, 0)
        self.schedule(h, start, RASCS_ConnectDevice, 0)

        answered = start + self.config.dial_ms
        error, drop_seconds = self.outcome_of(c.number)
        if error:
            self.schedule(h, answered, RASCS_Disconnected, error)
            return
        for state in (RASCS_DeviceConnected, RASCS_AllDevicesConnected, RASCS_Authenticate,
                      RASCS_AuthNotify):
            self.schedule(h, answered, state, 0)

        verified = answered + self.config.auth_ms
        if not self.account_accepted(c.user_name, password):
            self.schedule(h, verified, RASCS_Disconnected, ERROR_AUTHENTICATION_FAILURE)
            return
        self.schedule(h, verified, RASCS_Authenticated, 0)
        self.schedule(h, verified, RASCS_Connected, 0)
        if drop_seconds:
            self.schedule(h, verified + drop_seconds * 1000, RASCS_Disconnected,
                          ERROR_REMOTE_DISCONNECTION)

    # For scenarios and diagnostics
    def connections(self):
        """The connections RasEnumConnections lists, in its order: (handle, the
        last state reached or 0xFFFFFFFF before the first, the error it ended
        with, the number dialled, the device name)."""
        return [ConnectionView(c.handle, c.last_state, c.error, c.number, c.device_name)
                for c in self.connections_]

    def connection_details(self):
        """Everything kept of each connection, as dicts."""
        return [dict(vars(c)) for c in self.connections_]

    def clock_ms(self):
        return self.now()


def service(dev):
    return dev.service("ras", RasService)


def state_name(state):
    return STATE_NAMES.get(state, "RASCS_?")


# --- Reading and writing the program's records ----------------------------

def _field(mem, address, chars):
    """A text field of a record the caller filled: never read past its end."""
    return mem.wstr(address, chars)


def _no_phonebook(call, phonebook):
    if phonebook:
        raise Failure(f"{call}: given a phone-book path ({phonebook:#010x}); the handheld keeps "
                      "one phone book and the program passes NULL")


def _start(dev, call):
    s = service(dev)
    s.ensure_started()
    s.calls[call] += 1
    return s


def _start_entry_call(dev, call, phonebook, entry_name):
    """The service and the entry's name, for a call on one phone-book entry."""
    s = _start(dev, call)
    _no_phonebook(call, phonebook)
    return s, dev.mem.wstr_or_none(entry_name)


def _enumerate(s, mem, call, noun, records, size, n, bytes_pointer, count_pointer, fill):
    """An enumeration answered and written to the log."""
    if not bytes_pointer or not count_pointer:
        s.log(f"{call} = {ERROR_INVALID_PARAMETER}")
        return ERROR_INVALID_PARAMETER
    given = mem.u32(bytes_pointer)
    result = _answer_enumeration(mem, records, size, n, given, bytes_pointer, count_pointer, fill)
    s.log(f"{call}({given} bytes) = {result}, {n} {noun}, {n * size} bytes needed")
    return result


def _answer_enumeration(mem, records, size, n, given, bytes_pointer, count_pointer, fill):
    """How RAS answers an enumeration into the caller's buffer: 632 when the
    first record's dwSize is not the record's size; 603 with the bytes needed
    when the buffer is too small (or missing); otherwise the n records, each
    zeroed, sized and filled. The count and the size needed come back with
    both of the last."""
    if records and mem.u32(records) != size:
        return ERROR_INVALID_SIZE
    needed = n * size
    mem.put_u32(bytes_pointer, needed)
    mem.put_u32(count_pointer, n)
    if given < needed or (not records and needed > 0):
        return ERROR_BUFFER_TOO_SMALL
    for i in range(n):
        record = records + i * size
        mem.fill(record, 0, size)
        mem.put_u32(record, size)
        fill(record, i)
    return 0


# --- The calls --------------------------------------------------------------

@api("COREDLL", "RasEnumDevicesW", 3)
def RasEnumDevicesW(dev, devices, bytes_pointer, count_pointer):
    s = _start(dev, "RasEnumDevices")
    mem = dev.mem
    n = len(s.config.devices)

    def fill(record, i):
        kind, name = s.config.devices[i]
        mem.put_wstr(record + RASDEVINFO_DEVICE_TYPE, kind, MAX_DEVICE_TYPE + 1)
        mem.put_wstr(record + RASDEVINFO_DEVICE_NAME, name, MAX_DEVICE_NAME + 1)

    return _enumerate(s, mem, "RasEnumDevices", "devices", devices, RASDEVINFO_SIZE, n,
                      bytes_pointer, count_pointer, fill)


@api("COREDLL", "RasEnumConnections", 3)
def RasEnumConnections(dev, connections, bytes_pointer, count_pointer):
    s = _start(dev, "RasEnumConnections")
    mem = dev.mem
    listed = list(s.connections_)
    n = len(listed)

    def fill(record, i):
        mem.put_u32(record + RASCONN_HANDLE, listed[i].handle)
        mem.put_wstr(record + RASCONN_ENTRY_NAME, listed[i].entry_name, MAX_ENTRY_NAME + 1)

    return _enumerate(s, mem, "RasEnumConnections", "connections", connections, RASCONN_SIZE, n,
                      bytes_pointer, count_pointer, fill)


@api("COREDLL", "RasValidateEntryName", 2)
def RasValidateEntryName(dev, phonebook, entry_name):
    s, name = _start_entry_call(dev, "RasValidateEntryName", phonebook, entry_name)
    if not valid_entry_name(name):
        result = ERROR_INVALID_NAME
    elif s.has_entry(name):
        result = ERROR_ALREADY_EXISTS
    else:
        result = 0
    s.log(f'RasValidateEntryName("{name or ""}") = {result}')
    return result


@api("COREDLL", "RasSetEntryProperties", 6)
def RasSetEntryProperties(dev, phonebook, entry_name, entry, entry_bytes, device_info,
                          device_info_bytes):
    s, name = _start_entry_call(dev, "RasSetEntryProperties", phonebook, entry_name)
    if device_info or device_info_bytes:
        raise Failure(f"RasSetEntryProperties: given device information ({device_info:#010x}, "
                      f"{device_info_bytes} bytes); the program passes none and the stand-in "
                      "keeps none")
    mem = dev.mem
    copy = None
    if not valid_entry_name(name):
        result = ERROR_INVALID_NAME
    elif not entry:
        result = ERROR_INVALID_PARAMETER
    elif mem.u32(entry) != RASENTRY_SIZE or entry_bytes != RASENTRY_SIZE:
        result = ERROR_INVALID_SIZE
    else:
        mem.check(entry, RASENTRY_SIZE)
        result = 0
        copy = {
            "number": _field(mem, entry + RASENTRY_LOCAL_PHONE_NUMBER, MAX_PHONE_NUMBER),
            "device_type": _field(mem, entry + RASENTRY_DEVICE_TYPE, MAX_DEVICE_TYPE),
            "device_name": _field(mem, entry + RASENTRY_DEVICE_NAME, MAX_DEVICE_NAME),
            "options": mem.u32(entry + RASENTRY_OPTIONS),
            "frame_size": mem.u32(entry + RASENTRY_FRAME_SIZE),
            "net_protocols": mem.u32(entry + RASENTRY_NET_PROTOCOLS),
            "framing_protocol": mem.u32(entry + RASENTRY_FRAMING_PROTOCOL),
        }
    shown = copy or {"number": "", "device_type": "", "device_name": ""}
    s.log(f'RasSetEntryProperties("{name or ""}", number "{shown["number"]}", device '
          f'{shown["device_type"]} "{shown["device_name"]}") = {result}')
    if result == 0:
        s.write_entry(name, copy)
    return result


@api("COREDLL", "RasDeleteEntry", 2)
def RasDeleteEntry(dev, phonebook, entry_name):
    s, name = _start_entry_call(dev, "RasDeleteEntry", phonebook, entry_name)
    if not valid_entry_name(name):
        result = ERROR_INVALID_NAME
    elif not s.has_entry(name):
        result = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY
    else:
        result = 0
    s.log(f'RasDeleteEntry("{name or ""}") = {result}')
    if result == 0:
        s.delete_entry(name)
    return result


@api("COREDLL", "RasDial", 6)
def RasDial(dev, extensions, phonebook, params, notifier_type, notifier, connection_pointer):
    s = _start(dev, "RasDial")
    if extensions:
        raise Failure(f"RasDial: given dial extensions ({extensions:#010x}); the program "
                      "passes NULL")
    _no_phonebook("RasDial", phonebook)
    if notifier_type != NOTIFIER_WINDOW:
        raise Failure(f"RasDial: notifier type {notifier_type:#x}; the program's dials notify "
                      "a window (0xFFFFFFFF)")
    if not notifier:
        raise Failure("RasDial: no window to notify; a dial without one would run to its end "
                      "inside the call, which the program never asks for")
    mem = dev.mem
    c = Connection(0, notifier)
    stored = None
    if not params or not connection_pointer:
        result = ERROR_INVALID_PARAMETER
    elif mem.u32(params) != RASDIALPARAMS_SIZE:
        result = ERROR_INVALID_SIZE
    else:
        mem.check(params, RASDIALPARAMS_SIZE)
        c.entry_name = _field(mem, params + RASDIALPARAMS_ENTRY_NAME, MAX_ENTRY_NAME)
        c.user_name = _field(mem, params + RASDIALPARAMS_USER_NAME, UNLEN)
        stored = s.stored_entry(c.entry_name)
        if not stored.exists:
            result = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY
        elif len(s.connections_) >= MAX_CONNECTIONS:
            result = ERROR_NOT_ENOUGH_MEMORY
        else:
            result = 0
    if result == 0:
        # A number in the dial parameters takes the place of the entry's.
        number = _field(mem, params + RASDIALPARAMS_PHONE_NUMBER, MAX_PHONE_NUMBER)
        c.number = number if number else stored.number
        c.device_type = stored.device_type
        c.device_name = stored.device_name
        s.next_handle += 1
        c.handle = s.next_handle
    s.log(f'RasDial("{c.entry_name}", user "{c.user_name}", number "{c.number}", device '
          f'{c.device_type} "{c.device_name}") = {result}, connection {c.handle:x}')
    if result:
        return result

    password = _field(mem, params + RASDIALPARAMS_PASSWORD, PWLEN)
    s.plan_dial(c, password)  # before the connection is listed: its own port is free
    s.connections_.append(c)
    mem.put_u32(connection_pointer, c.handle)
    return 0


@api("COREDLL", "RasHangUp", 1)
def RasHangUp(dev, handle):
    s = _start(dev, "RasHangUp")
    c = s.find(handle)
    if c is None:
        result = ERROR_INVALID_HANDLE
    elif s.hang_up_refusals_left > 0:
        s.hang_up_refusals_left -= 1  # [Faults] HangUpFailures: the line stays up
        result = HANG_UP_REFUSAL
    else:
        result = 0
    s.log(f"RasHangUp({handle:x}) = {result}")
    if result or c.going_down:
        return result
    s.cancel_events(handle)
    # [Timing] HangUpMs: the line comes down, and says so, later.
    if s.config.hang_up_ms and c.phase != ENDED:
        c.going_down = True
        s.schedule(handle, s.now() + s.config.hang_up_ms, RASCS_Disconnected, 0)
        return 0
    # One that had ended has told its window so already.
    if c.phase != ENDED:
        s.reach_state(c, RASCS_Disconnected, 0)
    s.remove(handle)
    return 0


@api("COREDLL", "RasGetConnectStatus", 2)
def RasGetConnectStatus(dev, handle, status):
    s = _start(dev, "RasGetConnectStatus")
    mem = dev.mem
    c = s.find(handle)
    if not status:
        result = ERROR_INVALID_PARAMETER
    elif mem.u32(status) != RASCONNSTATUS_SIZE:
        result = ERROR_INVALID_SIZE
    elif c is None:
        result = ERROR_INVALID_HANDLE
    else:
        result = 0
    if result:
        s.log(f"RasGetConnectStatus({handle:x}) = {result}")
        return result
    # A dial is opening its port until its first state is reached. A line that
    # ended by itself is told as it was until [Timing] StatusLagMs has passed.
    lagging = c.phase == ENDED and s.now() < c.ended_at + s.config.status_lag_ms
    state = RASCS_OpenPort if c.last_state == NO_STATE else c.last_state
    if lagging:
        state = c.state_before_end
    error = c.error if c.phase == ENDED and not lagging else 0
    mem.fill(status, 0, RASCONNSTATUS_SIZE)
    mem.put_u32(status, RASCONNSTATUS_SIZE)
    mem.put_u32(status + RASCONNSTATUS_STATE, state)
    mem.put_u32(status + RASCONNSTATUS_ERROR, error)
    mem.put_wstr(status + RASCONNSTATUS_DEVICE_TYPE, c.device_type, MAX_DEVICE_TYPE + 1)
    mem.put_wstr(status + RASCONNSTATUS_DEVICE_NAME, c.device_name, MAX_DEVICE_NAME + 1)
    s.log(f"RasGetConnectStatus({handle:x}) = 0, {state_name(state)} ({state}), error {error}")
    return 0
