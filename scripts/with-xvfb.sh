#!/usr/bin/env bash
# Runs a command with DISPLAY on an Xvfb of its own, then stops that Xvfb.
set -u
dfile=$(mktemp)
Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$dfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
if [ ! -s "$dfile" ]; then
    echo "Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null; rm -f "$dfile"; exit 1
fi
export DISPLAY=":$(head -n1 "$dfile")"
rm -f "$dfile"
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
