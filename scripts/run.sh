#!/usr/bin/env bash
# Starts tamlink-sim.exe under Wine in a prefix kept between runs, so the
# accounts and the simulated phone book persist like on the handheld.
#   run.sh EXE PREFIX
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "$1")
prefix=$(realpath -m "$2")

if [ ! -f "$prefix/.tamlink-ready" ]; then
    echo "Preparing the Wine prefix $prefix (the first time takes 10-20 s)..."
fi
"$here/wine-prefix.sh" template "$prefix" || exit 1

export WINEPREFIX=$prefix WINEDEBUG=-all
xvfb=
cleanup() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    dfile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$dfile" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$dfile")"
    rm -f "$dfile"
    echo "No DISPLAY is set: Tamlink PPC runs on an Xvfb of its own at $DISPLAY."
    echo "Look at it with: DISPLAY=$DISPLAY import -window root shot.png   (Ctrl-C ends it)"
else
    echo "Starting Tamlink PPC on $DISPLAY."
fi
echo "Its files are in $prefix/drive_c/windows (tamlink.cfg, rassim.ini, rassim.pbk, rassim.log)."

cd "$prefix/drive_c" && wine "$exe" 2> >(grep -v -e 'wine32 is missing' -e 'multiarch needs' \
    -e 'execute "dpkg --add' -e 'apt-get install wine32' >&2)
rc=$?
echo "Tamlink PPC ended with exit code $rc."
exit $rc
