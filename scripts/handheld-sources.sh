#!/usr/bin/env bash
# Compiles every program source as the handheld's toolchains would take it:
# ISO C++03, no exceptions or RTTI, the handheld's defines, the C library and
# the platform's headers only, and none of the calls the handheld lacks (see
# tests/handheld/poison.h). It runs on every machine: mingw-w64's compiler
# stands in for the handheld's, with a declarations-only aygshell.h. Where the
# handheld's own compiler is at hand, handheld-build.sh builds and links too.
#   handheld-sources.sh [SOURCE_DIR]
set -uo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"
export CXX=${HANDHELD_CXX:-x86_64-w64-mingw32-g++-posix}
export FLAGS="-std=c++03 -pedantic-errors -fno-exceptions -fno-rtti
    -D_WIN32_WCE=0x300 -DUNDER_CE -DWIN32_PLATFORM_PSPC -DUNICODE -D_UNICODE
    -I$root -I$root/tests/handheld/include"
# Of the C++ library only the C library, and only the wrappers the handheld's
# library can compile (its <cwchar> names a swprintf the device lacks); the
# rest is the platform's.
allowed=" climits cstdarg cstddef cstdio cstdlib cstring wchar.h windows.h commctrl.h shellapi.h ras.h raserror.h aygshell.h objbase.h "
# The program's own folders: nothing of the simulated service or the tests.
own='^(app|ui|accounts|dialup|launcher|resources|platform/shell|platform/ras)/|^platform/shell\.h$'

command -v "$CXX" >/dev/null || { echo "$CXX is missing (Debian g++-mingw-w64-x86-64-posix)" >&2; exit 1; }

mapfile -t sources < <({ find app ui accounts dialup launcher resources platform/shell platform/ras \
    -type f \( -name '*.cpp' -o -name '*.h' \); echo platform/shell.h; } | sort)

failed=0
for source in "${sources[@]}"; do
    while read -r name; do
        if [[ $allowed != *" $name "* ]]; then
            echo "$source: includes <$name>; the program has the C library and the platform's headers only"
            failed=1
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]*)>.*/\1/p' "$source")
    while read -r name; do
        if ! [[ $name =~ $own ]]; then
            echo "$source: includes \"$name\", which is not part of the program"
            failed=1
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/p' "$source")
done

# The prelude (system headers, then the poison) is compiled once; each source
# then follows it in a translation unit of its own. Headers are checked on
# their own too, so one that no source includes is checked all the same.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export work
cp tests/handheld/prelude.h tests/handheld/poison.h "$work/"
# shellcheck disable=SC2086
if ! "$CXX" $FLAGS -x c++-header "$work/prelude.h" -o "$work/prelude.h.gch"; then
    echo "handheld check: the prelude itself does not compile" >&2
    exit 1
fi

check() {
    # shellcheck disable=SC2086
    printf '#include "%s"\n' "$1" |
        "$CXX" $FLAGS -fsyntax-only -Winvalid-pch -include "$work/prelude.h" -x c++ - 2>&1 ||
        echo "handheld check: $1 FAILED"
}
export -f check
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} bash -c 'check "$1"' _ {} >"$work/log"
cat "$work/log"
grep -q ' FAILED$' "$work/log" && failed=1

echo "handheld check: ${#sources[@]} program sources checked"
if [ "$failed" -ne 0 ]; then
    echo "handheld check: FAILED" >&2
    exit 1
fi
echo "handheld check: passed"
