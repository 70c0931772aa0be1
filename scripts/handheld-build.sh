#!/usr/bin/env bash
# Builds tamlink.exe for the Pocket PC with the Windows CE compiler
# (arm-mingw32ce), from the program's own sources with the handheld's real
# headers, and checks what the device will take: ARM, the Windows CE GUI
# subsystem 3.0, only the handheld's own DLLs, the size.
#   handheld-build.sh OUT_DIR [REPORT_FILE]
# The compiler: CEGCC_PREFIX=<dir holding bin/arm-mingw32ce-g++>, else
# arm-mingw32ce-g++ on the PATH. Without one it says so and exits 77, which
# CTest counts as a skip.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: handheld-build.sh OUT_DIR [REPORT_FILE]}
report=${2:-/dev/null}
limit=$((96 * 1024))
target=arm-mingw32ce

if [ -n "${CEGCC_PREFIX:-}" ]; then
    bin=$CEGCC_PREFIX/bin
    if [ ! -x "$bin/$target-g++" ]; then
        echo "handheld build: CEGCC_PREFIX=$CEGCC_PREFIX holds no bin/$target-g++" >&2
        exit 1
    fi
elif command -v "$target-g++" >/dev/null; then
    bin=$(dirname "$(command -v "$target-g++")")
else
    echo "handheld build: SKIPPED: no Windows CE compiler ($target-g++ is not on the PATH and" \
        "CEGCC_PREFIX is not set); see the README, \"On a Pocket PC\"" | tee "$report"
    exit 77
fi

defines="-D_WIN32_WCE=0x300 -DUNDER_CE -DWIN32_PLATFORM_PSPC -DUNICODE -D_UNICODE -D_WIN32_IE=0x0300"
# gcc 4.4 spells C++03 c++98; the mingw32ce headers hide the Microsoft names
# that coredll exports (_snwprintf, _wcsicmp) from a strict ANSI build.
cxxflags="-std=c++98 -pedantic-errors -U__STRICT_ANSI__ -Wall -Wextra -Os -ffunction-sections
    -fno-exceptions -fno-rtti -fno-threadsafe-statics $defines -I$root"
# Linked by the C driver, so the C++ library is not on the line and nothing of
# it can come in; -static-libgcc, or the program would import a libgcc DLL no
# device has.
ldflags="-static-libgcc -s -Wl,--gc-sections -Wl,-Map=$out/tamlink.map -Wl,-T,$out/tamlink.ld"

mkdir -p "$out/obj"
cd "$root"
mapfile -t sources < <(find app ui accounts dialup launcher resources platform/ras -name '*.cpp' | sort)

rm -f "$out"/obj/*.o "$out/tamlink.exe"
objects=()
for source in "${sources[@]}"; do
    objects+=("$out/obj/$(echo "${source%.cpp}" | tr / _).o")
done
export bin target cxxflags out
# shellcheck disable=SC2016,SC2086
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} bash -c \
    '"$bin/$target-g++" $cxxflags -c "$1" -o "$out/obj/$(echo "${1%.cpp}" | tr / _).o"' _ {}
failed=0
for object in "${objects[@]}"; do [ -f "$object" ] || failed=1; done
# shellcheck disable=SC2086
"$bin/$target-windres" $defines -I"$root" resources/tamlink.rc -O coff -o "$out/obj/tamlink_rc.o" || failed=1
if [ "$failed" -ne 0 ]; then
    echo "handheld build: FAILED to compile" | tee "$report" >&2
    exit 1
fi
# The toolchain's own link script with .data moved to the end of the file:
# the zeroed tables at its end (the account table is most of the program's
# memory) are then left out of the file and zero-filled by the loader.
"$bin/$target-ld" --verbose | sed '1,/^=====/d; /^=====/,$d' | awk '
    /^  \.data / { moving = 1 }
    moving { held = held $0 "\n"; if ($0 ~ /^  }/) moving = 0; next }
    { print }
    /^  \.reloc / { reloc = 1 }
    reloc && /^  }/ { printf "%s", held; reloc = 0 }' >"$out/tamlink.ld"
# shellcheck disable=SC2086
if ! "$bin/$target-gcc" $ldflags -o "$out/tamlink.exe" "${objects[@]}" "$out/obj/tamlink_rc.o" \
    -laygshell -lcommctrl; then
    echo "handheld build: FAILED to link against the handheld's DLLs" | tee "$report" >&2
    exit 1
fi
python3 "$root/scripts/pe-trim-zeros.py" "$out/tamlink.exe" || exit 1

# What the device takes, read from the PE header.
check() {
    local exe=$out/tamlink.exe fail=0 headers size machine subsystem version dlls others
    headers=$("$bin/$target-objdump" -p "$exe")
    machine=$(od -An -tx2 -j $(($(od -An -tu4 -j 60 -N 4 "$exe") + 4)) -N 2 "$exe" | tr -d ' ')
    subsystem=$(awk '$1 == "Subsystem" {print $2}' <<<"$headers")
    version=$(awk '$1 == "MajorSubsystemVersion" {a=$2} $1 == "MinorSubsystemVersion" {b=$2} END {print a "." b}' <<<"$headers")
    dlls=$(awk '/DLL Name:/ {print $3}' <<<"$headers" | sort -u)
    size=$(stat -c %s "$exe")

    printf '%s %d bytes (%d KiB), limit %d KiB\n' "$exe" "$size" $(((size + 1023) / 1024)) $((limit / 1024))
    [ "$size" -le "$limit" ] || { echo "  OVER THE LIMIT by $((size - limit)) bytes"; fail=1; }
    echo "  machine 0x$machine (ARM is 0x01c0)"
    [ "$machine" = 01c0 ] || fail=1
    echo "  subsystem $subsystem (Windows CE GUI is 00000009), version $version"
    [ "$subsystem" = 00000009 ] && [ "$version" = 3.0 ] || fail=1
    echo "  imports: $(echo $dlls)"
    others=$(grep -Evx 'COREDLL.dll|AYGSHELL.dll|COMMCTRL.dll' <<<"$dlls")
    [ -z "$others" ] || { echo "  NOT THE HANDHELD'S OWN: $(echo $others)"; fail=1; }
    [ "$fail" -eq 0 ] && echo "handheld build: passed" || echo "handheld build: FAILED"
    return "$fail"
}
check | tee "$report"
exit "${PIPESTATUS[0]}"
