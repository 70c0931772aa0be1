#!/usr/bin/env bash
# Builds tamlink.exe for the Pocket PC with the Windows CE compiler
# (arm-mingw32ce), from the program's own sources with the handheld's real
# headers, and checks what the device will take: ARM, the Windows CE GUI
# subsystem 3.0, only the handheld's own DLLs and none of a C runtime's
# start-up calls, the header's stack, OS version and checksum, a version
# resource, the size. Then it puts the program in tamlink.cab.
#   handheld-build.sh OUT_DIR [REPORT_FILE]
# The compiler: see cegcc.sh; without one it says so and exits 77.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: handheld-build.sh OUT_DIR [REPORT_FILE]}
report=${2:-/dev/null}
limit=$((96 * 1024))
label="handheld build"
# shellcheck source=scripts/cegcc.sh
. "$root/scripts/cegcc.sh"
# The date the exe and the cabinet carry, so the same sources give the same bytes.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-1041422400} # 2003-01-01 12:00:00 UTC

defines="-D_WIN32_WCE=0x300 -DUNDER_CE -DWIN32_PLATFORM_PSPC -DUNICODE -D_UNICODE -D_WIN32_IE=0x0300"
# gcc 4.4 spells C++03 c++98; the mingw32ce headers hide the Microsoft names
# that coredll exports (_snwprintf, _wcsicmp) from a strict ANSI build.
cxxflags="-std=c++98 -pedantic-errors -U__STRICT_ANSI__ -Wall -Wextra -Os -ffunction-sections
    -fno-exceptions -fno-rtti -fno-threadsafe-statics $defines -I$root"
# Linked without CeGCC's start-up code and C runtime (the program brings its
# own entry, app/main.cpp): only the handheld's DLLs and the static libgcc,
# for the arithmetic ARM has no instruction for. The stack reserve is the
# handheld's default, the OS version the subsystem's.
ldflags="-nostdlib -s -Wl,--gc-sections -Wl,-Map=$out/tamlink.map -Wl,-T,$out/tamlink.ld
    -Wl,--stack,0x10000 -Wl,--major-os-version,3 -Wl,--minor-os-version,0"

mkdir -p "$out/obj"
cd "$root"
mapfile -t sources < <(find app ui accounts dialup launcher resources platform/ras -name '*.cpp' | sort)

rm -f "$out"/obj/*.o "$out/tamlink.exe" "$out/tamlink.cab"
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
# The toolchain's own link script with two moves:
# - .data to the end of the file: the zeroed tables at its end (the account
#   table is most of the program's memory) are then left out of the file and
#   zero-filled by the loader;
# - the import tables out of the read-only .rdata to the start of the
#   writable .data: under low memory, Windows CE 3.0 drops a running exe's
#   read-only pages and reads them again from the file, without the imports
#   its loader bound, and every call of the program would then jump nowhere.
"$bin/$target-ld" --verbose | sed '1,/^=====/d; /^=====/,$d' | awk '
    /Moved \.idata \*\// { imports = 1 }
    imports { idata = idata $0 "\n"; if ($0 ~ /End moved \.idata/) imports = 0; next }
    /^  \.data / { moving = 1 }
    moving {
        held = held $0 "\n"
        if ($0 ~ /^  {/) held = held "@IMPORTS@"
        if ($0 ~ /^  }/) moving = 0
        next
    }
    { print }
    /^  \.reloc / { reloc = 1 }
    reloc && /^  }/ { sub(/@IMPORTS@/, idata, held); printf "%s", held; reloc = 0 }' >"$out/tamlink.ld"
# shellcheck disable=SC2086
if ! "$bin/$target-gcc" $ldflags -o "$out/tamlink.exe" "${objects[@]}" "$out/obj/tamlink_rc.o" \
    -laygshell -lcommctrl -lcoredll -lgcc; then
    echo "handheld build: FAILED to link against the handheld's DLLs" | tee "$report" >&2
    exit 1
fi
python3 "$root/scripts/pe-finish.py" "$out/tamlink.exe" || exit 1

# What the device takes, read from the PE header.
check() {
    local exe=$out/tamlink.exe fail=0 headers size pe machine subsystem os stack calls bad
    local checksum computed product
    headers=$("$bin/$target-objdump" -p "$exe")
    field() { awk -v k="$1" '$1 == k {print $2}' <<<"$headers"; }
    size=$(stat -c %s "$exe")
    pe=$(od -An -tu4 -j 60 -N 4 "$exe")
    machine=$(od -An -tx2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
    subsystem="$(field Subsystem), version $(field MajorSubsystemVersion).$(field MinorSubsystemVersion)"
    os=$(field MajorOSystemVersion).$(field MinorOSystemVersion)
    stack=$(field SizeOfStackReserve)
    # Every imported call as "DLL name", or "DLL ordinal N" when it has no name.
    calls=$(awk '/DLL Name:/ {dll = $3}
        dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print dll, ($3 == "<none>" ? "ordinal " $2 : $3)}' \
        <<<"$headers")
    # The PE checksum, computed here apart from pe-finish.py: the file's 16-bit
    # words, the checksum's own two left out, added with end-around carry, plus its size.
    checksum=$(field CheckSum)
    computed=$(od -An -v -tu2 -w2 "$exe" | awk -v skip=$(((pe + 88) / 2 + 1)) -v size="$size" '
        NR != skip && NR != skip + 1 {sum += $1; sum = sum % 65536 + int(sum / 65536)}
        END {printf "%08x", sum + size}')
    product=$("$bin/$target-windres" -i "$exe" -O rc 2>/dev/null |
        sed -n 's/.*VALUE "Product\(Name\|Version\)", "\(.*\)"/\2/p' | paste -sd ' ')

    printf '%s %d bytes (%d KiB), limit %d KiB\n' "$exe" "$size" $(((size + 1023) / 1024)) $((limit / 1024))
    [ "$size" -le "$limit" ] || { echo "  OVER THE LIMIT by $((size - limit)) bytes"; fail=1; }
    echo "  machine 0x$machine (ARM is 0x01c0)"
    [ "$machine" = 01c0 ] || fail=1
    echo "  subsystem $subsystem (Windows CE GUI is 00000009, 3.0), OS version $os"
    [ "$subsystem" = "00000009, version 3.0" ] && [ "$os" = 3.0 ] || fail=1
    echo "  stack reserve 0x$stack (64 KiB, the handheld's default, is 0x00010000)"
    [ "$stack" = 00010000 ] || fail=1
    echo "  checksum $checksum, computed $computed"
    [ "$checksum" = "$computed" ] || fail=1
    echo "  version resource: ${product:-NONE}"
    [ "$product" = "Tamlink PPC 1.1" ] || fail=1
    echo "  imports: $(cut -d' ' -f1 <<<"$calls" | sort -u | paste -sd ' '), $(wc -l <<<"$calls") calls"
    # The sections holding the import table and the import addresses: a page
    # the device may drop and read again from the file must hold neither.
    tables=$(python3 - "$exe" <<'EOF'
import struct, sys
image = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", image, 0x3C)[0]
optional = pe + 24
table = optional + struct.unpack_from("<H", image, pe + 20)[0]
sections = [struct.unpack_from("<8sIIII12xI", image, table + 40 * i)
            for i in range(struct.unpack_from("<H", image, pe + 6)[0])]
for label, index in (("import table", 1), ("import addresses", 12)):
    rva = struct.unpack_from("<I", image, optional + 96 + 8 * index)[0]
    held = [s for s in sections if s[2] <= rva < s[2] + max(s[1], s[3])]
    name = held[0][0].rstrip(b"\0").decode() if held else "no section"
    print(label, "in", name, "writable" if held and held[0][5] & 0x80000000 else "READ-ONLY")
EOF
)
    echo "  $(paste -sd ';' <<<"$tables" | sed 's/;/, /')"
    grep -q 'READ-ONLY' <<<"$tables" && { echo "  IMPORTS IN A READ-ONLY SECTION: a page-out would unbind them"; fail=1; }
    bad=$(grep -Evx '(COREDLL|AYGSHELL|COMMCTRL)\.dll .*' <<<"$calls")
    [ -z "$bad" ] || { echo "  NOT THE HANDHELD'S OWN: $(echo $bad)"; fail=1; }
    # The C runtime's start-up is not linked: none of its calls, and no static
    # constructor that only it would run.
    bad=$(grep -Ex 'COREDLL\.dll (_fpreset|TerminateProcess|VirtualProtect|VirtualQuery|malloc|free|realloc|fflush|_fcloseall|strlen|mbstowcs|OutputDebugStringW|_snprintf)' <<<"$calls")
    [ -z "$bad" ] || { echo "  START-UP CODE'S CALLS: $(echo $bad)"; fail=1; }
    grep -qE '^ \.ctors ' "$out/tamlink.map" && { echo "  STATIC CONSTRUCTORS, which nothing runs"; fail=1; }
    bad=$(while read -r dll call; do
        grep -qsF "\`$call\`" "$root/docs/handheld-imports.md" || echo "$dll $call"; done <<<"$calls")
    [ -z "$bad" ] || { echo "  NOT LISTED IN docs/handheld-imports.md: $(echo $bad)"; fail=1; }
    [ "$fail" -eq 0 ] && echo "handheld build: passed" || echo "handheld build: FAILED"
    return "$fail"
}
check | tee "$report"
[ "${PIPESTATUS[0]}" -eq 0 ] || exit 1
python3 "$root/scripts/handheld-cab.py" "$out" | tee -a "$report"
exit "${PIPESTATUS[0]}"
