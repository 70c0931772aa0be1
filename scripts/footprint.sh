#!/usr/bin/env bash
# The program's footprint, as a handheld would hold it: the size of each .exe
# against its limit, the DLLs each imports (only the system's), and for
# tamlink.exe the link map showing that neither the C++ runtime, the thread
# library nor mingw's own printf family went in. Fails on any excess.
#   footprint.sh WIN_BUILD_DIR [REPORT_FILE]
# The report goes to stdout and, when named, to REPORT_FILE. make test prints it
# before CTest runs, whose summary hides the output of tests that pass.
set -uo pipefail
win=${1:?usage: footprint.sh WIN_BUILD_DIR [REPORT_FILE]}
report=${2:-/dev/null}
objdump=x86_64-w64-mingw32-objdump
# System DLLs a program of this kind may use; nothing that would have to be shipped beside it.
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|rasapi32|msvcrt)\.dll$'
fail=0

check_exe() { # NAME LIMIT_BYTES
    local exe=$win/$1 limit=$2
    if [ ! -f "$exe" ]; then
        echo "$1: missing (build it first)"
        fail=1
        return
    fi
    local size
    size=$(stat -c %s "$exe")
    local verdict=ok
    [ "$size" -le "$limit" ] || { verdict="OVER THE LIMIT by $((size - limit)) bytes"; fail=1; }
    printf '%-16s %8d bytes (%d KiB), limit %d (%d KiB): %s\n' "$1" "$size" $(((size + 1023) / 1024)) \
        "$limit" $((limit / 1024)) "$verdict"
    local headers dlls dll others=() ordinal_only
    headers=$("$objdump" -p "$exe")
    dlls=$(awk '/DLL Name:/ {print $3}' <<<"$headers")
    for dll in $dlls; do
        echo "${dll,,}" | grep -Eq "$allowed" || others+=("$dll")
    done
    echo "  imports: $(echo $dlls)"
    if [ ${#others[@]} -gt 0 ]; then
        echo "  NOT A SYSTEM DLL: ${others[*]}"
        fail=1
    fi
    # Windows XP's comctl32 5.82, which a program without a manifest gets,
    # exports these by ordinal only: the loader refuses a program that asks by name.
    ordinal_only=$(grep -oEw '(Set|Get|Remove)WindowSubclass|DefSubclassProc' <<<"$headers")
    if [ -n "$ordinal_only" ]; then
        echo "  IMPORTS BY NAME WHAT COMCTL32 5.82 EXPORTS BY ORDINAL ONLY: $(echo $ordinal_only)"
        fail=1
    fi
}

footprint() {
    check_exe tamlink.exe 65536
    check_exe tamlink-sim.exe 262144

    # Kept input sections are listed after this line of the map; dropped ones before it.
    map=$win/tamlink.map
    if [ -f "$map" ]; then
        linked=$(sed -n '/^Linker script and memory map/,$p' "$map" |
            grep -oE '(libstdc\+\+|libsupc\+\+|libpthread|libwinpthread|libgcc_eh)\.a\([^)]*\)|mingw_pformatw?\.o' | sort -u)
        if [ -n "$linked" ]; then
            echo "tamlink.exe links what the program must not need:"
            echo "$linked" | sed -E 's/\.a\(.*//; s/^lib64_libmingwex_a-//' | sort | uniq -c |
                awk '{printf "  %s (%d %s)\n", $2, $1, $1 == 1 ? "member" : "members"}'
            fail=1
        else
            echo "tamlink.exe links no C++ runtime, no thread library and no mingw printf."
        fi
    else
        echo "tamlink.exe: no link map at $map"
        fail=1
    fi
    return $fail
}

footprint | tee "$report"
exit "${PIPESTATUS[0]}"
