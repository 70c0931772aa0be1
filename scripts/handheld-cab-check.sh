#!/usr/bin/env bash
# Reads tamlink.cab back as a Pocket PC's installer would take it: cabextract
# tests every member's checksum and lists the two members, control file first,
# with their fixed dates; the project's own reader (cab-control-read.py) reads
# the control file, each field compared below; the program inside is the
# handheld's tamlink.exe byte for byte.
#   handheld-cab-check.sh CE_DIR [REPORT_FILE]
# Without the Windows CE compiler there is no program to check: exits 77.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: handheld-cab-check.sh CE_DIR [REPORT_FILE]}
report=${2:-/dev/null}
label="handheld cabinet"
# shellcheck source=scripts/cegcc.sh
. "$root/scripts/cegcc.sh"
cab=$out/tamlink.cab
expected='application Tamlink PPC
provider Tamlink
processor 2577
minimum Windows CE 3.0, build 0
maximum Windows CE 0.0, build 0
unsupported -
directory 1 %CE1%\Tamlink PPC
file 1 (member .001) %CE1%\Tamlink PPC\tamlink.exe, flags 0x0
registry hives 0
registry keys 0
shortcut 1 %CE11%\Tamlink PPC.lnk -> file 1'

check() {
    local fail=0 work members control differences
    command -v cabextract >/dev/null || { echo "$label: cabextract is missing (Debian cabextract)"; return 1; }
    [ -f "$cab" ] || { echo "$label: $cab is missing (make handheld writes it)"; return 1; }
    echo "$cab $(stat -c %s "$cab") bytes"
    cabextract -q -t "$cab" >/dev/null || { echo "  cabextract -t: FAILED"; fail=1; }
    members=$(cabextract -q -l "$cab" | awk -F' [|] ' 'NF == 3 && $1 ~ /^ *[0-9]+$/ {print $3 " " $2}')
    echo "  members: $(paste -sd ',' <<<"$members" | sed 's/,/, /g')"
    [ "$members" = "0tamlink.000 01.01.2003 12:00:00
0tamlink.001 01.01.2003 12:00:00" ] || { echo "  NOT the control file, then the program, of 01.01.2003 12:00:00"; fail=1; }
    work=$(mktemp -d)
    cabextract -q -d "$work" "$cab" >/dev/null
    if control=$(python3 "$root/scripts/cab-control-read.py" "$work/0tamlink.000"); then
        sed 's/^/  /' <<<"$control"
        differences=$(diff <(echo "$expected") - <<<"$control") ||
            { echo "  NOT AS EXPECTED (< expected, > read):"; sed 's/^/    /' <<<"$differences"; fail=1; }
    else
        fail=1
    fi
    cmp -s "$work/0tamlink.001" "$out/tamlink.exe" && echo "  the program is $out/tamlink.exe" ||
        { echo "  the program is NOT $out/tamlink.exe"; fail=1; }
    rm -rf "$work"
    [ "$fail" -eq 0 ] && echo "$label: passed" || echo "$label: FAILED"
    return "$fail"
}
check 2>&1 | tee "$report"
exit "${PIPESTATUS[0]}"
