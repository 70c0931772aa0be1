#!/usr/bin/env bash
# Starts tamlink-sim.exe under Wine in a prefix kept between runs, so the
# accounts and the simulated phone book persist like on the handheld.
#   run.sh EXE PREFIX
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "$1")
prefix=$(realpath -m "$2")

. "$here/wine-env.sh"
export WINEPREFIX=$prefix
xvfb= wine_started=
cleanup() {
    if [ -n "$wine_started" ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
# Ctrl-C is the way to end it: a clean end, not a failure.
trap 'echo; echo "Tamlink PPC stopped."; exit 0' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    dfile=$(mktemp)
    # A session of its own, so that Ctrl-C reaches Wine, not the X server under it.
    setsid Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$dfile" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
    if [ ! -s "$dfile" ]; then
        rm -f "$dfile"
        echo "Xvfb did not start." >&2
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$dfile")"
    rm -f "$dfile"
    echo "No DISPLAY is set: Tamlink PPC runs on an Xvfb of its own at $DISPLAY."
    echo "Look at it with: DISPLAY=$DISPLAY import -window root shot.png   (Ctrl-C ends it)"
elif ! command -v xdpyinfo >/dev/null; then
    echo "xdpyinfo (Debian x11-utils) is needed to check the display $DISPLAY." >&2
    exit 1
elif ! xdpyinfo >/dev/null 2>&1; then
    # Wine would start, find no display, and end at once as if all went well.
    echo "Cannot open the display $DISPLAY." >&2
    echo "Start an X server there, or unset DISPLAY to run on an Xvfb of its own." >&2
    exit 1
else
    echo "Starting Tamlink PPC on $DISPLAY (Ctrl-C ends it)."
fi

wine_started=1
if [ ! -f "$prefix/.tamlink-ready" ]; then
    echo "Preparing the Wine prefix $prefix (the first time takes 10-20 s)..."
fi
"$here/wine-prefix.sh" template "$prefix" || exit 1

echo "Its files are in $prefix/drive_c/windows (tamlink.cfg, rassim.ini, rassim.pbk, rassim.log)."

# Started in the background and waited for, so that Ctrl-C runs the trap at once
# and wineserver ends the program, whatever Wine makes of the signal.
cd "$prefix/drive_c" || exit 1
wine "$exe" 2> >(without_wine32_advice >&2) &
wait $!
rc=$?
echo "Tamlink PPC ended with exit code $rc."
exit $rc
