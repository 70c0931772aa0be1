"""One program on the device: its ARM CPU (Unicorn, the SA-1110's or the
PXA250's model), its memory as Windows CE 3.0's loader lays it out, and the
way its calls reach the stand-ins.

Every import is bound to a stub of its own, `swi 0; mov pc, lr`. The swi
hook answers the call from r0-r3 and the stack. A stand-in that runs the
program's code (a window procedure) sets the PC there with the link register
at the return stub, another swi, and is resumed when that code returns; one
that blocks (GetMessageW with nothing to get) stops the CPU until the device
has what it waits for. It all stays one emulation run per wake-up."""
import struct

from unicorn import (UC_ARCH_ARM, UC_ERR_INSN_INVALID, UC_HOOK_BLOCK, UC_HOOK_INTR, UC_HOOK_MEM_INVALID,
                     UC_HOOK_MEM_READ, UC_HOOK_MEM_WRITE, UC_MEM_FETCH_PROT,
                     UC_MEM_FETCH_UNMAPPED, UC_MEM_READ_PROT, UC_MEM_READ_UNMAPPED,
                     UC_MEM_WRITE, UC_MEM_WRITE_PROT, UC_MEM_WRITE_UNMAPPED, UC_MODE_ARM,
                     UC_PROT_ALL, UC_PROT_EXEC, UC_PROT_READ, UC_PROT_WRITE, Uc, UcError)
from unicorn.arm_const import (UC_ARM_REG_CPSR, UC_ARM_REG_LR, UC_ARM_REG_PC, UC_ARM_REG_R0,
                               UC_ARM_REG_R1, UC_ARM_REG_R2, UC_ARM_REG_R3, UC_ARM_REG_SP)

import api
from image import Image, Resources
from memory import PAGE, Failure, Memory, page_up, rights_of_section

# The process's 32 MB slot, as CE 3.0 gives every process one.
HEAP_START, HEAP_END = 0x00400000, 0x01D00000
STACK_TOP = 0x01E00000
DATA_PAGE = 0x01EF0000  # what the device hands the program: its command line
STUBS = 0x01F00000
RETURN_STUB = STUBS + 0xF000
END_STUB = STUBS + 0xF008
SWI, MOV_PC_LR = 0xEF000000, 0xE1A0F00E
NEVER = 0xFFFFFFFC
REAL_SECONDS = 120  # a program that never waits this long has a loop that never ends

REGISTERS = [UC_ARM_REG_R0, UC_ARM_REG_R1, UC_ARM_REG_R2, UC_ARM_REG_R3]


class ProcessExit(Exception):
    def __init__(self, code):
        super().__init__(code)
        self.code = code


class Frame:
    """A stand-in that has not returned yet: it runs the program's code, or waits."""

    def __init__(self, title, generator, return_address, sp):
        self.title, self.generator = title, generator
        self.return_address, self.sp = return_address, sp
        self.call_sp = sp
        self.wait = None
        self.calling = None


class Heap:
    """LocalAlloc's memory: every block on pages of its own, its end against an
    unmapped page, so that a write past it or a use after LocalFree faults."""

    def __init__(self, mem):
        self.mem = mem
        self.next = HEAP_START
        self.blocks = {}  # address -> (region, size)
        self.free_ranges = []

    def allocate(self, size, zero):
        pages = page_up(max(size, 1))
        start = self._place(pages + PAGE)
        region = self.mem.map(f"LocalAlloc block of {size} bytes", start, pages,
                              UC_PROT_READ | UC_PROT_WRITE)
        address = start + pages - ((max(size, 1) + 7) & ~7)
        if not zero:  # what LocalAlloc without LMEM_ZEROINIT gives is not zeros
            self.mem.uc.mem_write(start, b"\xCD" * pages)
        self.blocks[address] = (region, size)
        return address

    def _place(self, span):
        if self.next + span <= HEAP_END:
            start, self.next = self.next, self.next + span
            return start
        for i, (start, length) in enumerate(self.free_ranges):
            if length >= span:
                self.free_ranges[i] = (start + span, length - span)
                return start
        raise Failure("LocalAlloc: the stand-in's heap is used up (a leak?)")

    def free(self, address):
        block = self.blocks.pop(address, None)
        if block is None:
            return 0
        region, _ = block
        self.mem.unmap(region)
        self.free_ranges.append((region.start, region.size + PAGE))
        return 1

    def size(self, address):
        block = self.blocks.get(address)
        return None if block is None else block[1]


class Process:
    def __init__(self, dev, exe, name):
        self.dev, self.name = dev, name
        self.uc = Uc(UC_ARCH_ARM, UC_MODE_ARM)
        self.uc.ctl_set_cpu_model(dev.cpu_model)  # before any memory is mapped
        self.mem = Memory(self.uc)
        self.image = Image(exe)
        self.instance = self.image.base
        self.frames = []
        self.state = "new"  # new, running, blocked, exited, failed
        self.exit_code = None
        self.failure = None
        self.hook_error = None
        self.last_error = 0
        self.calls = []  # the last few calls made, for a failure's report
        self.instructions = 0  # executed in the program's own code
        self.call_sp = 0
        self.marks = {}  # instruction counts at moments worth naming
        self.common_controls = 0  # the classes InitCommonControlsEx registered
        self.input_panel = 1  # down
        self.menu_bar = None
        self.launches = []  # what ShellExecuteEx was asked to open
        self.slept = 0
        self._load()
        self.resources = Resources(self.mem, self.image.resource_root)
        self._hooks()

    # Loading
    def _load(self):
        image, mem = self.image, self.mem
        mem.map("headers", image.base, PAGE, UC_PROT_READ)
        self.uc.mem_write(image.base, image.headers[:PAGE])
        self.sections = {}
        for section in image.sections:
            region = mem.map(section.name, section.start, section.virtual_size,
                             rights_of_section(section.characteristics))
            self.uc.mem_write(section.start, section.raw)
            self.sections[section.name] = (section, region)
        self.text = image.text
        self.stubs = {}
        stub_code = bytearray()
        unknown = []
        for index, item in enumerate(image.imports):
            handler = api.lookup(item.dll, item.name)
            if handler is None:
                unknown.append(f"{item.dll} {item.title}")
                continue
            stub = STUBS + 8 * index
            self.stubs[stub] = handler
            stub_code += b"\0" * (stub - STUBS - len(stub_code))
            stub_code += struct.pack("<II", SWI, MOV_PC_LR)
            # The loader writes the stub's address into the import address
            # table, read-only section or not, as CE's DoImports does.
            self.uc.mem_write(item.slot, struct.pack("<I", stub))
        if unknown:
            raise Failure("the exe imports calls the stand-in does not answer: " +
                          ", ".join(unknown))
        mem.map("the device's call stubs", STUBS, 0x10000, UC_PROT_READ | UC_PROT_EXEC)
        self.uc.mem_write(STUBS, bytes(stub_code))
        self.uc.mem_write(RETURN_STUB, struct.pack("<II", SWI, SWI))
        reserve = page_up(image.stack_reserve)
        self.stack = mem.map("stack", STACK_TOP - reserve, reserve,
                             UC_PROT_READ | UC_PROT_WRITE)
        self.lowest_sp = STACK_TOP
        mem.map("process data", DATA_PAGE, PAGE, UC_PROT_READ | UC_PROT_WRITE)
        self.heap = Heap(mem)

    def page_out(self):
        """What CE 3.0 does under low memory: the pages of the read-only
        sections are dropped and read again from the file, with relocations
        applied (an exe at its base has none to apply) but not its imports."""
        for section, region in self.sections.values():
            if section.writable:
                continue
            data = section.raw + b"\0" * (region.size - len(section.raw))
            self.uc.mem_write(section.start, data[: region.size])

    # Hooks
    def _hooks(self):
        self.uc.hook_add(UC_HOOK_INTR, self._on_interrupt)
        self.uc.hook_add(UC_HOOK_MEM_READ | UC_HOOK_MEM_WRITE, self._on_access)
        self.uc.hook_add(UC_HOOK_MEM_INVALID, self._on_invalid)
        text = self.text
        self.uc.hook_add(UC_HOOK_BLOCK, self._on_block, begin=text.start,
                         end=text.start + text.virtual_size - 1)
        self.fault = None

    def _on_block(self, uc, address, size, _):
        self.instructions += size // 4

    def _on_access(self, uc, access, address, size, value, _):
        if size > 1 and address % size:
            kind = "store" if access == UC_MEM_WRITE else "load"
            self.fault = (f"an unaligned {size}-byte {kind} at {self.mem.describe(address)} "
                          "(the StrongARM does not do them)")
            uc.emu_stop()
            return
        if access == UC_MEM_WRITE and self.stack.start <= address < self.lowest_sp:
            self.lowest_sp = address

    def _on_invalid(self, uc, access, address, size, value, _):
        what = {UC_MEM_READ_UNMAPPED: "a load from unmapped", UC_MEM_WRITE_UNMAPPED:
                "a store to unmapped", UC_MEM_FETCH_UNMAPPED: "a jump to unmapped",
                UC_MEM_WRITE_PROT: "a store to read-only", UC_MEM_READ_PROT:
                "a load from unreadable", UC_MEM_FETCH_PROT: "a jump to non-code"}.get(
                    access, "an access to")
        where = self.mem.describe(address)
        if self.stack.start - PAGE <= address < self.stack.start:
            where += ", just below the stack: the stack overflowed"
        if access == UC_MEM_FETCH_UNMAPPED and address < 0x10000:
            where += (", in the bottom 64 KB: an import address read again from the file "
                      "after a page-out?")
        self.fault = f"{what} memory: {size} bytes at {where}"
        return False

    def _on_interrupt(self, uc, number, _):
        try:
            if number != 2:
                raise Failure(f"exception {number} (not a call) at "
                              f"{self.reg(UC_ARM_REG_PC):#010x}")
            at = self.reg(UC_ARM_REG_PC) - 4
            if at in self.stubs:
                self._call(self.stubs[at])
            elif at == RETURN_STUB:
                frame = self.frames[-1]
                self.set_reg(UC_ARM_REG_SP, frame.call_sp)
                frame.calling = None
                self._advance(self.reg(UC_ARM_REG_R0))
            elif at == END_STUB:
                raise Failure("WinMainCRTStartup returned: the primary thread ran past its "
                              "end instead of ending with ExitThread")
            else:
                raise Failure(f"a swi at {at:#010x}, which is no call of the device's")
        except ProcessExit as end:
            self.state, self.exit_code = "exited", end.code
            uc.emu_stop()
        except BaseException as error:  # Unicorn would lose it; it ends the run
            self.hook_error = error
            uc.emu_stop()

    # Calls
    def reg(self, register):
        return self.uc.reg_read(register)

    def set_reg(self, register, value):
        self.uc.reg_write(register, value & 0xFFFFFFFF)

    def reg_sp(self):
        return self.reg(UC_ARM_REG_SP)

    def set_sp(self, value):
        self.set_reg(UC_ARM_REG_SP, value)

    def arg(self, index):
        """The index-th 32-bit argument of the call being answered."""
        if index < 4:
            return self.reg(REGISTERS[index])
        return self.mem.u32(self.call_sp + 4 * (index - 4))

    def _call(self, handler):
        handler.calls += 1
        self.call_sp = sp = self.reg(UC_ARM_REG_SP)
        arguments = [self.arg(i) for i in range(handler.argc)]
        return_address = self.reg(UC_ARM_REG_LR)
        self.calls.append((handler.title, return_address))
        del self.calls[:-12]
        self.mem.call = handler.title
        if not handler.generator:
            result = handler.function(self.dev, *arguments)
            self._return(return_address, sp, result)
            return
        self.frames.append(Frame(handler.title, handler.function(self.dev, *arguments),
                                 return_address, sp))
        self._advance(None)

    def _return(self, address, sp, result):
        self.set_reg(UC_ARM_REG_R0, result or 0)
        self.set_reg(UC_ARM_REG_SP, sp)
        self.set_reg(UC_ARM_REG_PC, address)
        self.mem.call = self.frames[-1].title if self.frames else "the program"

    def _advance(self, value):
        frame = self.frames[-1]
        self.mem.call = frame.title
        try:
            request = frame.generator.send(value)
        except StopIteration as done:
            self.frames.pop()
            self._return(frame.return_address, frame.sp, done.value)
            return
        if isinstance(request, api.ArmCall):
            self._enter(frame, request)
        elif isinstance(request, api.Wait):
            frame.wait = request
            self.state = "blocked"
            self.uc.emu_stop()
        else:
            raise Failure(f"{frame.title}: the stand-in asked for {request!r}")

    def _enter(self, frame, call):
        if not (self.text.start <= call.address < self.text.start + self.text.virtual_size):
            raise Failure(f"{frame.title}: {call.what} is at {self.mem.describe(call.address)}, "
                          "which is not the program's code")
        sp = self.reg(UC_ARM_REG_SP)
        frame.call_sp = sp
        extra = call.arguments[4:]
        if extra:
            sp = (sp - 4 * len(extra)) & ~7
            self.uc.mem_write(sp, struct.pack(f"<{len(extra)}I",
                                              *[a & 0xFFFFFFFF for a in extra]))
        for register, value in zip(REGISTERS, call.arguments[:4]):
            self.set_reg(register, value)
        frame.calling = call.what
        self.set_reg(UC_ARM_REG_SP, sp)
        self.set_reg(UC_ARM_REG_LR, RETURN_STUB)
        self.set_reg(UC_ARM_REG_PC, call.address)

    def push(self, data):
        """Room on the program's stack for a record the device hands it (a
        notification's NMHDR, a CREATESTRUCT); gone when the call returns."""
        sp = (self.reg(UC_ARM_REG_SP) - len(data)) & ~7
        if sp < self.stack.start:
            raise Failure(f"{self.mem.call}: no room left on the stack")
        self.uc.mem_write(sp, bytes(data))
        self.set_reg(UC_ARM_REG_SP, sp)
        if sp < self.lowest_sp:
            self.lowest_sp = sp
        return sp

    # Running
    def start(self, command_line=""):
        line = (command_line + "\0").encode("utf-16-le")
        self.uc.mem_write(DATA_PAGE, line)
        self.set_reg(UC_ARM_REG_SP, STACK_TOP)
        self.set_reg(UC_ARM_REG_CPSR, 0x13)  # ARM state, as the device enters an exe
        for register, value in zip(REGISTERS, [self.instance, 0, DATA_PAGE, 5]):  # SW_SHOW
            self.set_reg(register, value)
        self.set_reg(UC_ARM_REG_LR, END_STUB)
        self.set_reg(UC_ARM_REG_PC, self.image.entry)
        self.state = "running"

    def runnable(self):
        if self.state == "running":
            return True
        return self.state == "blocked" and self.frames[-1].wait.ready()

    def run(self):
        """Runs until the program blocks, ends or fails."""
        self.dev.proc = self
        if self.state == "blocked":
            frame = self.frames[-1]
            wait, frame.wait = frame.wait, None
            self.state = "running"
            try:
                self._advance(wait.take())
            except ProcessExit as end:
                self.state, self.exit_code = "exited", end.code
            except Failure as failure:
                self._fail(str(failure))
        while self.state == "running":
            self.fault = None
            try:
                self.uc.emu_start(self.reg(UC_ARM_REG_PC), NEVER, timeout=REAL_SECONDS * 1000000)
            except UcError as error:
                self._fail(self.fault or self._explain(error))
                break
            if self.hook_error is not None:
                error, self.hook_error = self.hook_error, None
                if isinstance(error, Failure):
                    self._fail(str(error))
                    break
                raise error
            if self.fault:
                self._fail(self.fault)
            elif self.state == "running":
                self._fail(f"the program ran {REAL_SECONDS} s of real time without waiting")
        if self.state == "exited":
            self.dev.win.process_ended(self)

    def _explain(self, error):
        if error.errno == UC_ERR_INSN_INVALID:
            pc = self.reg(UC_ARM_REG_PC)
            try:
                word = f"{struct.unpack('<I', self.uc.mem_read(pc, 4))[0]:#010x}"
            except UcError:
                word = "unreadable"
            return f"an undefined instruction for this CPU: {word} at {self.mem.describe(pc)}"
        return str(error)

    def _fail(self, message):
        self.state = "failed"
        self.failure = f"{message}\n    {self.where()}"
        self.dev.win.process_ended(self)

    def where(self):
        """Where the program is: its PC, the calls in progress, the last calls."""
        pc = self.reg(UC_ARM_REG_PC)
        lines = [f"ARM pc {self.mem.describe(pc)}, lr {self.reg(UC_ARM_REG_LR):#010x}, "
                 f"sp {self.reg(UC_ARM_REG_SP):#010x}"]
        for frame in reversed(self.frames):
            doing = f" -> {frame.calling}" if frame.calling else ""
            doing += f" (waiting: {frame.wait.what})" if frame.wait else ""
            lines.append(f"in {frame.title}, called from {frame.return_address:#010x}{doing}")
        if self.calls:
            lines.append("last calls: " + ", ".join(
                f"{title}@{at:#x}" for title, at in self.calls[-6:]))
        return "\n    ".join(lines)

    def stack_depth(self):
        return STACK_TOP - self.lowest_sp
