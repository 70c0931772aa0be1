#!/usr/bin/env bash
# Runs one Windows test program under Wine in a fresh prefix and on an Xvfb of
# its own, with the working directory in its drive_c so that "\windows\..."
# paths land inside the prefix. Tests running side by side never share a
# screen, a focus or a mouse.
#   wine-test.sh TEMPLATE RUNDIR EXE [ARGS...]
set -u
if [ -z "${TAMLINK_OWN_XVFB:-}" ]; then
    TAMLINK_OWN_XVFB=1 exec "$(dirname "$0")/with-xvfb.sh" "$0" "$@"
fi
template=$(realpath -m "$1") rundir=$(realpath -m "$2") exe=$(realpath -m "$3")
shift 3
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" clone "$template" "$rundir/prefix" || exit 1

. "$here/wine-env.sh"
export WINEPREFIX=$rundir/prefix
log=$rundir/output.log
# Wine's helper processes hold stdout open after the program ends: log to a file.
(cd "$WINEPREFIX/drive_c" && exec wine "$exe" "$@") >"$log" 2>&1
rc=$?
# Pictures the end-to-end tests took become PNGs for the README.
shots=$WINEPREFIX/drive_c/shots
if [ -d "$shots" ] && [ -n "${TAMLINK_BUILD_DIR:-}" ]; then
    mkdir -p "$TAMLINK_BUILD_DIR/screenshots"
    for bmp in "$shots"/*.bmp; do
        [ -f "$bmp" ] && convert "$bmp" -strip "$TAMLINK_BUILD_DIR/screenshots/$(basename "${bmp%.bmp}").png"
    done
fi
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
without_wine32_advice <"$log"
[ $rc -eq 0 ] && rm -rf "$rundir/prefix"
exit $rc
