#!/usr/bin/env bash
# Builds Tamarin in every configuration and runs all its tests: the native
# unit tests under the sanitizers, the fuzz targets briefly, the 32-bit build,
# and the Windows unit, Win32 and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/bootstrap.sh

step() { printf '\n== %s\n' "$*"; }

step "native build and unit tests (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

if [ -f fuzz/CMakeLists.txt ]; then
  step "fuzz targets (${TAMARIN_FUZZ_SECONDS:-20} s each)"
  bash scripts/fuzz.sh "${TAMARIN_FUZZ_SECONDS:-20}"
fi

if [ -f bench/CMakeLists.txt ]; then
  step "benchmarks build"
  cmake --preset bench >/dev/null
  cmake --build --preset bench
fi

step "win32 build (i686)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

step "win64 build"
cmake --preset win64 >/dev/null
cmake --build --preset win64

step "win64 tests under Wine"
source scripts/wine-env.sh
trap wine_session_end EXIT
trap "exit 130" INT TERM
wine_session_begin
ctest --preset win64 --timeout 900
