#!/usr/bin/env bash
# Runs end-to-end tests that need a Wine session set up otherwise than the
# main one, in a prefix of their own (copied once from the project's prefix):
#   aux_session.sh codepage path/to/e2e_tests.exe
#       an English locale: Wine fixes the ANSI code page (here 1252) for a
#       whole session, so the main session (932) cannot give a program another;
#   aux_session.sh monitors path/to/e2e_tests.exe
#       a display of two monitors (Xvfb with two Xinerama heads, RandR off, so
#       that Wine takes its monitors from Xinerama): the primary one 1024 x 768,
#       the other 1280 x 1024.
# The tests find out from an environment variable that they are in such a
# session; in the main one they skip.
set -u
mode=$1
tests_exe=$2
source "$(dirname "$0")/../../scripts/wine-env.sh"
base=$WINEPREFIX
export WINEPREFIX=$TAMARIN_BUILD/wineprefix-aux
if [ ! -f "$WINEPREFIX/.tamarin-ready" ] && [ -f "$base/.tamarin-ready" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
fi
# One such session at a time in the prefix.
exec 9>"$WINEPREFIX.lock"
flock 9

xvfb_pid=
finish() {
  wine_session_end
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    local i
    for i in $(seq 1 100); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
  fi
}
trap finish EXIT
trap "exit 130" INT TERM

start_two_monitor_display() {
  local n i
  for n in $(seq 150 199); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    setsid Xvfb :$n -screen 0 1024x768x24 -screen 1 1280x1024x24 +xinerama -extension RANDR -nolisten tcp \
      </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    disown "$xvfb_pid"  # its end (Xvfb aborts when told to stop) is not this script's news
    for i in $(seq 1 100); do
      [ -e /tmp/.X11-unix/X$n ] && break
      sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=:$n
      return 0
    fi
    xvfb_pid=
  done
  echo "aux_session: could not start Xvfb" >&2
  return 1
}

case "$mode" in
  codepage)
    export LANG=en_US.UTF-8
    export LC_ALL=en_US.UTF-8
    export TAMARIN_E2E_FOREIGN_CODEPAGE=1
    filter='ForeignCodePage.*'
    ;;
  monitors)
    start_two_monitor_display || exit 1
    export TAMARIN_E2E_TWO_MONITORS=1
    filter='TwoMonitors.*'
    ;;
  *)
    echo "usage: aux_session.sh codepage|monitors E2E_TESTS_EXE" >&2
    exit 2
    ;;
esac
wine_session_begin || exit 1
"$WINE" "$tests_exe" --gtest_filter="$filter"
