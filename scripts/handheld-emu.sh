#!/usr/bin/env bash
# Runs the Pocket PC's tamlink.exe, its own ARM code, on an emulated SA-1110
# (StrongARM) and PXA250 (XScale), every call it makes answered by a stand-in
# of the device (tests/handheld/device/), through the scenario files.
#   handheld-emu.sh [--cpu sa1110|pxa250] [--keep DIR] [--figures] [exe] [scenario.scn|folder ...]
# Defaults: both CPUs, build/ce/tamlink.exe, tests/handheld/scenarios/. Ends
# with "N passed, N failed". Without an exe to run and without the Windows CE
# compiler that would build one, it says so and exits 77 (a skip for CTest).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
label="handheld emulator"
report=/dev/null
exe_given=0
for argument in "$@"; do
    case "$argument" in *.exe | *.EXE) exe_given=1 ;; esac
done
if [ "$exe_given" -eq 0 ] && [ ! -f "${TAMLINK_CE_EXE:-$root/build/ce/tamlink.exe}" ]; then
    # shellcheck source=scripts/cegcc.sh
    . "$root/scripts/cegcc.sh" # exits 77 without a compiler
    echo "$label: no ${TAMLINK_CE_EXE:-build/ce/tamlink.exe}; make handheld builds it" >&2
    exit 1
fi
# Debian's Python, which has Unicorn and pefile (python3-unicorn, python3-pefile).
python=/usr/bin/python3
if ! "$python" -c 'import unicorn, pefile' 2>/dev/null; then
    echo "$label: $python lacks unicorn or pefile (Debian python3-unicorn python3-pefile)" >&2
    exit 1
fi
if [ "$exe_given" -eq 0 ] && [ -n "${TAMLINK_CE_EXE:-}" ]; then
    set -- "$TAMLINK_CE_EXE" "$@"
fi
# Nothing is written into the source tree, not even bytecode.
exec env PYTHONDONTWRITEBYTECODE=1 "$python" "$root/tests/handheld/device/handheld_emu.py" "$@"
