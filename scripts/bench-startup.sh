#!/usr/bin/env bash
# Start-up bench: tamlink-sim.exe with a 50-account file against a window of
# the same class that does nothing else, alternately, each start in a fresh
# prefix. start_timer.exe times each one inside Wine, from the process's
# creation until its main window is visible. Prints both medians and their
# ratio. Needs a display (run it under with-xvfb.sh).
#   bench-startup.sh WIN_BUILD_DIR WORK_DIR [RUNS]
# BENCH_SETTLE_MS (default 2000): how long the timer waits in each fresh prefix
# before it starts the program, so that the services Wine starts with a
# prefix's first process are up and not running alongside the timed start.
set -euo pipefail
win=$(realpath "$1") work=$(realpath -m "$2") runs=${3:-10}
here=$(cd "$(dirname "$0")" && pwd)
settle=${BENCH_SETTLE_MS:-2000}
. "$here/wine-env.sh"

"$here/wine-prefix.sh" template "$work/template"

# The account file of a full table, in the program's format.
accounts=$work/tamlink.cfg
{
    printf '\n50\n'
    for i in $(seq -w 1 50); do printf 'Account %s,0800 555 %s,user%s,secret%s,%d\n' "$i" "$i" "$i" "$i" $((10#$i % 3 * 30)); done
} >"$accounts"

time_start() { # PROGRAM RESULT
    local prefix=$work/run
    "$here/wine-prefix.sh" clone "$work/template" "$prefix"
    cp "$accounts" "$prefix/drive_c/windows/tamlink.cfg"
    export WINEPREFIX=$prefix
    rm -f "$2"
    (cd "$prefix/drive_c" && wine "$win/bench/start_timer.exe" "$1" "$2" "$settle") >"$work/timer.log" 2>&1 || {
        without_wine32_advice <"$work/timer.log" >&2
        return 1
    }
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    cat "$2"
}

: >"$work/program.ms"
: >"$work/window.ms"
for run in $(seq "$runs"); do
    p=$(time_start "$win/tamlink-sim.exe" "$work/result")
    w=$(time_start "$win/bench/bench_window.exe" "$work/result")
    echo "run $run: tamlink-sim.exe $p ms, window only $w ms"
    echo "$p" >>"$work/program.ms"
    echo "$w" >>"$work/window.ms"
done
rm -rf "$work/run"

median() { sort -n "$1" | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
program=$(median "$work/program.ms")
window=$(median "$work/window.ms")
echo "median from process creation to visible window, $runs starts each, after ${settle} ms settling:"
echo "  tamlink-sim.exe (50 accounts) $program ms, window only $window ms"
awk -v p="$program" -v w="$window" 'BEGIN {printf "ratio: %.2f\n", p / w}'
# The fastest start of each is what other load on the machine disturbs least.
echo "fastest: tamlink-sim.exe $(sort -n "$work/program.ms" | head -1) ms, window only $(sort -n "$work/window.ms" | head -1) ms"
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
    "$(wine --version 2>/dev/null), load average $(cut -d' ' -f1-3 /proc/loadavg)"
