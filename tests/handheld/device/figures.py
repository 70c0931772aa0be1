"""What the program's own ARM code costs: instructions it executes for a
start-up with 50 accounts (to its first GetMessageW), one idle tick, a Dial
press and a save of 50 accounts, and the deepest stack it used. The device's
own work inside the calls (drawing, the file system, RAS) is not counted."""
import pathlib
import random
import tempfile

from device import Device
from scenario import Runner, Scenario, Step

ACCOUNTS = 50


def account_file():
    names = [f"Provider {n:02d}" for n in range(ACCOUNTS)]
    random.Random(2003).shuffle(names)  # the same order every time: the sort has work
    lines = [f"{name},0{555000 + i},user{i},pass{i},{i % 3 * 30}" for i, name in enumerate(names)]
    return ("http://www.example.com/\n" + f"{ACCOUNTS}\n" + "\n".join(lines) + "\n").encode()


def measure(exe, cpu_model):
    with tempfile.TemporaryDirectory(prefix="handheld-figures-") as root:
        empty = pathlib.Path(root) / "empty.scn"
        empty.write_text("")
        device = Device(pathlib.Path(root) / "device", cpu_model)
        (device.windows_dir / "tamlink.cfg").write_bytes(account_file())
        runner = Runner(device, exe, Scenario(empty), lambda line: None)
        figures = {}

        def step(text, limit=None):
            runner.step(Step(0, _words(text), limit, text))

        def cost(action):
            program = runner.process()
            before = program.instructions
            action()
            return program.instructions - before

        step("start $APP")
        program = runner.process()
        figures["start-up with 50 accounts, to the first GetMessageW"] = \
            program.marks["first GetMessageW"]
        step("expect-rows 50")
        figures["one idle tick"] = cost(lambda: runner.run_until(lambda: False, 1000))
        step("tap-row 7")
        step("wait-dialog 1002")

        def press():
            step("click 1002")
            runner.settle()  # the press alone, before RAS tells anything
        figures["a Dial press"] = cost(press)
        step("expect-text 1002 Hangup")
        step("click 1002")
        step("expect-text 204 Disconnected.", 4100)
        step("click 2")
        step("expect-no-dialog 1002")
        step("command 40024")
        step("wait-dialog 1008")
        step("done")
        step("expect-no-dialog 1008")
        figures["a save of 50 accounts (the tick that writes them)"] = \
            cost(lambda: runner.run_until(lambda: False, 1000))
        step("finish")
        figures["deepest stack, bytes"] = program.stack_depth()
        return figures


def _words(text):
    from scenario import split_words
    return split_words(text, 0)[0]
