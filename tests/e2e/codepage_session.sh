#!/usr/bin/env bash
# Runs the ForeignCodePage end-to-end tests in a Wine session of their own
# whose ANSI code page is 1252 (an English locale), in a prefix copied once
# from the project's prefix. Wine fixes the code page for a whole session, so
# the main test session (code page 932) cannot give a program another one.
#   codepage_session.sh path/to/e2e_tests.exe
set -u
tests_exe=$1
source "$(dirname "$0")/../../scripts/wine-env.sh"
base=$WINEPREFIX
export WINEPREFIX=$TAMARIN_BUILD/wineprefix-cp1252
export LANG=en_US.UTF-8
export LC_ALL=en_US.UTF-8
if [ ! -f "$WINEPREFIX/.tamarin-ready" ] && [ -f "$base/.tamarin-ready" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
fi
trap wine_session_end EXIT
trap "exit 130" INT TERM
wine_session_begin || exit 1
TAMARIN_E2E_FOREIGN_CODEPAGE=1 "$WINE" "$tests_exe" --gtest_filter='ForeignCodePage.*'
