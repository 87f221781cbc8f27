#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time
# (seconds as the first argument, default 60). Crash inputs land in
# build/fuzz/crashes/<target>/ and make the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
status=0
found=0
for exe in build/fuzz/bin/fuzz_*; do
  [ -x "$exe" ] || continue
  found=$((found + 1))
  name=$(basename "$exe")
  corpus=build/fuzz/corpus/$name
  crashes=build/fuzz/crashes/$name
  mkdir -p "$corpus" "$crashes"
  seeds=fuzz/seeds/$name
  [ -d "$seeds" ] || seeds=
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$crashes/" \
      "$corpus" $seeds >"build/fuzz/$name.log" 2>&1; then
    echo "$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "build/fuzz/$name.log" | tail -1)"
  else
    echo "$name: FAILED, see build/fuzz/$name.log"
    tail -30 "build/fuzz/$name.log"
    status=1
  fi
done
[ "$found" -gt 0 ] || { echo "no fuzz targets built"; exit 1; }
exit $status
