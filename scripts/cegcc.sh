# Finds the Windows CE compiler; sourced by the handheld's scripts, which set
# label and report first. CEGCC_PREFIX=<dir holding bin/arm-mingw32ce-g++>,
# else arm-mingw32ce-g++ on the PATH; sets bin and target. Without a compiler
# it says so, in the report too, and exits 77, which CTest counts as a skip.
target=arm-mingw32ce
if [ -n "${CEGCC_PREFIX:-}" ]; then
    bin=$CEGCC_PREFIX/bin
    if [ ! -x "$bin/$target-g++" ]; then
        echo "$label: CEGCC_PREFIX=$CEGCC_PREFIX holds no bin/$target-g++" >&2
        exit 1
    fi
elif command -v "$target-g++" >/dev/null; then
    bin=$(dirname "$(command -v "$target-g++")")
else
    echo "$label: SKIPPED: no Windows CE compiler ($target-g++ is not on the PATH and" \
        "CEGCC_PREFIX is not set); see the README, \"On a Pocket PC\"" | tee "$report"
    exit 77
fi
