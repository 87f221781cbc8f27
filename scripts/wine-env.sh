# Sourced by every script that runs Windows programs: Tamarin's private Wine
# prefix under the build folder, a Japanese locale (ANSI code page 932), quiet
# Wine, and an Xvfb display of its own when none is given.
#
#   wine_session_begin   start a display if needed, prepare the prefix, keep wineserver up
#   wine_session_end     stop wineserver and the display this session started
#   $WINE program.exe    run a program (after wine_session_begin)

TAMARIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TAMARIN_BUILD=${TAMARIN_BUILD:-$TAMARIN_ROOT/build}
export WINEPREFIX=${TAMARIN_WINEPREFIX:-$TAMARIN_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
_tamarin_xvfb_pid=
_tamarin_wineserver_started=

_wine_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    # Its own session, like the Wine processes below: a Ctrl+C in the
    # terminal must reach the script, which then ends them in order.
    setsid Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    _tamarin_xvfb_pid=$!
    local i
    for i in $(seq 1 100); do
      [ -e /tmp/.X11-unix/X$n ] && break
      sleep 0.05
    done
    if kill -0 "$_tamarin_xvfb_pid" 2>/dev/null; then
      export DISPLAY=:$n
      return 0
    fi
    _tamarin_xvfb_pid=
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

_wine_prepare_prefix() {
  [ -f "$WINEPREFIX/.tamarin-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  # Debian's Wine looks for its own fonts beside its libraries, where there
  # are none; without Marlett the title-bar buttons show as "0 1 r". The
  # prefix's font folder is always searched.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # Let the dialogs' "ＭＳ Ｐゴシック" render with the installed IPA font.
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f </dev/null >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f </dev/null >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d 'IPAPGothic' /f </dev/null >/dev/null 2>&1
  # Unmanaged windows: without a window manager on the test display, managed
  # ones take seconds to show and to close.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.tamarin-ready"
}

wine_session_begin() {
  _wine_start_display || return 1
  _wine_prepare_prefix
  # A server already running for this prefix is reused and ended with the session.
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  _tamarin_wineserver_started=1
  # Start Wine's own service processes now, with their output going nowhere:
  # started by a test program they would inherit its output and hold the
  # caller's pipe open long after the test ended.
  setsid "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

wine_session_end() {
  if [ -n "$_tamarin_wineserver_started" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    _tamarin_wineserver_started=
  fi
  if [ -n "$_tamarin_xvfb_pid" ]; then
    kill "$_tamarin_xvfb_pid" 2>/dev/null || true
    wait "$_tamarin_xvfb_pid" 2>/dev/null || true
    _tamarin_xvfb_pid=
  fi
}
