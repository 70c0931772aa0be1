#!/usr/bin/env bash
# libFuzzer on the account-file reader, from the committed corpus.
#   fuzz.sh FUZZER CORPUS WORK_DIR SECONDS
# New inputs go to WORK_DIR/found, emptied first; a crash leaves its input
# in WORK_DIR/artifacts and fails. Then the inputs found are minimised against
# the committed corpus into WORK_DIR/additions: only those that reach code the
# corpus does not, ready to be copied into CORPUS.
set -uo pipefail
fuzzer=$(realpath "$1") corpus=$(realpath "$2") work=$(realpath -m "$3") seconds=$4
rm -rf "$work/found"
mkdir -p "$work/found" "$work/artifacts"
export ASAN_OPTIONS=detect_leaks=1

echo "Fuzzing the account-file reader for $seconds s from $corpus ($(ls "$corpus" | wc -l) files)."
"$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/found" "$corpus" 2>"$work/fuzz.log"
rc=$?
grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::|Done|==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)' "$work/fuzz.log"
if [ $rc -ne 0 ]; then
    echo "The fuzzer failed (exit code $rc); its log: $work/fuzz.log" >&2
    exit $rc
fi

# A merge into a copy of the corpus keeps only what reaches code it does not
# (new edges; without -use_counters=0 every new hit count would be kept too).
rm -rf "$work/merge" "$work/additions"
mkdir -p "$work/merge" "$work/additions"
cp "$corpus"/* "$work/merge/"
"$fuzzer" -merge=1 -use_counters=0 "$work/merge" "$work/found" >"$work/merge.log" 2>&1 || {
    echo "The merge failed; its log: $work/merge.log" >&2
    exit 1
}
for f in "$work/merge"/*; do
    [ -e "$corpus/$(basename "$f")" ] || cp "$f" "$work/additions/"
done
n=$(ls "$work/additions" | wc -l)
bytes=$(find "$work/additions" -type f -printf '%s\n' | awk '{t += $1} END {print t + 0}')
edges=$(grep -o '[0-9]* new coverage edges' "$work/merge.log" | tail -1 | cut -d' ' -f1)
echo "Fuzzing ended clean. Edges beyond the corpus: ${edges:-0}, reached by $n inputs ($bytes bytes) in $work/additions"
