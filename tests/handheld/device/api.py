"""The table of calls the device answers: each stand-in registers itself under
its DLL and its exported name (or ordinal) with the number of 32-bit
arguments it takes. The loader binds every import of the exe to one of these;
an import with no stand-in stops the run and is named.

A stand-in is `function(dev, *arguments) -> int`, the arguments as unsigned
32-bit numbers. One that must run the program's own code (a window
procedure, a comparison) is a generator: it yields `ArmCall(address,
arguments)` and receives what that code returned in r0, or yields a `Wait`
and is resumed with what it waited for; what it returns is r0."""
import inspect

HANDLERS = {}


class Handler:
    def __init__(self, dll, name, argc, function):
        self.dll, self.name, self.argc, self.function = dll, name, argc, function
        self.generator = inspect.isgeneratorfunction(function)
        self.calls = 0

    @property
    def title(self):
        return self.name if isinstance(self.name, str) else f"{self.dll} ordinal {self.name}"


def api(dll, name, argc):
    def register(function):
        key = (dll.upper(), name)
        if key in HANDLERS:
            raise RuntimeError(f"{dll} {name} has two stand-ins")
        HANDLERS[key] = Handler(dll.upper(), name, argc, function)
        return function
    return register


def lookup(dll, name):
    dll = dll.upper()
    if dll.endswith(".DLL"):
        dll = dll[:-4]
    return HANDLERS.get((dll, name))


class ArmCall:
    """Run the program's code at address with these arguments (r0-r3, then the
    stack) and hand its r0 back to the stand-in that asked."""

    def __init__(self, address, arguments, what):
        self.address, self.arguments, self.what = address, list(arguments), what


class Wait:
    """The program's thread blocks in a call until `ready()` holds; the stand-in
    is then resumed with `take()`. Meanwhile the clock may move on and the
    scenario takes its next steps."""

    def __init__(self, what, ready, take):
        self.what, self.ready, self.take = what, ready, take


def run_generator(result):
    """`yield from` this on the result of a handler that may or may not be a
    generator, to get its value either way."""
    if inspect.isgenerator(result):
        return (yield from result)
    return result


def signed(value):
    value &= 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def low_word(value):
    return value & 0xFFFF


def high_word(value):
    return (value >> 16) & 0xFFFF
