#!/usr/bin/env bash
# Floors only look down: app/ over dialup/ over launcher/ over accounts/ over
# ui/ over resources/ and platform/. Fails, naming each line, when a folder
# includes one above it, so a reader can trust what may use what.
#   check-floors.sh [SOURCE_DIR]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 1

# folder(s): the folders above them
rules=(
    "platform resources:ui|accounts|launcher|dialup|app"
    "ui:accounts|launcher|dialup|app"
    "accounts:launcher|dialup|app"
    "launcher:dialup|app"
    "dialup:app"
)
failed=0
files=0
for rule in "${rules[@]}"; do
    read -ra folders <<<"${rule%%:*}"
    above=${rule#*:}
    mapfile -t sources < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.inc' \))
    files=$((files + ${#sources[@]}))
    [ ${#sources[@]} -gt 0 ] || continue
    if grep -HnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($above)/" "${sources[@]}"; then
        failed=1
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "floors: FAILED: the includes above climb to a folder higher up" >&2
    exit 1
fi
echo "floors: $files files, no include climbs"
