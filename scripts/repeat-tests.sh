#!/usr/bin/env bash
# Runs the Win32 and end-to-end suites again and again under Wine, to show
# that they pass every time, not just once. The win64 build must exist
# (make test, or cmake --build --preset win64).
#
#   scripts/repeat-tests.sh [-n RUNS] [--fresh] [-R CTEST-REGEX]
#
# --fresh deletes the Wine prefix before each run, so every run starts as on
# a new machine (Wine then sets the prefix up again, which takes a while).
# Each run gets its own prefix under build/, apart from the one make test
# uses. Prints one line per run and a count at the end; exit code 1 if any
# run failed. The output of failed runs is kept in build/repeat-tests/.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

runs=5
fresh=
regex='^(win|e2e|e2e_xclip)$'
while [ $# -gt 0 ]; do
  case "$1" in
    -n) runs=$2; shift 2 ;;
    --fresh) fresh=1; shift ;;
    -R) regex=$2; shift 2 ;;
    *) echo "usage: $0 [-n RUNS] [--fresh] [-R CTEST-REGEX]" >&2; exit 2 ;;
  esac
done

logs=$root/build/repeat-tests
mkdir -p "$logs"
export TAMARIN_WINEPREFIX=$root/build/wineprefix-repeat-$$
passed=0
for run in $(seq 1 "$runs"); do
  [ -n "$fresh" ] && rm -rf "$TAMARIN_WINEPREFIX"
  log=$logs/run-$$-$run.log
  start=$SECONDS
  # Each run in a shell of its own, which ends its Wine session and display.
  bash -c '
    source scripts/wine-env.sh
    trap wine_session_end EXIT
    trap "exit 130" INT TERM
    wine_session_begin || exit 1
    ctest --preset win64 -R "$1" --timeout 900 --output-on-failure
  ' repeat "$regex" >"$log" 2>&1
  status=$?
  if [ $status -eq 0 ]; then
    passed=$((passed + 1))
    echo "run $run: passed in $((SECONDS - start)) s"
    rm -f "$log"
  else
    echo "run $run: FAILED in $((SECONDS - start)) s (log: $log)"
    grep -E '^\[  FAILED  \] [A-Za-z]|Failed' "$log" | sort -u | head -n 20
  fi
done
rm -rf "$TAMARIN_WINEPREFIX"
echo "$passed of $runs runs passed${fresh:+, each on a fresh Wine prefix}"
[ "$passed" -eq "$runs" ]
