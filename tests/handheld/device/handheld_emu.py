#!/usr/bin/python3
"""Runs the Pocket PC's tamlink.exe, its own ARM code, on an emulated
StrongARM (SA-1110) and XScale (PXA250), with every call it makes answered
by a stand-in of the device, through scenario files.

    handheld_emu.py [--cpu sa1110|pxa250] [--keep DIR] [exe] [scenario.scn|folder ...]

Defaults: both CPUs, build/ce/tamlink.exe, the project's scenarios. Prints a
line per step and per scenario, and ends with "N passed, N failed", one count
per scenario and CPU."""
import argparse
import pathlib
import shutil
import sys
import tempfile
import traceback

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from unicorn.arm_const import UC_CPU_ARM_PXA250, UC_CPU_ARM_SA1110  # noqa: E402

from device import Device  # noqa: E402
from memory import Failure  # noqa: E402
from scenario import Runner, Scenario, ScenarioError  # noqa: E402

ROOT = HERE.parents[2]
CPUS = {"sa1110": (UC_CPU_ARM_SA1110, "SA-1110, StrongARM, ARMv4"),
        "pxa250": (UC_CPU_ARM_PXA250, "PXA250, XScale, ARMv5TE")}


def scenarios_from(paths):
    found = []
    for path in paths:
        path = pathlib.Path(path)
        found += sorted(path.glob("*.scn")) if path.is_dir() else [path]
    return found


def run_one(exe, path, cpu, keep, say):
    try:
        scenario = Scenario(path)
    except (OSError, ScenarioError) as error:
        say(f"  FAIL the scenario cannot be read: {error}")
        return False
    with tempfile.TemporaryDirectory(prefix="handheld-") as scratch:
        root = pathlib.Path(keep) / f"{cpu}-{path.stem}" if keep else pathlib.Path(scratch)
        if keep:
            shutil.rmtree(root, ignore_errors=True)
        root.mkdir(parents=True, exist_ok=True)
        try:
            device = Device(root, CPUS[cpu][0])
            return Runner(device, exe, scenario, say).run()
        except Failure as failure:
            say(f"  FAIL {failure}")
            return False
        except Exception:  # a fault of the stand-in's own: this run fails, the others go on
            say("  FAIL the stand-in itself failed:")
            for line in traceback.format_exc().splitlines():
                say(f"       {line}")
            return False


def print_figures(exe, cpus):
    import figures
    print(f"{exe}: instructions of the program's own code (the calls' own work not counted)")
    for cpu in cpus:
        print(f"[{cpu}] {CPUS[cpu][1]}")
        try:
            measured = figures.measure(exe, CPUS[cpu][0])
        except Exception as error:  # a failed step or run: say it and fail
            print(f"  FAILED: {error}")
            return 1
        for what, count in measured.items():
            print(f"  {count:>9,}  {what}")
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cpu", choices=sorted(CPUS), action="append")
    parser.add_argument("--keep", help="keep each run's device folder under this folder")
    parser.add_argument("--figures", action="store_true",
                        help="print what the program's own code costs instead")
    parser.add_argument("paths", nargs="*", help="the exe, then scenario files or folders")
    options = parser.parse_intermixed_args(argv)
    paths = list(options.paths)
    exe = ROOT / "build/ce/tamlink.exe"
    if paths and paths[0].lower().endswith(".exe"):
        exe = pathlib.Path(paths.pop(0))
    scenarios = scenarios_from(paths or [HERE.parent / "scenarios"])
    cpus = options.cpu or ["sa1110", "pxa250"]
    if not exe.is_file():
        print(f"handheld emulator: no exe at {exe}", file=sys.stderr)
        return 2
    if not scenarios:
        print("handheld emulator: no scenarios", file=sys.stderr)
        return 2
    if options.figures:
        return print_figures(exe.resolve(), cpus)
    passed = failed = 0
    for cpu in cpus:
        for path in scenarios:
            print(f"[{cpu}] {path.name} ({CPUS[cpu][1]}, {exe})", flush=True)
            ok = run_one(exe.resolve(), path, cpu, options.keep,
                         lambda line: print(line, flush=True))
            print(f"[{cpu}] {path.name}: {'passed' if ok else 'FAILED'}", flush=True)
            passed, failed = passed + ok, failed + (not ok)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
